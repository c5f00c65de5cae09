#include "TypeInputsReader.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/CoreProperty.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <cmath>
#include <unordered_map>

namespace Orvane {

namespace {
QVariant numberOrText(const CoreProperty& property)
{
    bool ok = false;
    const double number = property.value().toDouble(&ok);
    if (ok && std::isfinite(number)) {
        return number;
    }
    return property.displayValue().toString();
}
} // namespace

TypeInputsReader::TypeInputsReader(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings)
    : model(model), functionalUnitPath(settings.functionalUnitPropertyPath.split(QLatin1Char('/'))),
      massPath(settings.massPerFunctionalUnitPropertyPath.split(QLatin1Char('/'))),
      compositionPath(settings.materialCompositionPropertyPath.split(QLatin1Char('/'))),
      reusedPath(settings.reusedMaterialsPropertyPath.split(QLatin1Char('/')))
{
}

TypeInputsTable TypeInputsReader::read() const
{
    TypeInputsTable table;
    if (!model) {
        return table;
    }
    std::unordered_map<const Step::BaseEntity*, int> typeIndex;
    for (int row : MaterialQuantitiesCalculator::getBuildingElementRows(model)) {
        const QModelIndex element = model->index(row, 0);
        auto* type = dynamic_cast<ifc2x3::IfcObjectDefinition*>(model->typeObject(element));
        if (!type) {
            continue;
        }
        const auto [known, inserted] = typeIndex.try_emplace(type, table.types.size());
        if (inserted) {
            TypeInputs inputs;
            inputs.type = type;
            inputs.row = model->index(type).row();
            inputs.firstElementRow = row;
            table.types.push_back(inputs);
        }
        ++table.types[known->second].instances;
    }
    QSet<QString> materials;
    for (TypeInputs& inputs : table.types) {
        const QModelIndex typeRow = model->index(inputs.row, 0);
        inputs.name = model->data(typeRow.siblingAtColumn(_ifc2x3::IFC2x3Model::NameColumn)).toString();
        inputs.entity = model->data(typeRow.siblingAtColumn(_ifc2x3::IFC2x3Model::ClassColumn)).toString();
        inputs.globalId = model->data(typeRow.siblingAtColumn(_ifc2x3::IFC2x3Model::GlobalIdColumn)).toString();
        reread(inputs);
        for (const TypeInputs::Share& share : qAsConst(inputs.shares)) {
            if (!materials.contains(share.material)) {
                materials.insert(share.material);
                table.materials << share.material;
            }
        }
    }
    return table;
}

void TypeInputsReader::reread(TypeInputs& inputs) const
{
    const QModelIndex element = model->index(inputs.firstElementRow, 0);
    inputs.functionalUnit = QVariant();
    inputs.unit = MaterialQuantitiesCalculator::Undefined;
    if (const Step::RefPtr<CoreProperty> unit = model->getProperty(element, functionalUnitPath)) {
        inputs.functionalUnit = unit->value().toString();
        inputs.unit = MaterialQuantitiesCalculator::functionalUnitOf(inputs.functionalUnit.toString());
    }
    const Step::RefPtr<CoreProperty> mass = model->getProperty(element, massPath);
    inputs.massPerFunctionalUnit = mass ? numberOrText(*mass) : QVariant();
    inputs.reused = -1;
    if (const Step::RefPtr<CoreProperty> reused = model->getProperty(element, reusedPath)) {
        const QVariant flag = reused->value();
        if (flag.userType() == BooleanVariant::metaTypeId() && !(BooleanVariant(BooleanVariant::Unknown) == flag)) {
            inputs.reused = BooleanVariant(BooleanVariant::True) == flag ? 1 : 0;
        }
    }
    inputs.shares.clear();
    const Step::RefPtr<CoreProperty> composition = model->getProperty(element, compositionPath);
    inputs.hasComposition = composition != nullptr;
    for (int i = 0; composition && i < composition->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> share(composition->getChildProperty(i));
        if (share) {
            inputs.shares.push_back({share->name(), numberOrText(*share)});
        }
    }
}

} // namespace Orvane

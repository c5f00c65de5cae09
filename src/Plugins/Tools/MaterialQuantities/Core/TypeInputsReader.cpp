#include "TypeInputsReader.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/CoreProperty.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <cmath>
#include <mutex>

namespace Orvane {

namespace {

const QString typeComponent = QStringLiteral("Type");

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
    const TypeOfObject typeOfObject = typesOfObjects();
    std::unordered_map<const Step::BaseEntity*, int> typeIndex;
    for (int row : MaterialQuantitiesCalculator::getBuildingElementRows(model)) {
        const auto found = typeOfObject.find(model->ifcObjectDefinition(model->index(row, 0)));
        ifc2x3::IfcObjectDefinition* type = found == typeOfObject.end() ? nullptr : found->second;
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

TypeInputsReader::TypeOfObject TypeInputsReader::typesOfObjects() const
{
    // From the typing relations, as the model's Type path finds an object's
    // type: the first relation in data set order that lists the object.
    // Asking each element instead would build the inverse relations of the
    // whole model and read every element's property sets.
    TypeOfObject types;
    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    const std::lock_guard<std::recursive_mutex> lock(dataSet->mutex());
    for (const auto& relation : dataSet->allOf<ifc2x3::IfcRelDefinesByType>()) {
        auto* type = dynamic_cast<ifc2x3::IfcTypeObject*>(relation->resolve(relation->getRelatingTypeValue()));
        for (ifc2x3::IfcObject* object : relation->getRelatedObjects()) {
            types.emplace(object, type);
        }
    }
    return types;
}

Step::RefPtr<CoreProperty> TypeInputsReader::inputOf(const TypeInputs& inputs, const QStringList& path) const
{
    // A path through the type reads on the type's own row: the element's
    // relations need not be read for it.
    if (path.size() > 1 && path.front() == typeComponent && inputs.row >= 0) {
        return model->getProperty(model->index(inputs.row, 0), path.mid(1));
    }
    return model->getProperty(model->index(inputs.firstElementRow, 0), path);
}

void TypeInputsReader::reread(TypeInputs& inputs) const
{
    inputs.functionalUnit = QVariant();
    inputs.unit = MaterialQuantitiesCalculator::Undefined;
    if (const Step::RefPtr<CoreProperty> unit = inputOf(inputs, functionalUnitPath)) {
        inputs.functionalUnit = unit->value().toString();
        inputs.unit = MaterialQuantitiesCalculator::functionalUnitOf(inputs.functionalUnit.toString());
    }
    const Step::RefPtr<CoreProperty> mass = inputOf(inputs, massPath);
    inputs.massPerFunctionalUnit = mass ? numberOrText(*mass) : QVariant();
    inputs.reused = -1;
    if (const Step::RefPtr<CoreProperty> reused = inputOf(inputs, reusedPath)) {
        const QVariant flag = reused->value();
        if (flag.userType() == BooleanVariant::metaTypeId() && !(BooleanVariant(BooleanVariant::Unknown) == flag)) {
            inputs.reused = BooleanVariant(BooleanVariant::True) == flag ? 1 : 0;
        }
    }
    inputs.shares.clear();
    const Step::RefPtr<CoreProperty> composition = inputOf(inputs, compositionPath);
    inputs.hasComposition = composition != nullptr;
    for (int i = 0; composition && i < composition->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> share(composition->getChildProperty(i));
        if (share) {
            inputs.shares.push_back({share->name(), numberOrText(*share)});
        }
    }
}

} // namespace Orvane

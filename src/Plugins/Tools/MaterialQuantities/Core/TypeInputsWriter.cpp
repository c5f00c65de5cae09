#include "TypeInputsWriter.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/CoreProperty.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <string>
#include <vector>

namespace Orvane {

using Ifc2x3CC::PropertySetUtils;

namespace {
Step::String toStepString(const QString& text)
{
    return Step::String(text.toStdWString());
}
} // namespace

TypeInputsWriter::TypeInputsWriter(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings)
    : model(model), functionalUnitPath(settings.functionalUnitPropertyPath, TypeInputPath::SingleValue),
      massPath(settings.massPerFunctionalUnitPropertyPath, TypeInputPath::SingleValue),
      reusedPath(settings.reusedMaterialsPropertyPath, TypeInputPath::SingleValue),
      compositionPath(settings.materialCompositionPropertyPath, TypeInputPath::WholeSet)
{
}

const TypeInputPath& TypeInputsWriter::pathOf(Input input) const
{
    switch (input) {
    case FunctionalUnit:
        return functionalUnitPath;
    case MassPerFunctionalUnit:
        return massPath;
    case Reused:
        return reusedPath;
    case Composition:
        break;
    }
    return compositionPath;
}

bool TypeInputsWriter::setFunctionalUnit(ifc2x3::IfcObjectDefinition* type, const QString& text) const
{
    return setSingleValue(FunctionalUnit, type, text, ifc2x3::IfcValue::IfcLabel);
}

bool TypeInputsWriter::setMassPerFunctionalUnit(ifc2x3::IfcObjectDefinition* type, double mass) const
{
    return setSingleValue(MassPerFunctionalUnit, type, mass, ifc2x3::IfcValue::IfcReal);
}

bool TypeInputsWriter::setReused(ifc2x3::IfcObjectDefinition* type, bool reused) const
{
    return setSingleValue(Reused, type, QVariant::fromValue(BooleanVariant::fromBool(reused)),
                          ifc2x3::IfcValue::IfcBoolean);
}

bool TypeInputsWriter::setSingleValue(Input input, ifc2x3::IfcObjectDefinition* type, const QVariant& value,
                                      int valueType) const
{
    const TypeInputPath& path = pathOf(input);
    if (!model || !type || !path.isWritable()) {
        return false;
    }
    const bool written = PropertySetUtils::addProperty(
        model->editContext(), type, toStepString(path.propertySetName()), toStepString(path.propertyName()), value,
        ifc2x3::IfcValue::IfcValue_select(valueType), ifc2x3::IfcSIPrefix_UNSET, true);
    if (written) {
        announce(type);
    }
    return written;
}

bool TypeInputsWriter::setShare(ifc2x3::IfcObjectDefinition* type, const QString& material,
                                std::optional<double> share) const
{
    QVector<TypeInputs::Share> shares = compositionOf(type);
    auto known = std::find_if(shares.begin(), shares.end(),
                              [&](const TypeInputs::Share& candidate) { return candidate.material == material; });
    if (share && known != shares.end()) {
        known->value = *share;
    } else if (share) {
        shares.push_back({material, *share});
    } else if (known != shares.end()) {
        shares.erase(known);
    } else {
        return true;
    }
    return setComposition(type, shares);
}

bool TypeInputsWriter::setComposition(ifc2x3::IfcObjectDefinition* type, const QVector<TypeInputs::Share>& shares) const
{
    if (!model || !type || !compositionPath.isWritable()) {
        return false;
    }
    // Replaced as a whole: the set's properties are the composition, so a
    // material left out must not survive in it.
    const std::string setName = compositionPath.propertySetName().toStdString();
    std::vector<std::string> names;
    names.reserve(std::size_t(shares.size()));
    for (const TypeInputs::Share& share : shares) {
        names.push_back(share.material.toStdString());
    }
    std::vector<PropertySetUtils::SingleValue> values;
    for (int i = 0; i < shares.size(); ++i) {
        // A share that is not a number is kept as the text it was.
        const bool number = shares[i].value.userType() == QMetaType::Double;
        values.push_back({names[std::size_t(i)], shares[i].value,
                          number ? ifc2x3::IfcValue::IfcReal : ifc2x3::IfcValue::IfcLabel, ifc2x3::IfcSIPrefix_UNSET});
    }
    PropertySetUtils::removePropertySets(model->editContext(), {type}, {setName});
    const bool written = values.empty() || PropertySetUtils::addProperties(model->editContext(), type, setName, values,
                                                                           true) == int(values.size());
    announce(type);
    return written;
}

QVector<TypeInputs::Share> TypeInputsWriter::compositionOf(ifc2x3::IfcObjectDefinition* type) const
{
    QVector<TypeInputs::Share> shares;
    const Step::RefPtr<CoreProperty> set =
        model ? model->getProperty(model->index(type), compositionPath.pathOnType()) : Step::RefPtr<CoreProperty>();
    for (int i = 0; set && i < set->childCount(); ++i) {
        const Step::RefPtr<CoreProperty> share(set->getChildProperty(i));
        if (!share) {
            continue;
        }
        bool number = false;
        const double value = share->value().toDouble(&number);
        shares.push_back({share->name(), number ? QVariant(value) : share->displayValue()});
    }
    return shares;
}

void TypeInputsWriter::announce(ifc2x3::IfcObjectDefinition* type) const
{
    model->updateItem(model->index(type));
}

} // namespace Orvane

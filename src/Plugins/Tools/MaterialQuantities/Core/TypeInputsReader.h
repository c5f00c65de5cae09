#pragma once

#include "MaterialQuantitiesSettings.h"
#include "TypeInputs.h"

#include "Orvane/CoreProperty.h"

#include <unordered_map>

namespace Step {
class BaseEntity;
}

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Reads the inputs of every element type of a model that has building
/// elements, through the settings' paths.
class TypeInputsReader
{
public:
    TypeInputsReader(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings);

    /// Every type, in model order.
    TypeInputsTable read() const;
    /// The inputs of one type again, its instance count kept.
    void reread(TypeInputs& inputs) const;

private:
    using TypeOfObject = std::unordered_map<const Step::BaseEntity*, ifc2x3::IfcObjectDefinition*>;

    /// Each typed object's type, null when its typing relation names none.
    TypeOfObject typesOfObjects() const;
    /// An input of the type at its path, read as on the type's first element.
    Step::RefPtr<CoreProperty> inputOf(const TypeInputs& inputs, const QStringList& path) const;

    _ifc2x3::IFC2x3Model* model;
    QStringList functionalUnitPath;
    QStringList massPath;
    QStringList compositionPath;
    QStringList reusedPath;
};

} // namespace Orvane

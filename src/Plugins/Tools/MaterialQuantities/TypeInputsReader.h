#pragma once

#include "MaterialQuantitiesSettings.h"
#include "TypeInputs.h"

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
    _ifc2x3::IFC2x3Model* model;
    QStringList functionalUnitPath;
    QStringList massPath;
    QStringList compositionPath;
    QStringList reusedPath;
};

} // namespace Orvane

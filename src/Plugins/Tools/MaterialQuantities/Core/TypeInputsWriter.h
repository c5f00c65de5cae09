#pragma once

#include "MaterialQuantitiesSettings.h"
#include "TypeInputPath.h"
#include "TypeInputs.h"

#include <optional>

namespace ifc2x3 {
class IfcObjectDefinition;
}

namespace Orvane {

namespace _ifc2x3 {
class IFC2x3Model;
}

/// Writes the inputs of element types at the settings' paths: the property
/// set and property are created when absent, and a set that other objects
/// share is copied for the type first. Values are typed so that the
/// computation reads back what was written: a label for the functional
/// unit, reals for the mass and the shares, a boolean for the reuse flag.
/// Every write tells the model the type's row changed.
class TypeInputsWriter
{
public:
    enum Input { FunctionalUnit, MassPerFunctionalUnit, Reused, Composition };

    TypeInputsWriter(_ifc2x3::IFC2x3Model* model, const MaterialQuantitiesSettings& settings);

    const TypeInputPath& pathOf(Input input) const;

    /// Each is false, with nothing written, when the input's path does not
    /// lead into a property set of the type or the write fails.
    bool setFunctionalUnit(ifc2x3::IfcObjectDefinition* type, const QString& text) const;
    bool setMassPerFunctionalUnit(ifc2x3::IfcObjectDefinition* type, double mass) const;
    bool setReused(ifc2x3::IfcObjectDefinition* type, bool reused) const;
    /// Sets one material's share, or removes it without a value.
    bool setShare(ifc2x3::IfcObjectDefinition* type, const QString& material, std::optional<double> share) const;
    /// Replaces the type's composition by these shares.
    bool setComposition(ifc2x3::IfcObjectDefinition* type, const QVector<TypeInputs::Share>& shares) const;

private:
    bool setSingleValue(Input input, ifc2x3::IfcObjectDefinition* type, const QVariant& value, int valueType) const;
    QVector<TypeInputs::Share> compositionOf(ifc2x3::IfcObjectDefinition* type) const;
    void announce(ifc2x3::IfcObjectDefinition* type) const;

    _ifc2x3::IFC2x3Model* model;
    TypeInputPath functionalUnitPath;
    TypeInputPath massPath;
    TypeInputPath reusedPath;
    TypeInputPath compositionPath;
};

} // namespace Orvane

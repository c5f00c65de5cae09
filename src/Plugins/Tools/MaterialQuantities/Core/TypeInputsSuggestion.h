#pragma once

#include "TypeInputs.h"
#include "TypeInputsChange.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace Orvane {

/// Inputs of one element type drawn from what the model already carries
/// (its materials and its instances' base quantities), for the user to
/// accept. Only the inputs the type lacks are suggested.
struct TypeInputsSuggestion
{
    enum Input { FunctionalUnit = 0x1, MassPerFunctionalUnit = 0x2, Composition = 0x4, AllInputs = 0x7 };

    ifc2x3::IfcObjectDefinition* type = nullptr;
    QString globalId;
    /// A word the computation recognises.
    std::optional<QString> functionalUnit;
    /// Kilograms per functional unit.
    std::optional<double> massPerFunctionalUnit;
    /// Shares in percent; a share without a value where the model gives no
    /// proportion (a material list), for the user to fill in.
    std::optional<QVector<TypeInputs::Share>> composition;
    /// Where each suggestion comes from, or why there is none.
    QString functionalUnitSource;
    QString massSource;
    QString compositionSource;
    /// The type's materials the library gives no density for.
    QStringList materialsWithoutDensity;

    bool has(Input input) const;
    bool isEmpty() const { return !functionalUnit && !massPerFunctionalUnit && !composition; }
    /// The change that writes the suggested inputs among `inputs` (an OR of
    /// Input values); a share without a value is written as 0.
    TypeInputsChange change(int inputs = AllInputs) const;
};

} // namespace Orvane

#pragma once

#include "TypeInputs.h"

#include <QString>
#include <QVector>

#include <optional>

namespace Orvane {

/// What a type inputs workbook changes in one type. An input left unset
/// stays as the model holds it.
struct TypeInputsChange
{
    ifc2x3::IfcObjectDefinition* type = nullptr;
    QString globalId;
    std::optional<QString> functionalUnit;
    std::optional<double> massPerFunctionalUnit;
    std::optional<bool> reused;
    /// The whole new composition: numbers, or the text a share already had
    /// in the model.
    std::optional<QVector<TypeInputs::Share>> composition;

    bool isEmpty() const { return !functionalUnit && !massPerFunctionalUnit && !reused && !composition; }
};

} // namespace Orvane

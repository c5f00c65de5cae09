#pragma once

#include "TypeInputs.h"
#include "TypeInputsSuggestion.h"

#include <QString>

namespace Orvane {

/// Writes the inputs of a model's types as a workbook to be filled in and
/// read back by TypeInputsWorkbookImport.
class TypeInputsWorkbookExport
{
public:
    /// Writes the table as the one sheet of a new workbook at path, laid out
    /// as TypeInputsColumns tells: values as the model holds them (numbers
    /// as numbers, a text where a number was expected as that text, the
    /// reuse flag as a boolean), nothing where the model has no value. The
    /// header row is bold, frozen and filters the rows; columns fit their
    /// texts. A file already at path is replaced only once the whole
    /// workbook is written; false, with a message in *error, when it could
    /// not be.
    static bool write(const TypeInputsTable& table, const QString& path, QString* error = nullptr);
    /// The same with the suggestions (one per type) in columns of their own.
    static bool write(const TypeInputsTable& table, const QVector<TypeInputsSuggestion>& suggestions,
                      const QString& path, QString* error = nullptr);
};

} // namespace Orvane

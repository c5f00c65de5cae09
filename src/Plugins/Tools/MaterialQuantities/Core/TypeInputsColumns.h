#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>

namespace Orvane {

/// The layout of the type inputs workbook, fixed so that other tools can
/// write it: one sheet, these columns first, then one column per material
/// headed by the material's name. Headers are written in the user's
/// language and read in English or in French whatever the language, so that
/// a workbook travels between users of either.
///
/// Suggested inputs follow in columns of their own, which an import ignores:
/// the user copies what they accept into the input columns.
class TypeInputsColumns
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::TypeInputsColumns)

public:
    enum Column { GlobalId, Type, Entity, Instances, FunctionalUnit, MassPerFunctionalUnit, Reused, Status, Count };

    static QString sheetName();
    static bool isSheetName(const QString& name);

    enum SuggestionColumn { SuggestedFunctionalUnit, SuggestedMass, SuggestionSources, SuggestionCount };

    static QString header(Column column);
    static QString header(SuggestionColumn column);
    /// "Suggested share: Béton" for a material's suggested share.
    static QString suggestedShareHeader(const QString& material);
    /// Whether a header names a suggestion column, in either language.
    static bool isSuggestionHeader(const QString& header);
    /// The fixed column a header names, compared without case, or none.
    static std::optional<Column> columnOf(const QString& header);
    /// Whether an import needs the column; the others only inform.
    static bool isRequired(Column column);

    /// A column's letters as a spreadsheet shows them ("A", "AB"), numbered
    /// from 1.
    static QString letters(int column);
};

} // namespace Orvane

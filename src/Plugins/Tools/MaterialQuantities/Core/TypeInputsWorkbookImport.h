#pragma once

#include "TypeInputsChange.h"
#include "TypeInputsColumns.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

#include <array>

namespace Orvane {

class TypeInputsWriter;

/// Reads back a type inputs workbook (see TypeInputsColumns), in two steps so
/// that the writes can be made as one operation: read() checks the whole
/// workbook against the model's inputs and tells what it changes, writing
/// nothing; apply() writes that.
///
/// Columns are found by their headers; every other column headed by a text
/// is a material's. Rows are matched to types by GlobalId. An empty cell
/// leaves that input as it is; a row with a share in any material column
/// replaces the type's composition by the shares of that row. Reuse is read from booleans,
/// TRUE/FALSE, yes/no, oui/non, vrai/faux or 1/0, without case. Only what
/// differs from the model is a change: a workbook exported and read back as
/// it is changes nothing, a text it holds where a number was expected
/// included.
class TypeInputsWorkbookImport
{
    Q_DECLARE_TR_FUNCTIONS(Orvane::TypeInputsWorkbookImport)

public:
    struct Result
    {
        /// The types whose inputs change, in the order of the rows.
        QVector<TypeInputsChange> changes;
        /// Why nothing can be imported, naming the sheet, row and column;
        /// empty when the workbook is valid.
        QString error;

        bool isValid() const { return error.isEmpty(); }
    };

    static Result read(const QString& path, const TypeInputsTable& current);

    /// Writes the changes at the writer's paths; how many types changed.
    /// -1, with the reason in *error and the model as it was, when an input
    /// cannot be written (its path does not lead into a set of the type, say).
    /// The writes run under a journal of their own (inside the caller's when
    /// one is open), undone on failure.
    static int apply(const QVector<TypeInputsChange>& changes, const TypeInputsWriter& writer,
                     QString* error = nullptr);

private:
    /// The cells of a row that hold values, by column.
    using Cells = QMap<int, QVariant>;

    explicit TypeInputsWorkbookImport(const TypeInputsTable& current);

    bool readWorkbook(const QString& path, QMap<int, Cells>& rows);
    bool readHeader(const Cells& header);
    bool readMaterialHeaders(const Cells& header);
    bool readRow(int row, const Cells& cells, Result& result);
    const TypeInputs* typeOfRow(int row, const Cells& cells);
    /// False for a value under no header.
    bool checkColumns(int row, const Cells& cells);
    bool isFixedColumn(int column) const;
    bool readFunctionalUnit(const Cells& cells, const TypeInputs& inputs, TypeInputsChange& change) const;
    bool readMass(int row, const Cells& cells, const TypeInputs& inputs, TypeInputsChange& change);
    bool readReused(int row, const Cells& cells, const TypeInputs& inputs, TypeInputsChange& change);
    bool readComposition(int row, const Cells& cells, const TypeInputs& inputs, TypeInputsChange& change);
    /// A cell where a number is expected: a number not below zero, or the
    /// text the model holds there (held), unchanged. False on anything else.
    bool readNumber(int row, int column, const QVariant& value, const QVariant& held, QVariant& number);
    QVariant cellOf(const Cells& cells, TypeInputsColumns::Column column) const;

    bool fail(int row, int column, const QString& message);

    static bool sameComposition(const QVector<TypeInputs::Share>& shares, const TypeInputs& inputs);
    static QString unwritableInput(const QVector<TypeInputsChange>& changes, const TypeInputsWriter& writer);
    static bool write(const TypeInputsChange& change, const TypeInputsWriter& writer);

    const TypeInputsTable& current;
    QHash<QString, int> typeIndex;                            // GlobalId to index in current.types
    QHash<QString, int> rowOfType;                            // GlobalId to the row that gave it
    QString sheet;                                            // as the workbook names it
    std::array<int, TypeInputsColumns::Count> fixedColumns{}; // 0: absent
    QMap<int, QString> materialColumns;                       // column to material
    QSet<int> suggestionColumns;                              // read by the user, not here
    QHash<int, QString> headers;                              // column to its header, for messages
    QString error;
};

} // namespace Orvane

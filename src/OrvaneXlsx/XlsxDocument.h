#pragma once

#include "XlsxFormat.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace Orvane {

/// A new .xlsx workbook written cell by cell, then saved in one go.
///
/// Rows and columns are numbered from 1. Values keep their type: numbers are
/// stored as numbers, bool and BooleanVariant as booleans (an unknown
/// BooleanVariant leaves the cell empty), everything else as text.
///
/// save() writes the workbook as one Step::AtomicFile: a failed or
/// interrupted save leaves any previous file at the path as it was and no
/// temporary file, a symbolic link is written through, and a path that is
/// not a regular file is refused (the error is known from construction).
class XlsxDocument
{
public:
    enum class Mode {
        /// Cells may be written in any order; every cell is kept in memory
        /// until saved.
        RandomAccess,
        /// Within a sheet, rows must come in increasing order (any column
        /// order within a row): each finished row goes to disk, so memory
        /// stays flat however large the sheet. Writes to an earlier row fail.
        RowOrdered,
    };

    explicit XlsxDocument(const QString& path, Mode mode = Mode::RandomAccess);
    ~XlsxDocument();
    XlsxDocument(const XlsxDocument&) = delete;
    XlsxDocument& operator=(const XlsxDocument&) = delete;

    const QString& path() const;

    /// Adds a sheet after the others and makes it the one written to. The
    /// name is made acceptable to Excel first (see validSheetName) and, if
    /// already taken, numbered. Returns the name given to the sheet, empty
    /// on failure.
    QString addSheet(const QString& name);
    QStringList sheetNames() const;

    /// Writes a value into the current sheet, adding "Sheet1" when there is
    /// none yet. An invalid QVariant or an empty text writes nothing. False
    /// for a cell outside the sheet, a RowOrdered write to an earlier row, or
    /// after save().
    bool write(int row, int column, const QVariant& value, const XlsxFormat& format = XlsxFormat());

    /// Keeps the first `rows` rows of the current sheet in view when
    /// scrolling.
    bool freezeRows(int rows);
    /// A filter over a range of the current sheet, its first row holding the
    /// headers; numbered from 1, bounds included.
    bool setAutoFilter(int firstRow, int firstColumn, int lastRow, int lastColumn);
    /// The width of a column of the current sheet, in characters of the
    /// default font.
    bool setColumnWidth(int column, double width);

    /// Writes the workbook file. Can be called once; the document takes no
    /// more writes afterwards.
    bool save();
    /// What went wrong in the last failed call.
    QString errorString() const;

    /// The name Excel would accept for a sheet: characters []:*?/\ replaced,
    /// leading and trailing apostrophes removed, at most 31 characters, not
    /// empty and not the reserved "History".
    static QString validSheetName(const QString& name);
    /// True for the meta-types written as numeric cells.
    static bool isNumberType(int type);

    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 16384;
    /// Longest text a cell holds; longer texts are cut.
    static constexpr int maxTextLength = 32767;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Orvane

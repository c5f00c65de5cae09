#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace Orvane {

/// Reads the cell values of the worksheets of an .xlsx workbook, one sheet
/// at a time and without holding a sheet in memory. Values are doubles,
/// bools or QStrings; formulas give their last computed value. Styles,
/// column widths, charts and chart sheets are not read.
class XlsxReader
{
public:
    /// Called for each cell that holds a value, rows and columns from 1, in
    /// the order of the file (by row, then column, in workbooks that Excel
    /// opens). Returning false stops the reading.
    using CellVisitor = std::function<bool(int row, int column, const QVariant& value)>;

    explicit XlsxReader(const QString& path);
    ~XlsxReader();
    XlsxReader(const XlsxReader&) = delete;
    XlsxReader& operator=(const XlsxReader&) = delete;

    /// Reads the workbook's sheet list and shared strings; false when the
    /// file is not a readable workbook.
    bool open();
    /// The worksheets, in the workbook's order.
    QStringList sheetNames() const;
    /// False when the sheet cannot be read or visit stopped it.
    bool readSheet(int sheet, const CellVisitor& visit);

    QString errorString() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Orvane

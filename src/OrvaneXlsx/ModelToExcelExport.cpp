#include "ModelToExcelExport.h"

#include "Orvane/BooleanVariant.h"
#include "OrvaneXlsx/XlsxColumnWidths.h"
#include "OrvaneXlsx/XlsxDocument.h"
#include "OrvaneXlsx/XlsxReader.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QVector>

#include <algorithm>

namespace Orvane {

namespace {

bool isNumberOrBoolean(const QVariant& value)
{
    return value.userType() == QMetaType::Bool || value.userType() == BooleanVariant::metaTypeId() ||
           XlsxDocument::isNumberType(value.userType());
}

/// What a display value is stored as: numbers and booleans as they are,
/// the rest as its text; nothing for what has no text (an icon, say).
QVariant displayCell(const QVariant& display)
{
    if (isNumberOrBoolean(display)) {
        return display;
    }
    return display.canConvert<QString>() ? QVariant(display.toString()) : QVariant();
}

bool fail(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
    return false;
}

/// Why a model does not fit in a sheet (its rows under the header row),
/// empty when it fits.
QString sizeProblem(const QAbstractItemModel& model, const QString& sheet)
{
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    if (columns > XlsxDocument::maxColumns) {
        return QStringLiteral("The sheet \"%1\" would need %2 columns; a sheet holds at most %3")
            .arg(sheet)
            .arg(columns)
            .arg(XlsxDocument::maxColumns);
    }
    if (rows >= XlsxDocument::maxRows) {
        return QStringLiteral("The sheet \"%1\" would need %2 rows with its header; a sheet holds at most %3")
            .arg(sheet)
            .arg(static_cast<qint64>(rows) + 1)
            .arg(XlsxDocument::maxRows);
    }
    return {};
}

/// A model's cell as written: the edit role when it holds a number or a
/// boolean, else the display value.
QVariant cellValue(const QAbstractItemModel& model, const QModelIndex& index)
{
    const QVariant edit = model.data(index, Qt::EditRole);
    // The display role only when the edit role has no number: result
    // models format their numbers for display, which costs more than
    // writing them.
    return isNumberOrBoolean(edit) ? edit : displayCell(model.data(index, Qt::DisplayRole));
}

/// The format of a cell: the column's number format for numbers only.
const XlsxFormat& cellFormat(const QVariant& value, const XlsxFormat& numberFormat)
{
    static const XlsxFormat general;
    return XlsxDocument::isNumberType(value.userType()) ? numberFormat : general;
}

bool writeHeader(XlsxDocument& document, const QAbstractItemModel& model, const XlsxSheetLayout& layout,
                 XlsxColumnWidths& widths)
{
    XlsxFormat format;
    format.setBold(layout.headerRow());
    for (int column = 0; column < model.columnCount(); ++column) {
        QVariant header = model.headerData(column, Qt::Horizontal, layout.headerRole());
        if (!header.isValid()) {
            header = model.headerData(column, Qt::Horizontal, Qt::DisplayRole);
        }
        header = displayCell(header);
        if (!document.write(1, column + 1, header, format)) {
            return false;
        }
        widths.addHeader(column, header.toString());
    }
    return true;
}

bool writeRows(XlsxDocument& document, const QAbstractItemModel& model, const XlsxSheetLayout& layout,
               XlsxColumnWidths* widths)
{
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    QVector<XlsxFormat> numberFormats(columns);
    for (int column = 0; column < columns; ++column) {
        numberFormats[column] = layout.numberFormat(column);
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QVariant value = cellValue(model, model.index(row, column));
            if (!value.isValid()) {
                continue;
            }
            const XlsxFormat& format = cellFormat(value, numberFormats.at(column));
            if (!document.write(row + 2, column + 1, value, format)) {
                return false;
            }
            if (widths) {
                widths->addCell(column, value, format);
            }
        }
    }
    return true;
}

/// The sheet's presentation, once its cells are written.
bool layOut(XlsxDocument& document, const QAbstractItemModel& model, const XlsxSheetLayout& layout,
            const XlsxColumnWidths& widths)
{
    const int columns = model.columnCount();
    if (layout.headerRow() && columns > 0 &&
        !(document.freezeRows(1) && document.setAutoFilter(1, 1, model.rowCount() + 1, columns))) {
        return false;
    }
    for (int column = 0; layout.fitColumns() && column < columns; ++column) {
        if (!document.setColumnWidth(column + 1, widths.width(column))) {
            return false;
        }
    }
    return true;
}

bool writeModel(XlsxDocument& document, const QAbstractItemModel& model, const XlsxSheetLayout& layout, QString* error)
{
    XlsxColumnWidths widths(layout.fitColumns() ? model.columnCount() : 0);
    if (!writeHeader(document, model, layout, widths) ||
        !writeRows(document, model, layout, layout.fitColumns() ? &widths : nullptr) ||
        !layOut(document, model, layout, widths)) {
        return fail(error, document.errorString());
    }
    return true;
}

} // namespace

bool modelToExcelExport(const QAbstractItemModel* model, const QString& file, const QString& sheet, bool addToWorkbook,
                        QString* error)
{
    return modelsToExcelExport({ModelSheet{model, sheet}}, file, addToWorkbook, error);
}

bool modelsToExcelExport(const QList<ModelSheet>& sheets, const QString& file, bool addToWorkbook, QString* error)
{
    QStringList names;
    for (const ModelSheet& sheet : sheets) {
        if (!sheet.model) {
            return fail(error, QStringLiteral("No model to write as the sheet \"%1\"").arg(sheet.name));
        }
        names.append(XlsxDocument::validSheetName(sheet.name));
        // Before anything is read or written: a sheet too large fails the
        // whole workbook anyway.
        if (const QString problem = sizeProblem(*sheet.model, names.last()); !problem.isEmpty()) {
            return fail(error, problem + QStringLiteral("; nothing was written"));
        }
    }
    // Rows are written in order, so the sheets stream to disk row by row.
    XlsxDocument document(file, XlsxDocument::Mode::RowOrdered);
    if (addToWorkbook && QFileInfo::exists(file)) {
        // The other sheets are copied cell by cell as they are read.
        XlsxReader reader(file);
        if (!reader.open()) {
            return fail(error, reader.errorString());
        }
        const QStringList oldNames = reader.sheetNames();
        for (int i = 0; i < oldNames.size(); ++i) {
            if (names.contains(oldNames.at(i), Qt::CaseInsensitive)) {
                continue;
            }
            if (document.addSheet(oldNames.at(i)).isEmpty()) {
                return fail(error, document.errorString());
            }
            bool written = true;
            const bool read = reader.readSheet(i, [&](int row, int column, const QVariant& value) {
                written = document.write(row, column, value);
                return written;
            });
            if (!written) {
                return fail(error, document.errorString());
            }
            if (!read) {
                return fail(error, reader.errorString());
            }
        }
    }
    for (int i = 0; i < sheets.size(); ++i) {
        if (document.addSheet(names.at(i)).isEmpty()) {
            return fail(error, document.errorString());
        }
        if (!writeModel(document, *sheets.at(i).model, sheets.at(i).layout, error)) {
            return false;
        }
    }
    if (!document.save()) {
        return fail(error, document.errorString());
    }
    return true;
}

} // namespace Orvane

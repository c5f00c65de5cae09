#pragma once

#include "OrvaneXlsx/XlsxSheetLayout.h"

#include <QList>
#include <QString>

class QAbstractItemModel;

namespace Orvane {

/// A model, the name of the sheet it goes to and how that sheet is
/// presented (raw unless told).
struct ModelSheet
{
    const QAbstractItemModel* model;
    QString name;
    XlsxSheetLayout layout = XlsxSheetLayout();
};

/// Writes a model as the sheet `sheet` of the workbook at `file`: the
/// horizontal header texts in row 1, then one row per top-level row of the
/// model. A cell holds the edit-role value when it is a number or a boolean,
/// else the display value (numbers and booleans keep their type, the rest is
/// text).
///
/// With addToWorkbook set and a workbook already at `file`, its sheets are
/// kept, apart from one of the same name (compared without case), which the
/// new sheet replaces; the new sheet comes last. Without it the file holds
/// this sheet only. A sheet name Excel refuses is cleaned rather than
/// refused (XlsxDocument::validSheetName).
///
/// A model with more columns, or more rows under the header row, than a
/// sheet holds fails the call before any cell is read, the message naming
/// the sheet and the numbers.
///
/// The workbook is written to a temporary file that replaces `file` once
/// complete: on failure (false, with a message in *error) the file at `file`
/// is as it was. A file there that is not a readable workbook is left alone
/// and the call fails when addToWorkbook is set.
bool modelToExcelExport(const QAbstractItemModel* model, const QString& file, const QString& sheet,
                        bool addToWorkbook = true, QString* error = nullptr);

/// The same with several sheets written in one go, in the given order, each
/// laid out as its layout tells: with a header row, the header is bold,
/// frozen and filters the rows; with fitted columns, widths come from the
/// longest texts, gathered while the cells are written.
bool modelsToExcelExport(const QList<ModelSheet>& sheets, const QString& file, bool addToWorkbook,
                         QString* error = nullptr);

} // namespace Orvane

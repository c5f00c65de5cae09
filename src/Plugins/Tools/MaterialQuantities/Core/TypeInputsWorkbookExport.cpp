#include "TypeInputsWorkbookExport.h"

#include "TypeInputsColumns.h"
#include "TypeInputsSheet.h"

#include "OrvaneXlsx/ModelToExcelExport.h"

namespace Orvane {

namespace {

bool writeSheet(const TypeInputsSheet& sheet, const QString& path, QString* error)
{
    XlsxSheetLayout layout;
    layout.setHeaderRow(true);
    layout.setFitColumns(true);
    return modelsToExcelExport({{&sheet, TypeInputsColumns::sheetName(), layout}}, path, false, error);
}

} // namespace

bool TypeInputsWorkbookExport::write(const TypeInputsTable& table, const QString& path, QString* error)
{
    return writeSheet(TypeInputsSheet(table), path, error);
}

bool TypeInputsWorkbookExport::write(const TypeInputsTable& table, const QVector<TypeInputsSuggestion>& suggestions,
                                     const QString& path, QString* error)
{
    return writeSheet(TypeInputsSheet(table, suggestions), path, error);
}

} // namespace Orvane

#include "TypeInputsWorkbookExport.h"

#include "TypeInputsColumns.h"
#include "TypeInputsSheet.h"

#include "Orvane/ModelToExcelExport.h"

namespace Orvane {

bool TypeInputsWorkbookExport::write(const TypeInputsTable& table, const QString& path, QString* error)
{
    const TypeInputsSheet sheet(table);
    XlsxSheetLayout layout;
    layout.setHeaderRow(true);
    layout.setFitColumns(true);
    return modelsToExcelExport({{&sheet, TypeInputsColumns::sheetName(), layout}}, path, false, error);
}

} // namespace Orvane

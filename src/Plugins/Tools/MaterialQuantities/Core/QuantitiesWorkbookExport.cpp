#include "QuantitiesWorkbookExport.h"

#include "MaterialQuantitiesProxyModel.h"
#include "QuantitiesDetailsSheet.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneXlsx/ModelToExcelExport.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <mutex>
#include <optional>

namespace Orvane {

namespace {

QString projectLabel(_ifc2x3::IFC2x3Model* model)
{
    if (!model || !model->dataSet()) {
        return {};
    }
    // Around the list too: a computation may be writing meanwhile.
    const std::lock_guard<std::recursive_mutex> lock(model->dataSet()->mutex());
    const auto& projects = model->dataSet()->getAllIfcProject();
    if (projects.empty()) {
        return {};
    }
    return QString::fromStdWString(ifc2x3::ExpressDataSet::label(*projects.front()).toWString());
}

/// The folder last used with key while it exists, else the model's: the
/// documents folder only for a model that has no file.
QString proposedFolder(_ifc2x3::IFC2x3Model* model, const QString& key)
{
    const QString last = QSettings().value(key).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) {
        return last;
    }
    const QString modelFile = model ? model->filePath() : QString();
    if (!modelFile.isEmpty()) {
        return QFileInfo(modelFile).absolutePath();
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

/// A project labelled "Lot 2/3" must not send the proposal into a folder
/// "Lot 2".
QString fileNamePart(QString text)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : text) {
        if (forbidden.contains(c) || c.unicode() < 0x20) {
            c = QLatin1Char('_');
        }
    }
    return text.trimmed();
}

XlsxFormat massFormat()
{
    XlsxFormat format;
    format.setNumberFormat(QuantitiesWorkbookExport::massNumberFormat());
    return format;
}

/// A header row and fitted columns, masses where isMass tells.
template <class IsMass> XlsxSheetLayout quantitiesLayout(const QAbstractItemModel& model, IsMass isMass)
{
    XlsxSheetLayout layout;
    layout.setHeaderRow(true);
    // The titles without the unit the dock shows: every mass cell says kg.
    layout.setHeaderRole(Qt::EditRole);
    layout.setFitColumns(true);
    for (int column = 0; column < model.columnCount(); ++column) {
        if (isMass(column)) {
            layout.setNumberFormat(column, massFormat());
        }
    }
    return layout;
}

} // namespace

// The sheet names are translated with the dock's texts, where the export
// button is.
QString QuantitiesWorkbookExport::totalSheetName()
{
    return QCoreApplication::translate("Orvane::MaterialQuantitiesDockWidget", "Total quantities");
}

QString QuantitiesWorkbookExport::detailsSheetName()
{
    return QCoreApplication::translate("Orvane::MaterialQuantitiesDockWidget", "Details quantities");
}

QString QuantitiesWorkbookExport::defaultExportFilePath(_ifc2x3::IFC2x3Model* model, const QString& key,
                                                        const QString& suffix)
{
    QString path = proposedFolder(model, key) + QStringLiteral("/Export_") + suffix;
    const QString label = fileNamePart(projectLabel(model));
    if (!label.isEmpty()) {
        path += QLatin1Char('_') + label;
    }
    return path + QStringLiteral(".xlsx");
}

bool QuantitiesWorkbookExport::exportQuantities(const QAbstractItemModel* totals, const QAbstractItemModel* details,
                                                const QString& path, QString* error)
{
    // The table's own cells cost the square of the number of materials.
    const auto* table = qobject_cast<const MaterialQuantitiesProxyModel*>(details);
    std::optional<QuantitiesDetailsSheet> sheet;
    if (table) {
        sheet.emplace(*table);
    }
    if (!totals || !details) {
        // Fails, with the message that names the sheet without a model.
        return modelsToExcelExport({{totals, totalSheetName()}, {details, detailsSheetName()}}, path, false, error);
    }
    // The totals: material names, then masses.
    const XlsxSheetLayout totalsLayout = quantitiesLayout(*totals, [](int column) { return column > 0; });
    // Only the table tells which of its columns are materials.
    const XlsxSheetLayout detailsLayout =
        quantitiesLayout(*details, [&](int column) { return sheet && sheet->isMassColumn(column); });
    // One workbook written in one go: either both sheets reach the file or
    // the file stays as it was, whatever sheets it had.
    return modelsToExcelExport(
        {{totals, totalSheetName(), totalsLayout}, {sheet ? &*sheet : details, detailsSheetName(), detailsLayout}},
        path, false, error);
}

} // namespace Orvane

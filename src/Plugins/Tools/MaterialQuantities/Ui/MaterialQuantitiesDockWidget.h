#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MassDisplayUnit.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/StoredResults.h"
#include "ResultHeaderState.h"

#include <QDockWidget>
#include <QHash>
#include <QMap>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QSortFilterProxyModel;
class QStandardItemModel;

namespace Orvane {

namespace Ui {
class MaterialQuantitiesDockWidget;
}

namespace _ifc2x3 {
class IFC2x3Model;
}
class Model;
class MassUnitActions;
class MaterialQuantitiesCalculatorThread;
class MaterialQuantitiesProxyModel;
class MaterialQuantitiesSortProxyModel;
class MaterialTotalQuantitiesModel;
class ModelJob;
class OperationStatus;

/// The tool's window: follows the host's active model, starts a computation
/// on it and shows the detailed and total quantities the model carries, with
/// a chart of the totals and the two workbook exports. The panes of the
/// results, whether the chart shows and its scale are kept in the settings.
class MaterialQuantitiesDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesDockWidget(QWidget* parent = nullptr);
    ~MaterialQuantitiesDockWidget() override;

    /// The host's newly active model; null when none is.
    void setModel(Model* newModel);

    /// Whether the results of a model are being read on a worker thread:
    /// they show once read.
    bool isReadingResults() const { return !readingJobs.isEmpty(); }

    const MaterialQuantitiesSettings& getSettings() const { return settings; }
    /// Used by the next computation and the next display of results.
    void setSettings(const MaterialQuantitiesSettings& newSettings);

protected:
    /// Fits the columns of results shown while the views were hidden.
    bool eventFilter(QObject* watched, QEvent* event) override;

protected slots:
    void on_computeQuantitiesPushButton_clicked();
    /// Adds the items counted since the last call to the progress.
    void calculatedItem();
    void calculationFailed();
    void calculationSucceeded(QMap<int, QString> quantitiesPropPathMap);
    void on_exportPMDPushButton_clicked();
    void on_exportComponentsPushButton_clicked();
    void on_exportInventoryPushButton_clicked();
    void on_debugModeCheckBox_stateChanged(int state);
    void calculationInterrupted();

private:
    /// Settings of the layout, under the tool's group.
    static QString layoutKey(const char* name);
    void restoreLayout();
    void rememberSplitterSizes();
    void showChart(bool shown);
    void setLogarithmicChart(bool logarithmic);
    void updateChartVisibility();
    /// Why the exports are unavailable now; empty when they are available.
    QString exportUnavailableReason() const;
    /// The file chosen for an export, the last folder used with key proposed,
    /// else the model's.
    QString askExportPath(const QString& key, const QString& suffix);
    /// Runs work on a worker thread, the model busy meanwhile, then tells
    /// where the file went or why it was not written.
    void startExport(const QString& path, const std::function<bool(QString*)>& work);
    void exportFinished(const QString& path, bool written, const QString& error);
    /// The totals as the tree shows them, for a worker thread to read.
    std::shared_ptr<QStandardItemModel> copyOfTotals() const;

    void clearResults();
    /// Shows the results the model holds, once read: a model shown again
    /// unchanged shows them at once, else they are read on a worker thread.
    void updateResults();
    /// Reads the model's results on a worker thread, the model busy
    /// meanwhile, and shows them if it is still the one shown.
    void readStoredResults();
    void storedResultsRead(_ifc2x3::IFC2x3Model* read, const MaterialQuantitiesSettings& readSettings,
                           const StoredResults& results);
    void modelBusyChanged(bool busy);
    /// Forgets what was kept of a model once it is destroyed: another one
    /// may come at its address.
    void forgetWhenDestroyed(const _ifc2x3::IFC2x3Model* kept);
    void deleteResultModels();
    /// Selects the host's selected elements and scrolls to the first.
    void selectHostSelection();
    void showMassesIn(MassDisplayUnit unit);
    /// The user's widths and sort, for the views of the next results.
    void rememberColumns();
    void restoreColumns();
    void showMissingQuantities(const StoredResults::MissingReasons& reasons);
    void showInformation(const QString& message);
    /// Ends the progress report of the computation that just ended; true
    /// when that computation worked on the model shown now.
    bool endComputation();
    /// A computation that failed or stopped left the model as it was.
    void restoreResultsBeforeComputation();
    void showWarning(const QString& message);
    /// Nothing is exported from a model being rewritten.
    void updateButtons();
    /// What failed, input by input, for the failure box's details.
    QString failureDetails() const;
    void rememberPathMap(_ifc2x3::IFC2x3Model* computed, const QMap<int, QString>& map);
    /// One line per reason with its count, each a link that shows only
    /// those elements.
    void showMissingReasons(const QHash<int, MaterialQuantitiesCalculator::MissingReason>& reasons);
    void showOnlyReason(const QString& link);
    /// The "Type inputs" page, with the types that miss an input.
    void showIncompleteTypes();

    MaterialQuantitiesSettings settings;
    Ui::MaterialQuantitiesDockWidget* ui;
    _ifc2x3::IFC2x3Model* model = nullptr;
    MaterialTotalQuantitiesModel* totalModel = nullptr;
    QSortFilterProxyModel* totalSortModel = nullptr;
    MaterialQuantitiesProxyModel* detailedModel = nullptr;
    MaterialQuantitiesSortProxyModel* detailedSortModel = nullptr;
    /// The quantity paths of each open model's last computation, kept
    /// while the model lives: a model shown again shows them again.
    QHash<const _ifc2x3::IFC2x3Model*, QMap<int, QString>> quantitiesPropPathMaps;
    /// What each open model holds of its results, as last read.
    QHash<const _ifc2x3::IFC2x3Model*, StoredResults> storedResults;
    /// What the model computed held before, shown again if the computation
    /// fails or stops: the model is then as it was.
    StoredResults resultsBeforeComputation;
    /// The workers reading them, by model.
    QHash<const _ifc2x3::IFC2x3Model*, QPointer<ModelJob>> readingJobs;
    /// The model shown was busy when its results were to be read: they are
    /// read once it is no longer.
    bool readWhenIdle = false;
    /// Finds the paths the kept maps lack (a model opened with results).
    std::unique_ptr<MaterialQuantitiesCalculator> quantityPathReader;
    /// The reason (kind) of each element without quantities, by model row.
    QHash<int, int> missingReasonKinds;
    OperationStatus* operationStatus = nullptr;
    /// Items computed and not yet added to operationStatus, and whether
    /// they are on their way.
    std::atomic<int> itemsNotShown{0};
    std::atomic<bool> itemsUpdatePending{false};
    int itemsPerUpdate = 1;
    /// The running computation and the model it works on, which keeps
    /// receiving its results when another model becomes active.
    QPointer<MaterialQuantitiesCalculatorThread> calculatorThread;
    QPointer<_ifc2x3::IFC2x3Model> computedModel;
    /// The export running, which keeps the model busy.
    QPointer<ModelJob> exportJob;
    MassUnitActions* massUnits;
    ResultHeaderState detailedColumns;
    /// Materials by name until the user sorts otherwise.
    ResultHeaderState totalColumns{0, Qt::AscendingOrder};
};

} // namespace Orvane

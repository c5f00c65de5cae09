#pragma once

#include "MaterialQuantitiesSettings.h"

#include <QDockWidget>
#include <QMap>
#include <QPointer>
#include <QString>

#include <atomic>

class QSortFilterProxyModel;

namespace Orvane {

namespace Ui {
class MaterialQuantitiesDockWidget;
}

namespace _ifc2x3 {
class IFC2x3Model;
}
class Model;
class MaterialQuantitiesCalculatorThread;
class MaterialQuantitiesChartView;
class MaterialQuantitiesProxyModel;
class MaterialQuantitiesSortProxyModel;
class MaterialTotalQuantitiesModel;
class OperationStatus;

/// The tool's window: follows the host's active model, starts a computation
/// on it and shows the detailed and total quantities the model carries, with
/// the two workbook exports.
class MaterialQuantitiesDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesDockWidget(QWidget* parent = nullptr);
    ~MaterialQuantitiesDockWidget() override;

    /// The host's newly active model; null when none is.
    void setModel(Model* newModel);

    const MaterialQuantitiesSettings& getSettings() const { return settings; }
    /// Used by the next computation and the next display of results.
    void setSettings(const MaterialQuantitiesSettings& newSettings) { settings = newSettings; }

protected slots:
    void on_computeQuantitiesPushButton_clicked();
    /// Adds the items counted since the last call to the progress.
    void calculatedItem();
    void calculationFailed();
    void calculationSucceeded(QMap<int, QString> quantitiesPropPathMap);
    void on_exportPMDPushButton_clicked();
    void on_exportComponentsPushButton_clicked();
    void on_debugModeCheckBox_stateChanged(int state);
    void calculationInterrupted();

private:
    void clearResults();
    void updateResults();
    void deleteResultModels();
    void selectHostSelection();
    void showMissingQuantities();
    void showInformation(const QString& message);
    /// Ends the progress report of the computation that just ended; true
    /// when that computation worked on the model shown now.
    bool endComputation();
    void showWarning(const QString& message);

    MaterialQuantitiesSettings settings;
    Ui::MaterialQuantitiesDockWidget* ui;
    _ifc2x3::IFC2x3Model* model = nullptr;
    MaterialTotalQuantitiesModel* totalModel = nullptr;
    QSortFilterProxyModel* totalSortModel = nullptr;
    MaterialQuantitiesProxyModel* detailedModel = nullptr;
    MaterialQuantitiesSortProxyModel* detailedSortModel = nullptr;
    QMap<int, QString> quantitiesPropPathMap;
    OperationStatus* operationStatus = nullptr;
    /// Items computed and not yet added to operationStatus, and whether
    /// they are on their way.
    std::atomic<int> itemsNotShown{0};
    std::atomic<bool> itemsUpdatePending{false};
    int itemsPerUpdate = 1;
    /// The running computation and the model it works on, which keeps
    /// receiving its results when another model becomes active.
    QPointer<MaterialQuantitiesCalculatorThread> calculatorThread;
    _ifc2x3::IFC2x3Model* computedModel = nullptr;
    /// Under the totals view; shown with the results.
    MaterialQuantitiesChartView* totalQuantitiesChartView;
};

} // namespace Orvane

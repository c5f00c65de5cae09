#include "MaterialQuantitiesDockWidget.h"

#include "ui_MaterialQuantitiesDockWidget.h"

#include "TypeInputsWidget.h"

#include "OrvaneWidgets/ModelUndoStack.h"

#include "DisplayDoubleDelegate.h"
#include "MassUnitActions.h"
#include "MaterialQuantitiesChartView.h"
#include "Plugins/Tools/MaterialQuantities/Core/InventoryWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialInventory.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/FileWrittenNotice.h"
#include "OrvaneWidgets/ModelJob.h"
#include "OrvaneWidgets/OperationStatus.h"
#include "OrvaneWidgets/QtTools.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <QMainWindow>
#include <QStatusBar>

#include <algorithm>
#include <future>

namespace Orvane {

namespace {
const char* const typeInputsLink = "types:incomplete";
/// Rows measured to fit a column to its contents.
constexpr int resizePrecision = 200;
} // namespace

MaterialQuantitiesDockWidget::MaterialQuantitiesDockWidget(QWidget* parent)
    : QDockWidget(parent), ui(new Ui::MaterialQuantitiesDockWidget)
{
    ui->setupUi(this);
    ui->informationWidget->hide();
    ui->detailedInformationWidget->hide();
    ui->missingReasonsLabel->hide();
    connect(ui->missingReasonsLabel, &QLabel::linkActivated, this, &MaterialQuantitiesDockWidget::showOnlyReason);
    ui->content->setEnabled(false);
    ui->totalMaterialQuantitiesTreeView->setItemDelegate(new DisplayDoubleDelegate(this));
    ui->detailedMaterialQuantitiesTableView->setItemDelegate(new DisplayDoubleDelegate(this));
    // Columns fit a sample of rows around the ones shown, not a large
    // model's every row.
    ui->detailedMaterialQuantitiesTableView->horizontalHeader()->setResizeContentsPrecision(resizePrecision);
    ui->detailedMaterialQuantitiesTableView->installEventFilter(this);
    ui->totalMaterialQuantitiesTreeView->installEventFilter(this);
    massUnits = new MassUnitActions(this);
    massUnits->addTo(ui->detailedMaterialQuantitiesTableView->horizontalHeader());
    massUnits->addTo(ui->totalMaterialQuantitiesTreeView->header());
    connect(massUnits, &MassUnitActions::unitChosen, this, &MaterialQuantitiesDockWidget::showMassesIn);
    ui->typeInputsTab->setSettings(settings);
    connect(ui->typeInputsTab, &TypeInputsWidget::message, this, [this](const QString& text) {
        if (auto* mainWindow = qobject_cast<QMainWindow*>(window())) {
            mainWindow->statusBar()->showMessage(text, 10000);
        }
    });
    ui->dockTabs->setTabEnabled(ui->dockTabs->indexOf(ui->typeInputsTab), false);
    restoreLayout();
    connect(ui->resultsSplitter, &QSplitter::splitterMoved, this, &MaterialQuantitiesDockWidget::rememberSplitterSizes);
    connect(ui->showChartCheckBox, &QCheckBox::toggled, this, &MaterialQuantitiesDockWidget::showChart);
    connect(ui->logarithmicScaleCheckBox, &QCheckBox::toggled, this,
            &MaterialQuantitiesDockWidget::setLogarithmicChart);
    updateButtons();
}

MaterialQuantitiesDockWidget::~MaterialQuantitiesDockWidget()
{
    rememberSplitterSizes();
    // Waits for the workers, which read the models.
    delete exportJob;
    for (const QPointer<ModelJob>& job : qAsConst(readingJobs)) {
        delete job;
    }
    // Stops a running computation (at its next element) before the models
    // it reports to go away.
    delete calculatorThread;
    if (computedModel) {
        computedModel->setBusy(false);
    }
    delete operationStatus;
    deleteResultModels();
    delete ui;
}

void MaterialQuantitiesDockWidget::setModel(Model* newModel)
{
    if (newModel && newModel == static_cast<Model*>(model)) {
        return;
    }
    clearResults();
    ui->informationWidget->hide();
    ui->detailedInformationWidget->hide();
    if (model) {
        disconnect(model, &Model::busyChanged, this, &MaterialQuantitiesDockWidget::modelBusyChanged);
    }
    readWhenIdle = false;
    model = qobject_cast<_ifc2x3::IFC2x3Model*>(newModel);
    ui->content->setEnabled(model != nullptr);
    ui->typeInputsTab->setModel(model);
    ui->dockTabs->setTabEnabled(ui->dockTabs->indexOf(ui->typeInputsTab), model != nullptr);
    if (model) {
        connect(model, &Model::busyChanged, this, &MaterialQuantitiesDockWidget::modelBusyChanged);
    }
    updateButtons();
    if (!model && newModel) {
        ui->informationWidget->setErrorMessage(
            tr("Material quantities is only available for IFC 2x3 models. Current model is a %1 model.")
                .arg(newModel->modelTypeName(), 0, QLatin1Char(' ')));
        ui->informationWidget->show();
    }
    if (!model) {
        return;
    }
    if (model == computedModel) {
        // Its results are being written: they show when the computation ends.
        showInformation(tr("Material quantities computing is running."));
        return;
    }
    updateResults();
}

void MaterialQuantitiesDockWidget::setSettings(const MaterialQuantitiesSettings& newSettings)
{
    settings = newSettings;
    // Which elements hold results, and why the others do not, depends on
    // the paths: read again when next shown.
    storedResults.clear();
    ui->typeInputsTab->setSettings(settings);
}

void MaterialQuantitiesDockWidget::showIncompleteTypes()
{
    ui->typeInputsTab->showOnlyIncomplete();
    ui->dockTabs->setCurrentWidget(ui->typeInputsTab);
}

void MaterialQuantitiesDockWidget::clearResults()
{
    ui->informationWidget->hide();
    ui->missingReasonsLabel->hide();
    missingReasonKinds.clear();
    rememberColumns();
    ui->detailedMaterialQuantitiesTableView->setModel(nullptr);
    ui->totalMaterialQuantitiesTreeView->setModel(nullptr);
    ui->totalQuantitiesChartView->setModel(nullptr);
    deleteResultModels();
    updateChartVisibility();
    updateButtons();
}

QString MaterialQuantitiesDockWidget::layoutKey(const char* name)
{
    return QStringLiteral("Tool/MaterialQuantities/") + QLatin1String(name);
}

void MaterialQuantitiesDockWidget::restoreLayout()
{
    const QSettings store;
    if (!ui->resultsSplitter->restoreState(store.value(layoutKey("resultsSplitter")).toByteArray())) {
        // Shares of the height, the table's the largest: the splitter takes
        // what exceeds its own height away by weight. Smaller figures would
        // be raised to the panes' minimums first, which evens them out.
        ui->resultsSplitter->setSizes({6200, 1500, 2300});
    }
    ui->showChartCheckBox->setChecked(store.value(layoutKey("showChart"), true).toBool());
    ui->logarithmicScaleCheckBox->setChecked(store.value(layoutKey("logarithmicChart"), false).toBool());
    ui->logarithmicScaleCheckBox->setEnabled(ui->showChartCheckBox->isChecked());
    ui->totalQuantitiesChartView->setLogarithmic(ui->logarithmicScaleCheckBox->isChecked());
    updateChartVisibility();
}

void MaterialQuantitiesDockWidget::rememberSplitterSizes()
{
    QSettings().setValue(layoutKey("resultsSplitter"), ui->resultsSplitter->saveState());
}

void MaterialQuantitiesDockWidget::showChart(bool shown)
{
    QSettings().setValue(layoutKey("showChart"), shown);
    ui->logarithmicScaleCheckBox->setEnabled(shown);
    updateChartVisibility();
}

void MaterialQuantitiesDockWidget::setLogarithmicChart(bool logarithmic)
{
    QSettings().setValue(layoutKey("logarithmicChart"), logarithmic);
    ui->totalQuantitiesChartView->setLogarithmic(logarithmic);
}

void MaterialQuantitiesDockWidget::updateChartVisibility()
{
    ui->chartScrollArea->setVisible(totalModel && ui->showChartCheckBox->isChecked());
}

QString MaterialQuantitiesDockWidget::exportUnavailableReason() const
{
    if (!model) {
        return tr("Open an IFC 2x3 model, then compute its material quantities to export them.");
    }
    if (readingJobs.value(model)) {
        return tr("The material quantities of the model are being read: export once they show.");
    }
    if (model->isBusy()) {
        return tr("The model is being computed, saved or exported: export once that ends.");
    }
    if (!totalModel) {
        return tr("The model holds no material quantities yet: compute them first.");
    }
    return {};
}

void MaterialQuantitiesDockWidget::updateButtons()
{
    const QString reason = exportUnavailableReason();
    for (QPushButton* button :
         {ui->exportPMDPushButton, ui->exportComponentsPushButton, ui->exportInventoryPushButton}) {
        button->setEnabled(reason.isEmpty());
        button->setToolTip(reason);
    }
    ui->computeQuantitiesPushButton->setEnabled(model && !operationStatus && !model->isBusy());
}

void MaterialQuantitiesDockWidget::rememberPathMap(_ifc2x3::IFC2x3Model* computed, const QMap<int, QString>& map)
{
    forgetWhenDestroyed(computed);
    quantitiesPropPathMaps.insert(computed, map);
}

void MaterialQuantitiesDockWidget::forgetWhenDestroyed(const _ifc2x3::IFC2x3Model* kept)
{
    if (quantitiesPropPathMaps.contains(kept) || storedResults.contains(kept)) {
        return; // already watched
    }
    connect(kept, &QObject::destroyed, this, [this, kept] {
        quantitiesPropPathMaps.remove(kept);
        storedResults.remove(kept);
    });
}

void MaterialQuantitiesDockWidget::deleteResultModels()
{
    if (totalSortModel) {
        totalSortModel->setSourceModel(nullptr);
        delete totalSortModel;
        delete totalModel;
    }
    if (detailedSortModel) {
        detailedSortModel->setSourceModel(nullptr);
        delete detailedSortModel;
        delete detailedModel;
    }
    totalModel = nullptr;
    totalSortModel = nullptr;
    detailedModel = nullptr;
    detailedSortModel = nullptr;
}

void MaterialQuantitiesDockWidget::updateResults()
{
    ui->informationWidget->hide();
    ui->detailedInformationWidget->hide();
    const StoredResults stored = storedResults.value(model);
    if (!stored.isCurrentFor(model)) {
        readStoredResults();
        return;
    }
    if (!stored.arePresent()) {
        showInformation(tr("No material quantities information on current model."));
        return;
    }

    totalModel = new MaterialTotalQuantitiesModel();
    totalModel->fillFromModel(model, settings);
    totalModel->setMassUnit(massUnits->unit());
    totalSortModel = new MaterialTotalQuantitiesSortProxyModel();
    totalSortModel->setSourceModel(totalModel);
    ui->totalMaterialQuantitiesTreeView->setModel(totalSortModel);
    // The chart orders its bars by mass, whatever the tree's order.
    ui->totalQuantitiesChartView->setMassUnit(massUnits->unit());
    ui->totalQuantitiesChartView->setModel(totalModel);
    updateChartVisibility();

    detailedModel = new MaterialQuantitiesProxyModel(settings.totalQuantitiesPropertySetName);
    detailedModel->setQuantitiesPropPathMap(quantitiesPropPathMaps.value(model));
    quantityPathReader = std::make_unique<MaterialQuantitiesCalculator>(model, settings);
    detailedModel->setQuantityPathReader(
        [reader = quantityPathReader.get()](const QModelIndex& source) { return reader->getQuantityPath(source); });
    detailedModel->setSourceModel(model);
    detailedModel->setMassUnit(massUnits->unit());
    connect(detailedModel, &MaterialQuantitiesProxyModel::hostSelectionChanged, this,
            &MaterialQuantitiesDockWidget::selectHostSelection);
    detailedSortModel = new MaterialQuantitiesSortProxyModel();
    detailedSortModel->setSourceModel(detailedModel);
    detailedSortModel->setSortRole(Qt::EditRole);
    detailedSortModel->setVerificationMode(ui->debugModeCheckBox->isChecked());

    QTableView* table = ui->detailedMaterialQuantitiesTableView;
    table->setModel(detailedSortModel);
    QItemSelectionModel* previous = table->selectionModel();
    table->setSelectionModel(detailedSortModel->selectionModel());
    // The view made its own selection model with setModel; it never deletes it.
    if (previous != detailedSortModel->selectionModel()) {
        delete previous;
    }
    restoreColumns();
    detailedModel->followHostSelection();
    showMissingQuantities(stored.missingReasons());
    updateButtons();
}

void MaterialQuantitiesDockWidget::readStoredResults()
{
    if (readingJobs.value(model)) {
        showInformation(tr("Reading the material quantities of the model..."));
        return;
    }
    if (model->isBusy()) {
        // Saved or exported meanwhile: read once that ends.
        readWhenIdle = true;
        showInformation(tr("The material quantities show once the operation on the model ends."));
        return;
    }
    _ifc2x3::IFC2x3Model* read = model;
    const MaterialQuantitiesSettings readSettings = settings;
    // Handed over through a promise: the standard library's own
    // synchronisation, which race checkers see, unlike Qt's.
    auto promise = std::make_shared<std::promise<StoredResults>>();
    std::shared_future<StoredResults> results = promise->get_future().share();
    auto* job = new ModelJob(
        read, tr("Reading material quantities"),
        [read, readSettings, promise](QString*) {
            promise->set_value(StoredResults::read(read, readSettings));
            return true;
        },
        this);
    connect(job, &ModelJob::finished, this, [this, job, read, readSettings, results] {
        job->deleteLater();
        readingJobs.remove(read);
        storedResultsRead(read, readSettings, results.get());
    });
    if (!job->start()) {
        delete job;
        return;
    }
    readingJobs.insert(read, job);
    showInformation(tr("Reading the material quantities of the model..."));
    updateButtons();
}

void MaterialQuantitiesDockWidget::storedResultsRead(_ifc2x3::IFC2x3Model* read,
                                                     const MaterialQuantitiesSettings& readSettings,
                                                     const StoredResults& results)
{
    // Read with paths changed since: not kept, read again when shown.
    if (readSettings == settings) {
        forgetWhenDestroyed(read);
        storedResults.insert(read, results);
    }
    if (read == model && read != computedModel) {
        clearResults();
        updateResults();
    }
}

void MaterialQuantitiesDockWidget::modelBusyChanged(bool busy)
{
    updateButtons();
    if (!busy && readWhenIdle) {
        readWhenIdle = false;
        clearResults();
        updateResults();
    }
}

void MaterialQuantitiesDockWidget::selectHostSelection()
{
    const QItemSelection rows = detailedSortModel->mapSelectionFromSource(
        detailedModel->mapSelectionFromSource(model->selectionModel()->selection()));
    QItemSelectionModel* selection = detailedSortModel->selectionModel();
    selection->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.isEmpty()) {
        // The table scrolls to its current index.
        selection->setCurrentIndex(rows.first().topLeft(), QItemSelectionModel::NoUpdate);
    }
}

void MaterialQuantitiesDockWidget::showMassesIn(MassDisplayUnit unit)
{
    ui->totalQuantitiesChartView->setMassUnit(unit);
    if (totalModel) {
        totalModel->setMassUnit(unit);
    }
    if (detailedModel) {
        detailedModel->setMassUnit(unit);
    }
}

bool MaterialQuantitiesDockWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (watched == ui->detailedMaterialQuantitiesTableView) {
            detailedColumns.fitWhenShown(*ui->detailedMaterialQuantitiesTableView->horizontalHeader());
        } else if (watched == ui->totalMaterialQuantitiesTreeView) {
            totalColumns.fitWhenShown(*ui->totalMaterialQuantitiesTreeView->header());
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void MaterialQuantitiesDockWidget::rememberColumns()
{
    detailedColumns.remember(*ui->detailedMaterialQuantitiesTableView->horizontalHeader());
    totalColumns.remember(*ui->totalMaterialQuantitiesTreeView->header());
}

void MaterialQuantitiesDockWidget::restoreColumns()
{
    detailedColumns.restore(*ui->detailedMaterialQuantitiesTableView->horizontalHeader());
    totalColumns.restore(*ui->totalMaterialQuantitiesTreeView->header());
}

void MaterialQuantitiesDockWidget::showMissingQuantities(const StoredResults::MissingReasons& reasons)
{
    const int missing = reasons.size();
    if (missing <= 0) {
        return;
    }
    const QString text = missing == 1 ? tr("%1 building element has no material quantity")
                                      : tr("%1 building elements have no material quantity");
    ui->detailedInformationWidget->setWarningMessage(text.arg(missing));
    ui->detailedInformationWidget->show();
    showMissingReasons(reasons);
}

void MaterialQuantitiesDockWidget::showMissingReasons(
    const QHash<int, MaterialQuantitiesCalculator::MissingReason>& reasons)
{
    QMap<int, int> counts;
    missingReasonKinds.clear();
    for (auto it = reasons.constBegin(); it != reasons.constEnd(); ++it) {
        ++counts[it->kind];
        missingReasonKinds.insert(it.key(), it->kind);
    }
    detailedModel->setMissingReasons(MaterialQuantitiesCalculator::reasonTexts(reasons));
    QStringList lines;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        const auto kind = static_cast<MaterialQuantitiesCalculator::MissingReason::Kind>(it.key());
        lines.append(QStringLiteral("<a href=\"reason:%1\">%2</a>")
                         .arg(it.key())
                         .arg(MaterialQuantitiesCalculator::reasonCountText(kind, it.value()).toHtmlEscaped()));
    }
    lines.append(QStringLiteral("<a href=\"reason:all\">%1</a>").arg(tr("Show all elements").toHtmlEscaped()));
    lines.append(QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(QLatin1String(typeInputsLink), tr("Fill in the inputs of the types").toHtmlEscaped()));
    // One wrapped paragraph: a line per link took the table's room.
    ui->missingReasonsLabel->setText(lines.join(QStringLiteral(" &middot; ")));
    ui->missingReasonsLabel->show();
}

void MaterialQuantitiesDockWidget::showOnlyReason(const QString& link)
{
    if (link == QLatin1String(typeInputsLink)) {
        showIncompleteTypes();
        return;
    }
    if (!detailedSortModel || !link.startsWith(QLatin1String("reason:"))) {
        return;
    }
    bool isKind = false;
    const int kind = link.mid(7).toInt(&isKind);
    QSet<int> rows;
    QItemSelection hostSelection;
    if (isKind) {
        for (auto it = missingReasonKinds.constBegin(); it != missingReasonKinds.constEnd(); ++it) {
            if (it.value() == kind) {
                const QModelIndex element = model->index(it.key(), 0);
                rows.insert(detailedModel->mapFromSource(element).row());
                hostSelection.select(element, element);
            }
        }
        // The host's table shows the same elements selected.
        model->selectionModel()->select(hostSelection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    detailedSortModel->setShownSourceRows(rows);
}

void MaterialQuantitiesDockWidget::showInformation(const QString& message)
{
    ui->informationWidget->setInformationMessage(message);
    ui->informationWidget->show();
}

void MaterialQuantitiesDockWidget::showWarning(const QString& message)
{
    QMessageBox::warning(this, windowTitle(), message);
}

void MaterialQuantitiesDockWidget::on_computeQuantitiesPushButton_clicked()
{
    // One computation at a time: two must never write into a model at once.
    if (!model || operationStatus || model->isBusy()) {
        return;
    }
    clearResults();
    ui->detailedInformationWidget->hide();
    showInformation(tr("Material quantities computing is running."));
    // The results are rewritten as a whole, which Edit > Undo does not take
    // back: the inputs edited so far are kept as they are.
    ModelUndoStack::forget(model);
    const StoredResults before = storedResults.value(model);
    resultsBeforeComputation = before.isCurrentFor(model) ? before : StoredResults();

    itemsNotShown = 0;
    itemsUpdatePending = false;
    auto* thread = new MaterialQuantitiesCalculatorThread(model, settings, this);
    // Counted on the worker thread, and shown about once per mille of the
    // pass: an event per element woke this thread a hundred thousand times
    // and slowed the computation itself.
    connect(
        thread, &MaterialQuantitiesCalculatorThread::calculatedItem, this,
        [this] {
            if (itemsNotShown.fetch_add(1) + 1 >= itemsPerUpdate && !itemsUpdatePending.exchange(true)) {
                QMetaObject::invokeMethod(this, &MaterialQuantitiesDockWidget::calculatedItem, Qt::QueuedConnection);
            }
        },
        Qt::DirectConnection);
    connect(thread, &MaterialQuantitiesCalculatorThread::calculationFailed, this,
            &MaterialQuantitiesDockWidget::calculationFailed);
    connect(thread, &MaterialQuantitiesCalculatorThread::calculationSucceeded, this,
            &MaterialQuantitiesDockWidget::calculationSucceeded);
    connect(thread, &MaterialQuantitiesCalculatorThread::calculationInterrupted, this,
            &MaterialQuantitiesDockWidget::calculationInterrupted);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);

    const qint64 steps = MaterialQuantitiesCalculator::progressSteps(model);
    operationStatus = new OperationStatus(tr("Computing material quantities..."), steps, true);
    itemsPerUpdate = static_cast<int>(std::max<qint64>(1, steps / 1000));
    connect(operationStatus, &OperationStatus::cancelRequested, thread, &QThread::requestInterruption);
    calculatorThread = thread;
    computedModel = model;
    // Neither saved, exported nor closed while half rewritten.
    model->setBusy(true);
    thread->start(QThread::InheritPriority);
}

void MaterialQuantitiesDockWidget::calculatedItem()
{
    itemsUpdatePending = false;
    const int items = itemsNotShown.exchange(0);
    if (operationStatus && items > 0) {
        operationStatus->addStep(items);
    }
}

void MaterialQuantitiesDockWidget::restoreResultsBeforeComputation()
{
    if (!computedModel) {
        return;
    }
    resultsBeforeComputation.stillHoldsFor(computedModel);
    if (resultsBeforeComputation.isCurrentFor(computedModel)) {
        storedResults.insert(computedModel, resultsBeforeComputation);
    }
}

bool MaterialQuantitiesDockWidget::endComputation()
{
    calculatedItem();
    delete operationStatus;
    operationStatus = nullptr;
    const bool shown = model && computedModel == model;
    if (computedModel) {
        computedModel->setBusy(false);
    }
    updateButtons();
    if (shown) {
        ui->typeInputsTab->refresh();
    }
    computedModel = nullptr;
    return shown;
}

void MaterialQuantitiesDockWidget::calculationFailed()
{
    const QString details = failureDetails();
    restoreResultsBeforeComputation();
    if (!endComputation()) {
        return;
    }
    // The model is as it was: its earlier results, if any, are shown again.
    clearResults();
    updateResults();
    const QString text =
        tr("<html><head/><body><p>Material quantities computation fails. Look at the following points :</p><ul><li>"
           "functional unit (volume, area, length) property exists [%1] </li><li>mass per functional property exists "
           "[%2]</li><li>base quantity linked to the functional unit exists</li></ul><p>Property paths could be "
           "changed in <span style=\" font-weight:600;\">Settings/Material quantities</span> menu.</p></body></html>")
            .arg(settings.functionalUnitPropertyPath, settings.massPerFunctionalUnitPropertyPath);
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box.setInformativeText(tr("In this application the property paths are under Tools > Settings... > Material "
                              "quantities. The model was left as it was before the computation."));
    box.setDetailedText(details);
    box.exec();
}

QString MaterialQuantitiesDockWidget::failureDetails() const
{
    if (!calculatorThread) {
        return {};
    }
    const MaterialQuantitiesCalculator::InputCounts counts = calculatorThread->inputCounts();
    const auto line = [&](const QString& input, const QString& path, int found) {
        return tr("%1 [%2]: found on %3 of %4 building elements").arg(input, path).arg(found).arg(counts.elements);
    };
    QStringList quantityPaths;
    for (const QStringList* paths : {&settings.volumeQuantitiesPropPaths, &settings.areaQuantitiesPropPaths,
                                     &settings.lengthQuantitiesPropPaths}) {
        quantityPaths += *paths;
    }
    return QStringList{
        line(tr("Functional unit"), settings.functionalUnitPropertyPath, counts.functionalUnit),
        line(tr("Mass per functional unit"), settings.massPerFunctionalUnitPropertyPath, counts.massPerFunctionalUnit),
        line(tr("Material composition"), settings.materialCompositionPropertyPath, counts.materialComposition),
        line(tr("Base quantity of the functional unit"), quantityPaths.join(QStringLiteral(", ")),
             counts.functionalUnitValue)}
        .join(QLatin1Char('\n'));
}

void MaterialQuantitiesDockWidget::calculationSucceeded(QMap<int, QString> quantitiesPropPathMap)
{
    if (computedModel) {
        rememberPathMap(computedModel, quantitiesPropPathMap);
        if (calculatorThread) {
            storedResults.insert(computedModel, calculatorThread->storedResults());
        }
    }
    if (!endComputation()) {
        // The results are in that model and show when it is active again.
        return;
    }
    clearResults();
    updateResults();
}

void MaterialQuantitiesDockWidget::calculationInterrupted()
{
    restoreResultsBeforeComputation();
    if (!endComputation()) {
        return;
    }
    // The model is as it was: its earlier results, if any, are shown again.
    clearResults();
    updateResults();
    showInformation(tr("Material quantities computation was cancelled."));
}

void MaterialQuantitiesDockWidget::on_debugModeCheckBox_stateChanged(int state)
{
    if (detailedSortModel) {
        detailedSortModel->setVerificationMode(state == Qt::Checked);
    }
}

QString MaterialQuantitiesDockWidget::askExportPath(const QString& key, const QString& suffix)
{
    return QtTools::getSaveFileName(key, this, tr("Excel output file"),
                                    QuantitiesWorkbookExport::defaultExportFilePath(model, key, suffix),
                                    tr("Excel files (*.xlsx)"));
}

std::shared_ptr<QStandardItemModel> MaterialQuantitiesDockWidget::copyOfTotals() const
{
    // A few rows: copied here, where the tree reads them, so that the worker
    // never reads a model that a view reads or sorts meanwhile. Items hold
    // the raw value, which the workbook writes.
    const int rows = totalSortModel->rowCount();
    const int columns = totalSortModel->columnCount();
    auto copy = std::make_shared<QStandardItemModel>(rows, columns);
    for (int column = 0; column < columns; ++column) {
        // The workbook heads its columns with the titles alone: its masses
        // are in kilograms, whatever unit the tree shows.
        const QVariant title = totalSortModel->headerData(column, Qt::Horizontal, Qt::EditRole);
        copy->setHeaderData(column, Qt::Horizontal,
                            title.isValid() ? title : totalSortModel->headerData(column, Qt::Horizontal));
        for (int row = 0; row < rows; ++row) {
            copy->setData(copy->index(row, column), totalSortModel->index(row, column).data(Qt::EditRole));
        }
    }
    return copy;
}

void MaterialQuantitiesDockWidget::on_exportPMDPushButton_clicked()
{
    if (!exportUnavailableReason().isEmpty()) {
        return;
    }
    const QString path = askExportPath(QuantitiesWorkbookExport::pmdSettingsKey(), QStringLiteral("PMD"));
    if (path.isEmpty() || !exportUnavailableReason().isEmpty()) {
        return;
    }
    _ifc2x3::IFC2x3Model* exported = model;
    const MaterialQuantitiesSettings exportSettings = settings;
    const QMap<int, QString> pathMap = quantitiesPropPathMaps.value(model);
    const std::shared_ptr<QStandardItemModel> totals = copyOfTotals();
    // The details are read anew by a table of the worker's own: the one the
    // view shows keeps its caches to itself.
    startExport(path, [exported, exportSettings, pathMap, totals, path](QString* error) {
        MaterialQuantitiesCalculator calculator(exported, exportSettings);
        MaterialQuantitiesProxyModel details(exportSettings.totalQuantitiesPropertySetName);
        details.setQuantitiesPropPathMap(pathMap);
        details.setQuantityPathReader(
            [&calculator](const QModelIndex& source) { return calculator.getQuantityPath(source); });
        details.setSourceModel(exported);
        details.setMissingReasons(MaterialQuantitiesCalculator::reasonTexts(calculator.getMissingReasons()));
        return QuantitiesWorkbookExport::exportQuantities(totals.get(), &details, path, error);
    });
}

void MaterialQuantitiesDockWidget::on_exportComponentsPushButton_clicked()
{
    if (!exportUnavailableReason().isEmpty()) {
        return;
    }
    const QString path = askExportPath(QuantitiesWorkbookExport::componentsSettingsKey(), QStringLiteral("par_type"));
    if (path.isEmpty() || !exportUnavailableReason().isEmpty()) {
        return;
    }
    _ifc2x3::IFC2x3Model* exported = model;
    startExport(path, [exported, path](QString* error) {
        ModelComponentsExcelExport exporter;
        // Properties missing on some types still give a workbook; only a file
        // not written is a failure the user must hear of.
        if (!exporter.exportComponents(exported, path) && !exporter.isWritten()) {
            *error = exporter.getErrorText();
            return false;
        }
        return true;
    });
}

void MaterialQuantitiesDockWidget::on_exportInventoryPushButton_clicked()
{
    if (!exportUnavailableReason().isEmpty()) {
        return;
    }
    const QString path = askExportPath(InventoryWorkbookExport::settingsKey(), QStringLiteral("Inventaire"));
    if (path.isEmpty() || !exportUnavailableReason().isEmpty()) {
        return;
    }
    _ifc2x3::IFC2x3Model* exported = model;
    const MaterialQuantitiesSettings exportSettings = settings;
    // The library as it is when asked, whatever the user edits meanwhile.
    QSettings store;
    const MaterialLibrary library = MaterialLibrary::withSettings(store);
    startExport(path, [exported, exportSettings, library, path](QString* error) {
        return InventoryWorkbookExport::exportInventory(MaterialInventory::read(exported, exportSettings), library,
                                                        path, error);
    });
}

void MaterialQuantitiesDockWidget::startExport(const QString& path, const std::function<bool(QString*)>& work)
{
    auto* job = new ModelJob(model, tr("Exporting %1").arg(QFileInfo(path).fileName()), work, this);
    connect(job, &ModelJob::finished, this, [this, job, path](bool written, const QString& error) {
        job->deleteLater();
        exportFinished(path, written, error);
    });
    exportJob = job;
    if (!job->start()) {
        delete job;
    }
}

void MaterialQuantitiesDockWidget::exportFinished(const QString& path, bool written, const QString& error)
{
    if (!written) {
        showWarning(error.isEmpty() ? tr("%1 could not be written.").arg(path) : error);
        return;
    }
    const QString text = tr("Exported %1").arg(QFileInfo(path).fileName());
    if (QStatusBar* statusBar = FileWrittenNotice::statusBarOf(this)) {
        FileWrittenNotice::showIn(statusBar, text, path);
    } else {
        showInformation(text);
    }
}

} // namespace Orvane

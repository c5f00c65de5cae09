#include "MaterialQuantitiesDockWidget.h"

#include "ui_MaterialQuantitiesDockWidget.h"

#include "TypeInputsWidget.h"

#include "Orvane/Widgets/ModelUndoStack.h"

#include "DisplayDoubleDelegate.h"
#include "MassUnitActions.h"
#include "MaterialQuantitiesCalculator.h"
#include "MaterialQuantitiesCalculatorThread.h"
#include "MaterialQuantitiesChartView.h"
#include "MaterialQuantitiesProxyModel.h"
#include "MaterialQuantitiesSortProxyModel.h"
#include "MaterialTotalQuantitiesModel.h"
#include "MaterialTotalQuantitiesSortProxyModel.h"
#include "ModelComponentsExcelExport.h"
#include "QuantitiesWorkbookExport.h"

#include "Orvane/QtTools.h"
#include "Orvane/Widgets/OperationStatus.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QSortFilterProxyModel>

#include <QMainWindow>
#include <QStatusBar>

#include <algorithm>

namespace Orvane {

namespace {
const char* const typeInputsLink = "types:incomplete";
}

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

    totalQuantitiesChartView = new MaterialQuantitiesChartView(ui->content);
    totalQuantitiesChartView->setObjectName(QStringLiteral("totalQuantitiesChartView"));
    totalQuantitiesChartView->hide();
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(ui->totalMaterialQuantitiesTreeView) + 1,
                                       totalQuantitiesChartView);
}

MaterialQuantitiesDockWidget::~MaterialQuantitiesDockWidget()
{
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
        disconnect(model, &Model::busyChanged, this, &MaterialQuantitiesDockWidget::updateButtons);
    }
    model = qobject_cast<_ifc2x3::IFC2x3Model*>(newModel);
    ui->content->setEnabled(model != nullptr);
    ui->computeQuantitiesPushButton->setEnabled(model && !operationStatus);
    ui->typeInputsTab->setModel(model);
    ui->dockTabs->setTabEnabled(ui->dockTabs->indexOf(ui->typeInputsTab), model != nullptr);
    if (model) {
        connect(model, &Model::busyChanged, this, &MaterialQuantitiesDockWidget::updateButtons);
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
    totalQuantitiesChartView->setModel(nullptr);
    totalQuantitiesChartView->hide();
    deleteResultModels();
    updateButtons();
}

void MaterialQuantitiesDockWidget::updateButtons()
{
    const bool busy = !model || model->isBusy();
    ui->exportPMDPushButton->setEnabled(!busy && totalSortModel);
    ui->exportComponentsPushButton->setEnabled(!busy);
}

void MaterialQuantitiesDockWidget::rememberPathMap(_ifc2x3::IFC2x3Model* computed, const QMap<int, QString>& map)
{
    if (!quantitiesPropPathMaps.contains(computed)) {
        // Forgotten with the model: another one may come at its address.
        connect(computed, &QObject::destroyed, this, [this, computed] { quantitiesPropPathMaps.remove(computed); });
    }
    quantitiesPropPathMaps.insert(computed, map);
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
    const auto& projects = model->dataSet()->getAllIfcProject();
    const QModelIndex project = projects.empty() ? QModelIndex() : model->index(projects.front().get());
    if (!project.isValid() ||
        !model->getProperty(project, QStringLiteral("Properties/") + settings.totalQuantitiesPropertySetName)) {
        showInformation(tr("No material quantities information on current model."));
        return;
    }

    totalModel = new MaterialTotalQuantitiesModel();
    totalModel->fillFromModel(model, settings);
    totalModel->setMassUnit(massUnits->unit());
    totalSortModel = new MaterialTotalQuantitiesSortProxyModel();
    totalSortModel->setSourceModel(totalModel);
    ui->totalMaterialQuantitiesTreeView->setModel(totalSortModel);
    totalQuantitiesChartView->setModel(totalSortModel);
    totalQuantitiesChartView->show();

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
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    restoreColumns();

    detailedModel->followHostSelection();
    showMissingQuantities();
    updateButtons();
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
    if (totalModel) {
        totalModel->setMassUnit(unit);
    }
    if (detailedModel) {
        detailedModel->setMassUnit(unit);
    }
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

void MaterialQuantitiesDockWidget::showMissingQuantities()
{
    const QHash<int, MaterialQuantitiesCalculator::MissingReason> reasons =
        MaterialQuantitiesCalculator(model, settings).getMissingReasons();
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
    ui->missingReasonsLabel->setText(lines.join(QStringLiteral("<br/>")));
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
    ui->computeQuantitiesPushButton->setEnabled(false);
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

bool MaterialQuantitiesDockWidget::endComputation()
{
    calculatedItem();
    delete operationStatus;
    operationStatus = nullptr;
    ui->computeQuantitiesPushButton->setEnabled(true);
    const bool shown = model && computedModel == model;
    if (computedModel) {
        computedModel->setBusy(false);
    }
    if (shown) {
        ui->typeInputsTab->refresh();
    }
    computedModel = nullptr;
    return shown;
}

void MaterialQuantitiesDockWidget::calculationFailed()
{
    const QString details = failureDetails();
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

void MaterialQuantitiesDockWidget::on_exportPMDPushButton_clicked()
{
    if (!totalSortModel || !detailedModel || model->isBusy()) {
        return;
    }
    const QString key = QuantitiesWorkbookExport::pmdSettingsKey();
    const QString path = QtTools::getSaveFileName(
        key, nullptr, tr("Excel output file"),
        QuantitiesWorkbookExport::defaultExportFilePath(model, key, QStringLiteral("PMD")), tr("Excel files (*.xlsx)"));
    if (path.isEmpty()) {
        return;
    }
    QString error;
    if (!QuantitiesWorkbookExport::exportQuantities(totalSortModel, detailedModel, path, &error)) {
        showWarning(error);
    }
}

void MaterialQuantitiesDockWidget::on_exportComponentsPushButton_clicked()
{
    if (!model || model->isBusy()) {
        return;
    }
    const QString key = QuantitiesWorkbookExport::componentsSettingsKey();
    const QString path = QtTools::getSaveFileName(
        key, nullptr, tr("Excel output file"),
        QuantitiesWorkbookExport::defaultExportFilePath(model, key, QStringLiteral("par_type")),
        tr("Excel files (*.xlsx)"));
    if (path.isEmpty()) {
        return;
    }
    ModelComponentsExcelExport exporter;
    // Properties missing on some types still give a workbook; only a file
    // not written is a failure the user must hear of.
    if (!exporter.exportComponents(model, path) && !exporter.isWritten()) {
        showWarning(exporter.getErrorText());
    }
}

} // namespace Orvane

#include "TypeInputsWidget.h"
#include "ui_TypeInputsWidget.h"

#include "TypeInputsDelegate.h"
#include "TypeInputsFilterModel.h"
#include "TypeInputsModel.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialLibrary.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/ModelUndoStack.h"

#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"

#include "OrvaneWidgets/QtTools.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QSettings>
#include <QToolTip>

namespace Orvane {

namespace {
/// Where the folder of the last type inputs workbook is remembered.
const QString exportKey = QStringLiteral("MaterialQuantities/TypeInputs");
} // namespace

TypeInputsWidget::TypeInputsWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TypeInputsWidget>()), inputs(new TypeInputsModel(this)),
      filter(new TypeInputsFilterModel(this))
{
    ui->setupUi(this);
    filter->setSourceModel(inputs);
    ui->typeInputsTableView->setModel(filter);
    ui->typeInputsTableView->setItemDelegate(new TypeInputsDelegate(this));
    ui->typeInputsTableView->sortByColumn(TypeInputsModel::NameColumn, Qt::AscendingOrder);
    ui->typeInputsTableView->horizontalHeader()->setSectionsMovable(true);
    ui->readOnlyInputsLabel->hide();
    connect(inputs, &TypeInputsModel::editRefused, this, &TypeInputsWidget::showRefusal);
    connect(inputs, &QAbstractItemModel::modelReset, this, [this] {
        updateSummary();
        updateReadOnlyNote();
        ui->typeInputsTableView->resizeColumnsToContents();
    });
    connect(inputs, &QAbstractItemModel::dataChanged, this, &TypeInputsWidget::updateSummary);
    ui->acceptSelectedSuggestionsToolButton->setDefaultAction(ui->acceptSelectedSuggestionsAction);
    ui->acceptAllSuggestionsToolButton->setDefaultAction(ui->acceptAllSuggestionsAction);
    ui->typeInputsTableView->addActions(
        {ui->acceptSelectedSuggestionsAction, ui->acceptColumnSuggestionsAction, ui->acceptAllSuggestionsAction});
    connect(ui->typeInputsTableView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TypeInputsWidget::updateSuggestionActions);
    updateEnabled();
}

TypeInputsWidget::~TypeInputsWidget() = default;

void TypeInputsWidget::setModel(_ifc2x3::IFC2x3Model* newModel)
{
    if (model) {
        disconnect(model, nullptr, this, nullptr);
    }
    model = newModel;
    if (model) {
        connect(model, &Model::busyChanged, this, &TypeInputsWidget::updateEnabled);
    }
    inputs->setUndoStack(ModelUndoStack::of(model));
    inputs->setModel(nullptr);
    updateEnabled();
    refresh();
}

void TypeInputsWidget::setSettings(const MaterialQuantitiesSettings& settings)
{
    // Read again with the new paths when next shown.
    const bool shown = isVisible();
    // The user's materials live beside the settings: read with them.
    QSettings store;
    inputs->setMaterialLibrary(MaterialLibrary::withSettings(store));
    inputs->blockSignals(!shown);
    inputs->setSettings(settings);
    inputs->blockSignals(false);
    refresh();
}

void TypeInputsWidget::showOnlyIncomplete()
{
    ui->onlyIncompleteCheckBox->setChecked(true);
}

void TypeInputsWidget::refresh()
{
    stale = true;
    reloadIfStale();
}

void TypeInputsWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reloadIfStale();
}

void TypeInputsWidget::reloadIfStale()
{
    if (!stale || !isVisible()) {
        return;
    }
    stale = false;
    inputs->setModel(model);
}

void TypeInputsWidget::showRefusal(const QString& text)
{
    QTableView* table = ui->typeInputsTableView;
    const QRect cell = table->visualRect(table->currentIndex());
    QToolTip::showText(table->viewport()->mapToGlobal(cell.bottomLeft()), text, table->viewport());
    emit message(text);
}

void TypeInputsWidget::updateEnabled()
{
    const bool editable = model && !model->isBusy();
    ui->typeInputsTableView->setEnabled(editable);
    ui->exportTypeInputsPushButton->setEnabled(editable);
    ui->importTypeInputsPushButton->setEnabled(editable);
    updateSuggestionActions();
}

void TypeInputsWidget::updateSuggestionActions()
{
    const bool editable = model && !model->isBusy();
    const QModelIndex current = ui->typeInputsTableView->currentIndex();
    const QString header = filter->headerData(current.column(), Qt::Horizontal).toString();
    ui->acceptSelectedSuggestionsAction->setEnabled(editable);
    ui->acceptAllSuggestionsAction->setEnabled(editable);
    ui->acceptColumnSuggestionsAction->setEnabled(editable && current.isValid());
    ui->acceptColumnSuggestionsAction->setText(current.isValid()
                                                   ? tr("Accept the suggested \"%1\" of every type").arg(header)
                                                   : tr("Accept the suggestions of this column for every type"));
}

QString TypeInputsWidget::acceptSelectedSuggestions()
{
    QMap<int, int> inputsByRow;
    for (const QModelIndex& selected : ui->typeInputsTableView->selectionModel()->selectedIndexes()) {
        const QModelIndex source = filter->mapToSource(selected);
        inputsByRow[source.row()] |= TypeInputsModel::suggestionInputOf(source.column());
    }
    return accept(inputsByRow);
}

QString TypeInputsWidget::acceptColumnSuggestions()
{
    const QModelIndex current = filter->mapToSource(ui->typeInputsTableView->currentIndex());
    QMap<int, int> inputsByRow;
    // The rows the filter shows: what the user sees is what is accepted.
    for (int row = 0; current.isValid() && row < filter->rowCount(); ++row) {
        inputsByRow.insert(filter->mapToSource(filter->index(row, 0)).row(),
                           TypeInputsModel::suggestionInputOf(current.column()));
    }
    return accept(inputsByRow);
}

QString TypeInputsWidget::acceptAllSuggestions()
{
    QMap<int, int> inputsByRow;
    for (int row = 0; row < inputs->rowCount(); ++row) {
        inputsByRow.insert(row, TypeInputsSuggestion::AllInputs);
    }
    return accept(inputsByRow);
}

QString TypeInputsWidget::accept(const QMap<int, int>& inputsByRow)
{
    if (!model || model->isBusy()) {
        return tr("The model is busy");
    }
    QString error;
    if (!inputs->acceptSuggestions(inputsByRow, &error)) {
        return error.isEmpty() ? tr("The suggestions could not be written into the model") : error;
    }
    emit message(tr("Suggested inputs written; Edit > Undo takes them back"));
    return {};
}

void TypeInputsWidget::on_acceptSelectedSuggestionsAction_triggered()
{
    if (const QString error = acceptSelectedSuggestions(); !error.isEmpty()) {
        showRefusal(error);
    }
}

void TypeInputsWidget::on_acceptColumnSuggestionsAction_triggered()
{
    if (const QString error = acceptColumnSuggestions(); !error.isEmpty()) {
        showRefusal(error);
    }
}

void TypeInputsWidget::on_acceptAllSuggestionsAction_triggered()
{
    if (const QString error = acceptAllSuggestions(); !error.isEmpty()) {
        showRefusal(error);
    }
}

void TypeInputsWidget::updateSummary()
{
    const int types = inputs->rowCount();
    int complete = 0;
    for (int row = 0; row < types; ++row) {
        complete += inputs->index(row, 0).data(TypeInputsModel::CompleteRole).toBool() ? 1 : 0;
    }
    ui->typeInputsSummaryLabel->setText(
        model ? tr("%n type(s) with building elements, %1 with every input", nullptr, types).arg(complete) : QString());
}

void TypeInputsWidget::updateReadOnlyNote()
{
    const QStringList reasons = inputs->readOnlyReasons();
    ui->readOnlyInputsLabel->setText(reasons.join(QLatin1Char('\n')));
    ui->readOnlyInputsLabel->setVisible(!reasons.isEmpty());
}

QString TypeInputsWidget::exportTo(const QString& path)
{
    reloadIfStale();
    QString error;
    if (!TypeInputsWorkbookExport::write(inputs->table(), inputs->suggestions(), path, &error)) {
        return error.isEmpty() ? tr("The type inputs could not be written to %1").arg(path) : error;
    }
    emit message(
        tr("Type inputs of %n type(s) written to %1", nullptr, inputs->rowCount()).arg(QFileInfo(path).fileName()));
    return {};
}

QString TypeInputsWidget::importFrom(const QString& path)
{
    reloadIfStale();
    const TypeInputsWorkbookImport::Result read = TypeInputsWorkbookImport::read(path, inputs->table());
    if (!read.isValid()) {
        return read.error;
    }
    if (read.changes.isEmpty()) {
        emit message(tr("%1 changes no input of the model").arg(QFileInfo(path).fileName()));
        return {};
    }
    QString error;
    const QString step = tr("Import type inputs from %1").arg(QFileInfo(path).fileName());
    if (!inputs->applyChanges(read.changes, step, &error)) {
        return error.isEmpty() ? tr("The inputs could not be written into the model") : error;
    }
    emit message(
        tr("Inputs of %n type(s) changed from %1", nullptr, read.changes.size()).arg(QFileInfo(path).fileName()));
    return {};
}

void TypeInputsWidget::on_exportTypeInputsPushButton_clicked()
{
    if (!model || model->isBusy()) {
        return;
    }
    const QString path = QtTools::getSaveFileName(
        exportKey, this, tr("Export type inputs"),
        QuantitiesWorkbookExport::defaultExportFilePath(model, exportKey, QStringLiteral("TypeInputs")),
        tr("Excel files (*.xlsx)"));
    if (path.isEmpty()) {
        return;
    }
    const QString error = exportTo(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Export type inputs"), error);
    }
}

void TypeInputsWidget::on_importTypeInputsPushButton_clicked()
{
    if (!model || model->isBusy()) {
        return;
    }
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Import type inputs"), QtTools::getLastOpenedPath(exportKey), tr("Excel files (*.xlsx)"));
    if (path.isEmpty()) {
        return;
    }
    QtTools::setLastOpenedPath(exportKey, path);
    const QString error = importFrom(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Import type inputs"),
                             tr("%1\n\nNothing was written into the model.").arg(error));
    }
}

void TypeInputsWidget::on_onlyIncompleteCheckBox_toggled(bool checked)
{
    filter->setOnlyIncomplete(checked);
}

void TypeInputsWidget::on_typeFilterLineEdit_textChanged(const QString& text)
{
    filter->setText(text);
}

} // namespace Orvane

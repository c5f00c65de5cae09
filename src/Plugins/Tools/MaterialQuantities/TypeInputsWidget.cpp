#include "TypeInputsWidget.h"
#include "ui_TypeInputsWidget.h"

#include "TypeInputsDelegate.h"
#include "TypeInputsFilterModel.h"
#include "TypeInputsModel.h"

#include "Orvane/Widgets/ModelUndoStack.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "QuantitiesWorkbookExport.h"
#include "TypeInputsWorkbookExport.h"
#include "TypeInputsWorkbookImport.h"

#include "Orvane/QtTools.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
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
    if (!TypeInputsWorkbookExport::write(inputs->table(), path, &error)) {
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

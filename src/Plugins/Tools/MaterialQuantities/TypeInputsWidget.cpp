#include "TypeInputsWidget.h"
#include "ui_TypeInputsWidget.h"

#include "TypeInputsDelegate.h"
#include "TypeInputsFilterModel.h"
#include "TypeInputsModel.h"

#include "Orvane/Widgets/ModelUndoStack.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QHeaderView>
#include <QToolTip>

namespace Orvane {

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

void TypeInputsWidget::on_onlyIncompleteCheckBox_toggled(bool checked)
{
    filter->setOnlyIncomplete(checked);
}

void TypeInputsWidget::on_typeFilterLineEdit_textChanged(const QString& text)
{
    filter->setText(text);
}

} // namespace Orvane

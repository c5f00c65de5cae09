#include "MaterialLibrarySettingsWidget.h"

#include "MaterialLibraryDelegate.h"
#include "MaterialLibraryModel.h"
#include "ui_MaterialLibrarySettingsWidget.h"

#include <QHeaderView>
#include <QLocale>

#include <algorithm>

namespace Orvane {

namespace {

/// Patterns and sources are long; the table stays readable without them in full.
constexpr int widestTextColumn = 220;

} // namespace

MaterialLibrarySettingsWidget::MaterialLibrarySettingsWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::MaterialLibrarySettingsWidget>()), model(new MaterialLibraryModel(this))
{
    ui->setupUi(this);
    ui->entriesView->setModel(model);
    ui->entriesView->setItemDelegate(new MaterialLibraryDelegate(ui->entriesView));
    ui->entriesView->horizontalHeader()->setStretchLastSection(true);

    connect(ui->testNameEdit, &QLineEdit::textChanged, this, &MaterialLibrarySettingsWidget::showTestMatch);
    connect(ui->entriesView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MaterialLibrarySettingsWidget::updateRemoveButton);
    const auto entriesChanged = [this] {
        showTestMatch();
        updateRemoveButton();
    };
    connect(model, &QAbstractItemModel::modelReset, this, entriesChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, entriesChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, entriesChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, entriesChanged);
}

MaterialLibrarySettingsWidget::~MaterialLibrarySettingsWidget() = default;

void MaterialLibrarySettingsWidget::setShipped(const MaterialLibrary& shipped, const QString& error)
{
    model->setShipped(shipped);
    ui->errorLabel->setText(error);
    ui->errorLabel->setVisible(!error.isEmpty());
    fitColumns();
}

void MaterialLibrarySettingsWidget::setUserEntries(const QList<MaterialLibrary::Entry>& entries)
{
    model->setUserEntries(entries);
}

QList<MaterialLibrary::Entry> MaterialLibrarySettingsWidget::userEntries() const
{
    return model->userEntries();
}

void MaterialLibrarySettingsWidget::fitColumns()
{
    ui->entriesView->resizeColumnsToContents();
    for (const int column : {MaterialLibraryModel::Patterns, MaterialLibraryModel::Source}) {
        ui->entriesView->setColumnWidth(column, std::min(ui->entriesView->columnWidth(column), widestTextColumn));
    }
}

void MaterialLibrarySettingsWidget::on_addButton_clicked()
{
    const QModelIndex name = model->index(model->addUserEntry(), MaterialLibraryModel::Name);
    ui->entriesView->setCurrentIndex(name);
    ui->entriesView->scrollTo(name);
    ui->entriesView->edit(name);
}

void MaterialLibrarySettingsWidget::on_removeButton_clicked()
{
    model->removeUserEntry(ui->entriesView->currentIndex().row());
}

void MaterialLibrarySettingsWidget::updateRemoveButton()
{
    const int row = ui->entriesView->currentIndex().row();
    ui->removeButton->setEnabled(model->isUsers(row));
    ui->removeButton->setToolTip(model->changesShipped(row) ? tr("Removes your change: the shipped entry comes back")
                                                            : tr("Removes your entry"));
}

void MaterialLibrarySettingsWidget::showTestMatch()
{
    const QString name = ui->testNameEdit->text();
    if (name.trimmed().isEmpty()) {
        ui->testResultLabel->clear();
        return;
    }
    const MaterialLibrary::Match match = model->library().match(name);
    ui->testResultLabel->setText(
        match ? tr("%1, %2 kg/m³").arg(match.description(), QLocale().toString(match.entry->density))
              : match.description());
}

} // namespace Orvane

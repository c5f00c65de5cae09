#include "MaterialQuantitiesSettingsWidget.h"

#include "QuantitiesPropPathListModel.h"
#include "ui_MaterialQuantitiesSettingsWidget.h"

namespace Orvane {

MaterialQuantitiesSettingsWidget::MaterialQuantitiesSettingsWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::MaterialQuantitiesSettingsWidget>())
{
    ui->setupUi(this);
    listModel = new QuantitiesPropPathListModel(this);
    ui->quantitiesPropPathListView->setModel(listModel);
    connect(listModel, &QAbstractItemModel::dataChanged, this,
            &MaterialQuantitiesSettingsWidget::popertyPathsListSettingsChanged);
    // Insertions, removals and moves change the list without dataChanged.
    const auto rowsChanged = [this] { popertyPathsListSettingsChanged(QModelIndex(), QModelIndex()); };
    connect(listModel, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(listModel, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(listModel, &QAbstractItemModel::rowsMoved, this, rowsChanged);
}

MaterialQuantitiesSettingsWidget::~MaterialQuantitiesSettingsWidget() = default;

void MaterialQuantitiesSettingsWidget::setSettings(const MaterialQuantitiesSettings& newSettings)
{
    settings = newSettings;
    ui->functionalUnitPropertyPathLineEdit->setText(settings.functionalUnitPropertyPath);
    ui->massPerFunctionalUnitPropertyPathLineEdit->setText(settings.massPerFunctionalUnitPropertyPath);
    ui->materialCompositionPropertyPathLineEdit->setText(settings.materialCompositionPropertyPath);
    ui->reusedMaterialsPropertyPathLineEdit->setText(settings.reusedMaterialsPropertyPath);
    // Paths differ at their end but are read from their start.
    for (QLineEdit* edit : {ui->functionalUnitPropertyPathLineEdit, ui->massPerFunctionalUnitPropertyPathLineEdit,
                            ui->materialCompositionPropertyPathLineEdit, ui->reusedMaterialsPropertyPathLineEdit}) {
        edit->setCursorPosition(0);
    }
    on_uniteFonctionnelleComboBox_currentIndexChanged(currentUnitIndex);
}

void MaterialQuantitiesSettingsWidget::on_functionalUnitPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.functionalUnitPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_massPerFunctionalUnitPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.massPerFunctionalUnitPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_materialCompositionPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.materialCompositionPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_reusedMaterialsPropertyPathLineEdit_textChanged(const QString& text)
{
    settings.reusedMaterialsPropertyPath = text;
}

void MaterialQuantitiesSettingsWidget::on_uniteFonctionnelleComboBox_currentIndexChanged(int index)
{
    if (index >= 0) {
        currentUnitIndex = index;
    }
    const QStringList* paths = unitPaths(index);
    if (paths && listModel && listModel->getPropertyPaths() != *paths) {
        listModel->setPropertyPaths(*paths);
    }
}

void MaterialQuantitiesSettingsWidget::popertyPathsListSettingsChanged(const QModelIndex&, const QModelIndex&,
                                                                       const QVector<int>&)
{
    if (QStringList* paths = unitPaths(ui->uniteFonctionnelleComboBox->currentIndex())) {
        *paths = listModel->getPropertyPaths();
    }
}

QStringList* MaterialQuantitiesSettingsWidget::unitPaths(int unitIndex)
{
    switch (unitIndex) {
    case 0:
        return &settings.lengthQuantitiesPropPaths;
    case 1:
        return &settings.areaQuantitiesPropPaths;
    case 2:
        return &settings.volumeQuantitiesPropPaths;
    default:
        return nullptr;
    }
}

} // namespace Orvane

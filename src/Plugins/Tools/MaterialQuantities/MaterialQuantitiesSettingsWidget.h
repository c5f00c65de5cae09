#pragma once

#include "MaterialQuantitiesSettings.h"

#include <QModelIndex>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Orvane {

namespace Ui {
class MaterialQuantitiesSettingsWidget;
}

class QuantitiesPropPathListModel;

/// Edits a copy of the settings: the four property paths in line edits, and
/// the base-quantity paths of the unit chosen in the combo box (0 length,
/// 1 area, 2 volume) in an ordered list.
class MaterialQuantitiesSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MaterialQuantitiesSettingsWidget(QWidget* parent = nullptr);
    ~MaterialQuantitiesSettingsWidget() override;

    const MaterialQuantitiesSettings& getSettings() const { return settings; }
    /// Edits a copy of newSettings from now on: the line edits show its
    /// paths and the list the paths of the unit last chosen.
    void setSettings(const MaterialQuantitiesSettings& newSettings);

protected slots:
    void on_functionalUnitPropertyPathLineEdit_textChanged(const QString& text);
    void on_massPerFunctionalUnitPropertyPathLineEdit_textChanged(const QString& text);
    void on_materialCompositionPropertyPathLineEdit_textChanged(const QString& text);
    void on_reusedMaterialsPropertyPathLineEdit_textChanged(const QString& text);
    void on_uniteFonctionnelleComboBox_currentIndexChanged(int index);
    /// Copies the list back into the settings; the arguments are not used.
    void popertyPathsListSettingsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                         const QVector<int>& roles = QVector<int>());

private:
    QStringList* unitPaths(int unitIndex);

    std::unique_ptr<Ui::MaterialQuantitiesSettingsWidget> ui;
    MaterialQuantitiesSettings settings;
    QuantitiesPropPathListModel* listModel = nullptr;
    int currentUnitIndex = 0;
};

} // namespace Orvane

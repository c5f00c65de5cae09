#pragma once

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QModelIndex>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace Orvane {

namespace Ui {
class MaterialQuantitiesSettingsWidget;
}
namespace _ifc2x3 {
class IFC2x3Model;
}

class Model;
class PropertyPathCounter;
class QuantitiesPropPathListModel;

/// Edits a copy of the settings: the four property paths in line edits, and
/// the base-quantity paths of the unit chosen in the combo box (0 length,
/// 1 area, 2 volume) in an ordered list.
///
/// Given the host's active model, paths are picked from the property tree of
/// its selected element, and each path shows on how many of its building
/// elements it resolves; a path found on none is marked with a warning.
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
    /// The model to pick paths from and count them on; null for none. A
    /// model other than an IFC 2x3 one counts as none.
    void setModel(Model* model);

    /// How long after the last edit of a path it is looked for in the model.
    static constexpr int resolutionDelayMs = 300;

protected:
    void showEvent(QShowEvent* event) override;

protected slots:
    void on_functionalUnitPropertyPathLineEdit_textChanged(const QString& text);
    void on_massPerFunctionalUnitPropertyPathLineEdit_textChanged(const QString& text);
    void on_materialCompositionPropertyPathLineEdit_textChanged(const QString& text);
    void on_reusedMaterialsPropertyPathLineEdit_textChanged(const QString& text);
    void on_uniteFonctionnelleComboBox_currentIndexChanged(int index);
    void on_restoreDefaultsButton_clicked();
    /// Copies the list back into the settings; the arguments are not used.
    void popertyPathsListSettingsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                         const QVector<int>& roles = QVector<int>());

private:
    /// A path line edit with its pick button, the label telling where the
    /// path resolves and the warning shown in the edit when nowhere.
    struct PathField
    {
        QLineEdit* edit = nullptr;
        QToolButton* pickButton = nullptr;
        QLabel* resolutionLabel = nullptr;
        QAction* warning = nullptr;
    };

    void setUpPathFields();
    QStringList* unitPaths(int unitIndex);
    void pathEdited();

    QModelIndex selectedElement() const;
    void updatePickButtons();
    /// The path picked from the selected element, starting at current;
    /// empty when the user cancelled.
    QString pickPath(const QString& current);
    void pickInto(QLineEdit* edit);
    void appendPickedPath();

    void requestResolutions();
    void showResolutions();
    /// Where path resolves, empty while unknown; unresolved tells whether
    /// it resolves nowhere.
    QString resolutionText(const QString& path, bool& unresolved) const;

    std::unique_ptr<Ui::MaterialQuantitiesSettingsWidget> ui;
    MaterialQuantitiesSettings settings;
    QuantitiesPropPathListModel* listModel = nullptr;
    int currentUnitIndex = 0;
    std::array<PathField, 4> pathFields;
    QPointer<_ifc2x3::IFC2x3Model> model;
    PropertyPathCounter* counter;
    QTimer* resolutionTimer;
};

} // namespace Orvane

#pragma once

#include "OrvaneWidgets/ISettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"

#include <QPointer>

namespace Orvane {

class MaterialQuantitiesSettingsHolder;
class MaterialQuantitiesSettingsWidget;
class Model;

/// The tool's page of the host's settings dialog. It keeps its own copy of
/// the settings; applying hands what its widget edited to the page, then to
/// the tool and its dock, each copy only when it differs.
class MaterialQuantitiesSettingsPage : public ISettingsPage
{
    Q_OBJECT
public:
    /// tool may be null: applied settings then stay with the page.
    explicit MaterialQuantitiesSettingsPage(MaterialQuantitiesSettingsHolder* tool, QObject* parent = nullptr);
    ~MaterialQuantitiesSettingsPage() override;

    QString getName() const override;
    /// The page's one widget, made the first time and re-parented afterwards
    /// with its edits kept.
    QList<QWidget*> createWidgets(QWidget* parent) override;
    void apply() override;
    void accept() override;
    /// The widget goes back to the page's settings, dropping its edits.
    void reject() override;
    void loadSettings(QSettings& store) override;
    void saveSettings(QSettings& store) override;

    const MaterialQuantitiesSettings& getSettings() const { return settings; }
    /// The host's active model, null when none: paths are picked from its
    /// selected element and looked for among its building elements.
    void setModel(Model* model);

private:
    MaterialQuantitiesSettings settings;
    MaterialQuantitiesSettingsHolder* tool;
    QPointer<MaterialQuantitiesSettingsWidget> widget;
    QPointer<Model> activeModel;
};

} // namespace Orvane

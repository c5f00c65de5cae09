#pragma once

#include "OrvaneWidgets/ModelTool.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsHolder.h"

#include <QPointer>

#include <log4cplus/logger.h>

namespace Orvane {

class MaterialLibrarySettingsPage;
class MaterialQuantitiesDockWidget;
class MaterialQuantitiesSettingsPage;

/// The tool the host loads: keeps the master copy of the settings, creates
/// the results dock and the settings page, shows the dock while enabled and
/// hands it the active model.
class MaterialQuantities : public ModelTool, public MaterialQuantitiesSettingsHolder
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvaneToolInterface_iid FILE "MaterialQuantities.json")
    Q_INTERFACES(Orvane::PluginInterface Orvane::ToolInterface)
public:
    MaterialQuantities();
    ~MaterialQuantities() override;

    QObject* pluginObject() override;
    void initialize(MainWindow* mainWindow) override;
    void finalize() override;
    ISettingsPage* settingsPage() override;
    /// The quantities page, then the material library's.
    QList<ISettingsPage*> settingsPages() override;
    bool enable() override;
    bool disable() override;
    QAction* toolAction() override;
    QDockWidget* dockWidget() override;
    void setModel(Model* model) override;

    const MaterialQuantitiesSettings& getToolSettings() const override { return settings; }
    void setToolSettings(const MaterialQuantitiesSettings& newSettings) override { settings = newSettings; }
    void setDockSettings(const MaterialQuantitiesSettings& newSettings) override;

private:
    log4cplus::Logger logger;
    MaterialQuantitiesDockWidget* dock = nullptr;
    MaterialQuantitiesSettings settings;
    /// The host deletes the page once the tool is finalised.
    QPointer<MaterialQuantitiesSettingsPage> settingsPage_;
    /// A child of the tool until the host takes it with the other page.
    QPointer<MaterialLibrarySettingsPage> libraryPage;
};

} // namespace Orvane

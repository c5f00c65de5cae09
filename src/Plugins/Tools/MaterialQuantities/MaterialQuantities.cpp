#include "MaterialQuantities.h"

#include "OrvaneWidgets/DockWidgetManager.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/PluginItem.h"
#include "OrvaneWidgets/PluginManager.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialLibrarySettingsPage.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesSettingsPage.h"

#include <QAction>
#include <QSettings>
#include <QString>

namespace Orvane {

MaterialQuantities::MaterialQuantities() = default;

// The dock went with finalize; the settings page belongs to the host.
MaterialQuantities::~MaterialQuantities() = default;

QObject* MaterialQuantities::pluginObject()
{
    return this;
}

void MaterialQuantities::initialize(MainWindow* mainWindow)
{
    Tool::initialize(mainWindow);
    logger = log4cplus::Logger::getInstance("Plugins.Tools.MaterialQuantities.MaterialQuantities");
    QSettings store;
    settings.loadSettings(store);
    settingsPage_ = new MaterialQuantitiesSettingsPage(this);
    settingsPage_->loadSettings(store);
    libraryPage = new MaterialLibrarySettingsPage(this);
    libraryPage->loadSettings(store);
    dock = new MaterialQuantitiesDockWidget(mainWindow);
    PluginManager* manager = PluginManager::instance();
    if (PluginItem* item = manager ? manager->getPluginItem(this) : nullptr) {
        dock->setWindowTitle(item->name());
        dock->toggleViewAction()->setIcon(item->icon());
    }
}

void MaterialQuantities::finalize()
{
    QSettings store;
    settings.saveSettings(store);
    Tool::finalize();
    delete dock;
    dock = nullptr;
}

ISettingsPage* MaterialQuantities::settingsPage()
{
    return settingsPage_;
}

QList<ISettingsPage*> MaterialQuantities::settingsPages()
{
    QList<ISettingsPage*> pages = ToolInterface::settingsPages();
    if (libraryPage) {
        pages.append(libraryPage);
    }
    return pages;
}

bool MaterialQuantities::enable()
{
    if (dock) {
        dock->setEnabled(true);
        addActionInToolBar(toolAction());
        if (mainWindow()) {
            mainWindow()->dockWidgetManager()->addDockWidget(QStringLiteral("MaterialQuantitiesDockWidget"), dock,
                                                             Qt::RightDockWidgetArea, 0, 0);
        }
    }
    return ModelTool::enable();
}

bool MaterialQuantities::disable()
{
    if (dock) {
        removeActionInToolBar(toolAction());
        dock->setDisabled(true);
        if (mainWindow()) {
            mainWindow()->dockWidgetManager()->removeDockWidget(dock);
        }
    }
    return ModelTool::disable();
}

QAction* MaterialQuantities::toolAction()
{
    return dock ? dock->toggleViewAction() : nullptr;
}

QDockWidget* MaterialQuantities::dockWidget()
{
    return dock;
}

void MaterialQuantities::setModel(Model* model)
{
    ModelTool::setModel(model);
    if (dock) {
        dock->setModel(model);
    }
    if (settingsPage_) {
        settingsPage_->setModel(model);
    }
}

void MaterialQuantities::setDockSettings(const MaterialQuantitiesSettings& newSettings)
{
    if (dock) {
        dock->setSettings(newSettings);
    }
}

} // namespace Orvane

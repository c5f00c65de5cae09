#include "DockWidgetManager.h"

#include <QDockWidget>
#include <QMainWindow>

namespace Orvane {

DockWidgetManager::DockWidgetManager(QMainWindow* window) : QObject(window), window(window) {}

DockWidgetManager::~DockWidgetManager() = default;

void DockWidgetManager::addDockWidget(const QString& objectName, QDockWidget* dock, Qt::DockWidgetArea area,
                                      int tabGroup, int minimumWidth)
{
    if (!dock) {
        return;
    }
    dock->setObjectName(objectName);
    if (minimumWidth > 0) {
        dock->setMinimumWidth(minimumWidth);
    }
    window->addDockWidget(area, dock);
    if (tabGroup != 0) {
        for (auto it = tabGroups.cbegin(); it != tabGroups.cend(); ++it) {
            if (it.value() == tabGroup && it.key() != dock && window->dockWidgetArea(it.key()) == area) {
                window->tabifyDockWidget(it.key(), dock);
                break;
            }
        }
        tabGroups.insert(dock, tabGroup);
    }
    docks.insert(objectName, dock);
    dock->show();
}

void DockWidgetManager::removeDockWidget(QDockWidget* dock)
{
    if (!dock) {
        return;
    }
    window->removeDockWidget(dock);
    tabGroups.remove(dock);
    docks.remove(docks.key(dock));
}

QDockWidget* DockWidgetManager::dockWidget(const QString& objectName) const
{
    return docks.value(objectName);
}

QList<QDockWidget*> DockWidgetManager::dockWidgets() const
{
    QList<QDockWidget*> result;
    for (const auto& dock : docks) {
        if (dock) {
            result.append(dock);
        }
    }
    return result;
}

} // namespace Orvane

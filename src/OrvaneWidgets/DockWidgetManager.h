#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class QDockWidget;
class QMainWindow;

namespace Orvane {

/// Places the tools' docks in the main window under stable object names, so
/// that the window's saved layout puts each back where the user left it.
class DockWidgetManager : public QObject
{
    Q_OBJECT
public:
    explicit DockWidgetManager(QMainWindow* window);
    ~DockWidgetManager() override;

    /// Docks sharing a non-zero tabGroup are tabbed together; a non-zero
    /// minimumWidth widens the dock to at least that many pixels.
    void addDockWidget(const QString& objectName, QDockWidget* dock, Qt::DockWidgetArea area, int tabGroup,
                       int minimumWidth);
    /// Takes the dock out of the window; the caller keeps it.
    void removeDockWidget(QDockWidget* dock);
    QDockWidget* dockWidget(const QString& objectName) const;
    QList<QDockWidget*> dockWidgets() const;

private:
    QMainWindow* window;
    QMap<QString, QPointer<QDockWidget>> docks;
    QMap<QDockWidget*, int> tabGroups;
};

} // namespace Orvane

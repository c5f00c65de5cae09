#pragma once

#include "OrvaneWidgets/PluginInterface.h"

#include <QList>
#include <QStringList>

class QAction;
class QDockWidget;

namespace Orvane {

class ISettingsPage;
class MainWindow;
class Model;

/// A plug-in that adds a tool to the main window: a dock, actions and a
/// settings page, following the active model. As in PluginInterface,
/// functions marked "not called by this host" only keep the layout.
class ToolInterface : public PluginInterface
{
    Q_OBJECT
public:
    enum ToolState { Disabled, Enabled };
    Q_ENUM(ToolState)

    explicit ToolInterface(QObject* parent = nullptr);
    ~ToolInterface() override;

    virtual void initialize(MainWindow* mainWindow) = 0;
    virtual void finalize() = 0;
    /// Whether the tool is busy; the main window asks before it closes.
    virtual bool running() const = 0;
    /// The tool's consent to quit, asked while it runs (the tool may ask the
    /// user); the main window stays open when it is refused.
    virtual bool okToQuitApplication() = 0;
    /// The tool's page of the settings dialog, or null. The page made by
    /// initialize() belongs to the host, which deletes it after finalize().
    virtual ISettingsPage* settingsPage() = 0;
    virtual ToolState toolState() const = 0;
    virtual bool enable() = 0;
    virtual bool disable() = 0;
    /// Not called by this host, which enables and disables.
    virtual bool toggle(bool on) = 0;
    /// The action that shows the tool, placed in the host's tool bar.
    virtual QAction* toolAction() = 0;
    virtual QDockWidget* dockWidget() = 0;
    /// Not called by this host, which places toolAction() only.
    virtual QList<QAction*> getActions() = 0;
    /// File formats the tool opens, as dialog filters. Not called by this
    /// host, which opens IFC files only; nor is load().
    virtual QStringList formats() const = 0;
    virtual bool load(const QString& fileName) = 0;
    /// Not called by this host; tools create and place their actions in
    /// initialize() and enable().
    virtual void registerActions(bool registered) = 0;
    virtual void createActions() = 0;
    /// The newly active model, null when none is.
    virtual void setModel(Model* model) = 0;
    /// Every page of the tool in the settings dialog, settingsPage() first;
    /// the host owns them as it owns that one. Last of the interface so
    /// that the entries before it keep their place.
    virtual QList<ISettingsPage*> settingsPages();
};

} // namespace Orvane

#define OrvaneToolInterface_iid "org.orvane.ToolInterface/1.0"
Q_DECLARE_INTERFACE(Orvane::ToolInterface, OrvaneToolInterface_iid)

#pragma once

#include "OrvaneWidgets/ToolInterface.h"

#include <QPointer>

namespace Orvane {

/// The usual base of tools: remembers the main window, tracks the enabled
/// state and puts actions into the main window's tool bar.
class Tool : public ToolInterface
{
    Q_OBJECT
public:
    explicit Tool(QObject* parent = nullptr);
    ~Tool() override;

    QObject* pluginObject() override;
    void initialize(MainWindow* mainWindow) override;
    void finalize() override;
    bool running() const override;
    bool okToQuitApplication() override;
    ISettingsPage* settingsPage() override;
    ToolState toolState() const override;
    bool enable() override;
    bool disable() override;
    bool toggle(bool on) override;
    QAction* toolAction() override;
    QDockWidget* dockWidget() override;
    QList<QAction*> getActions() override;
    QStringList formats() const override;
    bool load(const QString& fileName) override;
    void registerActions(bool registered) override;
    void createActions() override;

    MainWindow* mainWindow() const;

protected:
    /// Both do nothing before initialize or without an action.
    void addActionInToolBar(QAction* action);
    void removeActionInToolBar(QAction* action);

private:
    QPointer<MainWindow> m_mainWindow;
    ToolState m_state = Disabled;
};

} // namespace Orvane

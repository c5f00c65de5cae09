#include "Tool.h"

#include "MainWindow.h"

namespace Orvane {

Tool::Tool(QObject* parent) : ToolInterface(parent) {}

Tool::~Tool() = default;

MainWindow* Tool::mainWindow() const
{
    return m_mainWindow;
}

QObject* Tool::pluginObject()
{
    return this;
}

void Tool::initialize(MainWindow* mainWindow)
{
    m_mainWindow = mainWindow;
}

void Tool::finalize()
{
    m_state = Disabled;
}

bool Tool::running() const
{
    return false;
}

bool Tool::okToQuitApplication()
{
    return true;
}

ISettingsPage* Tool::settingsPage()
{
    return nullptr;
}

ToolInterface::ToolState Tool::toolState() const
{
    return m_state;
}

bool Tool::enable()
{
    m_state = Enabled;
    return true;
}

bool Tool::disable()
{
    m_state = Disabled;
    return true;
}

bool Tool::toggle(bool on)
{
    return on ? enable() : disable();
}

QAction* Tool::toolAction()
{
    return nullptr;
}

QDockWidget* Tool::dockWidget()
{
    return nullptr;
}

QList<QAction*> Tool::getActions()
{
    return {};
}

QStringList Tool::formats() const
{
    return {};
}

bool Tool::load(const QString&)
{
    return false;
}

void Tool::registerActions(bool) {}

void Tool::createActions() {}

void Tool::addActionInToolBar(QAction* action)
{
    if (m_mainWindow && action) {
        m_mainWindow->addActionInToolBar(action);
    }
}

void Tool::removeActionInToolBar(QAction* action)
{
    if (m_mainWindow && action) {
        m_mainWindow->removeActionInToolBar(action);
    }
}

} // namespace Orvane

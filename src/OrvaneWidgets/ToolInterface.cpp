#include "ToolInterface.h"

namespace Orvane {

ToolInterface::ToolInterface(QObject* parent) : PluginInterface(parent) {}

ToolInterface::~ToolInterface() = default;

QList<ISettingsPage*> ToolInterface::settingsPages()
{
    ISettingsPage* page = settingsPage();
    return page ? QList<ISettingsPage*>{page} : QList<ISettingsPage*>();
}

} // namespace Orvane

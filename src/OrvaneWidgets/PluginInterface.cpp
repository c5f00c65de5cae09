#include "PluginInterface.h"

namespace Orvane {

PluginInterface::PluginInterface(QObject* parent) : QObject(parent) {}

PluginInterface::~PluginInterface() = default;

QWidget* PluginInterface::aboutWidget(QWidget*)
{
    return nullptr;
}

bool PluginInterface::isMandatory() const
{
    return false;
}

QObject* PluginInterface::sharedService()
{
    return nullptr;
}

bool PluginInterface::needsRestart() const
{
    return false;
}

QObject* PluginInterface::helpPage()
{
    return nullptr;
}

bool PluginInterface::handlesArguments() const
{
    return false;
}

} // namespace Orvane

#pragma once

#include "OrvaneWidgets/PluginManager.h"

#include <QString>

/// The program's plug-in manager over the tools of the build tree, made at
/// first use as the application's main makes its own, and kept to the end.
inline Orvane::PluginManager* buildTreePlugins()
{
    static auto* manager = new Orvane::PluginManager({QStringLiteral(MQ_PLUGIN_DIR)});
    return manager;
}

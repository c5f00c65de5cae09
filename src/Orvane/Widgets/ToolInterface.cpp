#include "ToolInterface.h"

namespace Orvane {

ToolInterface::ToolInterface(QObject* parent) : PluginInterface(parent) {}

ToolInterface::~ToolInterface() = default;

} // namespace Orvane

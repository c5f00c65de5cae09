#pragma once

namespace Orvane {

/// Registers the host's compiled resources (icons under ":/icons/"). The
/// library is static, so nothing registers them before this is called; it
/// may be called any number of times.
void initResources();

} // namespace Orvane

#pragma once

namespace Orvane {

/// Registers the host's compiled resources (icons under ":/icons/"). The
/// shared library registers them when it is loaded; a static build needs
/// this call. It may be called any number of times.
void initResources();

} // namespace Orvane

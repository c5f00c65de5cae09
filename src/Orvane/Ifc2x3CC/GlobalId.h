#pragma once

#include <string>

namespace Orvane {
namespace Ifc2x3CC {

/// A new IFC GlobalId: a random UUID in the 22-character IFC base-64 form.
std::string createGlobalId();

} // namespace Ifc2x3CC
} // namespace Orvane

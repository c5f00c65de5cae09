#pragma once

#include <cstddef>

namespace Step {

/// Advice to the kernel about the memory of the runtime's large tables.
class MemoryPolicy
{
public:
    /// For a table written from start to end when a file is opened: huge
    /// pages take one page fault per 2 MB instead of one per 4 KB.
    static void adviseFilledInOnePass(const void* data, std::size_t bytes);
};

} // namespace Step

#include "MemoryPolicy.h"

#include <cstdint>
#include <sys/mman.h>

namespace Step {

void MemoryPolicy::adviseFilledInOnePass(const void* data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(huge - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace Step

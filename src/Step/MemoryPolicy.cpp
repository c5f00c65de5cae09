#include "MemoryPolicy.h"

#include <atomic>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace Step {

namespace {

constexpr unsigned DropReadPages = 1;
constexpr unsigned HugePages = 2;
constexpr unsigned SequentialReads = 4;

std::atomic<unsigned> currentFlags{0};

} // namespace

MemoryPolicy MemoryPolicy::forLargeModels()
{
    MemoryPolicy policy;
    policy.dropReadPages = true;
    policy.hugePages = true;
    policy.sequentialReads = true;
    return policy;
}

MemoryPolicy MemoryPolicy::current()
{
    const unsigned flags = currentFlags.load(std::memory_order_relaxed);
    MemoryPolicy policy;
    policy.dropReadPages = flags & DropReadPages;
    policy.hugePages = flags & HugePages;
    policy.sequentialReads = flags & SequentialReads;
    return policy;
}

void MemoryPolicy::setCurrent(const MemoryPolicy& policy)
{
    currentFlags.store((policy.dropReadPages ? DropReadPages : 0) | (policy.hugePages ? HugePages : 0) |
                           (policy.sequentialReads ? SequentialReads : 0),
                       std::memory_order_relaxed);
}

void MemoryPolicy::adviseMappedFile(void* map, std::size_t bytes) const
{
    if (sequentialReads) {
        madvise(map, bytes, MADV_SEQUENTIAL);
    }
#ifdef MADV_HUGEPAGE
    // Files read into the cache from now on come in large blocks the
    // kernel can map with 2 MB pages.
    if (hugePages) {
        madvise(map, bytes, MADV_HUGEPAGE);
    }
#endif
}

void MemoryPolicy::adviseTable(const void* data, std::size_t bytes) const
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(huge - 1);
    if (hugePages && last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

void MemoryPolicy::adviseNewBlock(void* block, std::size_t bytes) const
{
    // Small pages: where a virtual machine hands freed memory back to its
    // host, the first touch of a 2 MB page costs several times that of 512
    // small ones, and the pass over the blocks measured no gain in
    // processor time from large pages.
    if (!hugePages) {
        return;
    }
#ifdef MADV_POPULATE_WRITE
    madvise(block, bytes, MADV_POPULATE_WRITE); // kernels before 5.14 refuse it: pages then fault in
#endif
}

void MemoryPolicy::dropPages(void* map, std::size_t mapBytes, std::size_t begin, std::size_t end) const
{
    if (!dropReadPages) {
        return;
    }
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    begin = (begin + page - 1) / page * page;
    end = (end > mapBytes ? mapBytes : end) / page * page;
    if (end > begin) {
        madvise(static_cast<char*>(map) + begin, end - begin, MADV_DONTNEED);
    }
}

} // namespace Step

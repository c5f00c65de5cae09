#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Step {

/// The memory of one data set's instances and of the values decoded from
/// its records: a few blocks of 2 MB instead of millions of small
/// allocations, all given back at once.
///
/// Blocks of up to `largestInstance` bytes, instances and value payloads
/// alike, are given back and reused for blocks of the same size, so that
/// creating and deleting over and over does not grow the arena. Larger
/// payloads (long lists) stay until the arena goes, which bounds the waste
/// by what was decoded or made.
///
/// The data set holds the arena, and so does every instance living in it:
/// an instance still referenced when its data set goes keeps its block.
/// Allocation is for the holder of the data set's lock; instances may be
/// given back from any thread.
class Arena
{
public:
    /// Allocations above these sizes are for the caller to make on the heap.
    static constexpr std::size_t largest = 64 * 1024;
    static constexpr std::size_t largestInstance = 4096;

    /// A new arena, held once by the caller.
    static Arena* create();
    void hold() { m_holds.fetch_add(1, std::memory_order_relaxed); }
    /// Gives up one hold; the last one frees the arena and its blocks.
    void release();

    /// Memory for a value's payload; null when larger than `largest`.
    void* allocate(std::size_t bytes);
    /// Takes back a payload's block of `bytes` from allocate(), from any
    /// thread; blocks larger than `largestInstance` stay until the arena
    /// goes. The arena must still be alive: payloads live in its instances.
    static void giveBack(void* block, std::size_t bytes);

    /// Memory for an instance, which holds the arena until it gives the
    /// block back with recycle(). Null when larger than `largestInstance`;
    /// `sizeClass` is what recycle() needs.
    void* allocateInstance(std::size_t bytes, std::uint16_t& sizeClass);
    /// Takes back an instance's block, from any thread, and releases the
    /// hold it had.
    static void recycle(void* block, std::uint16_t sizeClass);

    /// Bytes of the blocks taken from the system.
    std::size_t reservedBytes() const { return m_blocks.size() * blockSize; }

private:
    static constexpr std::size_t blockSize = std::size_t(2) << 20;
    static constexpr std::size_t granule = 8;
    static constexpr std::size_t classCount = largestInstance / granule + 1;

    /// The free list of blocks of `bytes`, rounded up to the granule.
    static constexpr std::size_t sizeClassOf(std::size_t bytes) { return (bytes + granule - 1) / granule; }

    struct FreeBlock
    {
        FreeBlock* next;
    };
    /// Blocks given back of one size: pushed from any thread on `returned`,
    /// taken in one piece by the allocating thread into `ready`.
    struct FreeList
    {
        std::atomic<FreeBlock*> returned{nullptr};
        FreeBlock* ready = nullptr;
    };

    Arena() = default;
    ~Arena();
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    void* take(std::size_t bytes);
    void* reuse(std::size_t index);
    static void push(FreeList& list, void* block, std::size_t bytes);
    char* newBlock();
    static Arena* owner(const void* memory);

    std::atomic<std::size_t> m_holds{1};
    std::vector<char*> m_blocks;
    char* m_next = nullptr;
    char* m_end = nullptr;
    std::array<FreeList, classCount> m_free;
};

/// The hold of an arena's owner, given up when the owner goes.
struct ArenaRelease
{
    void operator()(Arena* arena) const { arena->release(); }
};
using ArenaHold = std::unique_ptr<Arena, ArenaRelease>;

} // namespace Step

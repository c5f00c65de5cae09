#include "Arena.h"

#include "MemoryPolicy.h"

#include <cstdint>
#include <new>
#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <utility>

namespace Step {

namespace {

constexpr std::size_t roundUp(std::size_t bytes, std::size_t step)
{
    return (bytes + step - 1) / step * step;
}

} // namespace

Arena* Arena::create()
{
    return new Arena;
}

Arena::~Arena()
{
    for (char* block : m_blocks) {
        ASAN_UNPOISON_MEMORY_REGION(block, blockSize); // the addresses may be mapped again
        munmap(block, blockSize);
    }
}

void Arena::release()
{
    if (m_holds.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete this;
    }
}

void* Arena::allocate(std::size_t bytes)
{
    if (bytes > largest) {
        return nullptr;
    }
    if (bytes > largestInstance) {
        return take(roundUp(bytes, granule));
    }
    const std::size_t index = sizeClassOf(bytes);
    void* memory = reuse(index);
    return memory ? memory : take(index * granule);
}

void Arena::giveBack(void* block, std::size_t bytes)
{
    if (bytes == 0 || bytes > largestInstance) {
        return;
    }
    const std::size_t index = sizeClassOf(bytes);
    push(owner(block)->m_free[index], block, index * granule);
}

void* Arena::allocateInstance(std::size_t bytes, std::uint16_t& sizeClass)
{
    if (bytes == 0 || bytes > largestInstance) {
        return nullptr;
    }
    void* memory = allocate(bytes);
    hold();
    sizeClass = static_cast<std::uint16_t>(sizeClassOf(bytes));
    return memory;
}

void Arena::recycle(void* block, std::uint16_t sizeClass)
{
    Arena* arena = owner(block);
    push(arena->m_free[sizeClass], block, sizeClass * granule);
    arena->release();
}

void* Arena::reuse(std::size_t index)
{
    FreeList& list = m_free[index];
    if (!list.ready) {
        list.ready = list.returned.exchange(nullptr, std::memory_order_acquire);
    }
    if (!list.ready) {
        return nullptr;
    }
    void* memory = std::exchange(list.ready, list.ready->next);
    ASAN_UNPOISON_MEMORY_REGION(memory, index * granule);
    return memory;
}

void Arena::push(FreeList& list, void* block, std::size_t bytes)
{
    auto* freed = static_cast<FreeBlock*>(block);
    // Under the address sanitizer, a use of a block after its end is
    // caught as it would be on the heap.
    ASAN_POISON_MEMORY_REGION(freed + 1, bytes - sizeof(FreeBlock));
    freed->next = list.returned.load(std::memory_order_relaxed);
    while (!list.returned.compare_exchange_weak(freed->next, freed, std::memory_order_release,
                                                std::memory_order_relaxed)) {
    }
}

void* Arena::take(std::size_t bytes)
{
    if (static_cast<std::size_t>(m_end - m_next) < bytes) {
        m_next = newBlock() + granule;
        m_end = m_blocks.back() + blockSize;
    }
    return std::exchange(m_next, m_next + bytes);
}

// A block aligned on its size, so that an instance finds its arena from its
// own address. The first block is left to fault in page by page, as small
// data sets use a fraction of it; the following ones belong to large
// models and take the memory policy's advice for new blocks.
char* Arena::newBlock()
{
    void* mapped = mmap(nullptr, 2 * blockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    char* const start = static_cast<char*>(mapped);
    char* const block = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(start), blockSize));
    if (block != start) {
        munmap(start, static_cast<std::size_t>(block - start));
    }
    munmap(block + blockSize, static_cast<std::size_t>(start + 2 * blockSize - (block + blockSize)));
    if (!m_blocks.empty()) {
        MemoryPolicy::current().adviseNewBlock(block, blockSize);
    }
    try {
        m_blocks.push_back(block);
    } catch (...) {
        munmap(block, blockSize);
        throw;
    }
    *reinterpret_cast<Arena**>(block) = this;
    return block;
}

Arena* Arena::owner(const void* memory)
{
    const auto address = reinterpret_cast<std::uintptr_t>(memory) & ~std::uintptr_t(blockSize - 1);
    return *reinterpret_cast<Arena* const*>(address);
}

} // namespace Step

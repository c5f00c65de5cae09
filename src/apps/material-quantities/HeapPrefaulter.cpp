#include "HeapPrefaulter.h"

#include <chrono>
#include <cstdint>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#define MQ_HEAP_PREFAULT 1
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif
#endif

namespace {

#ifdef MQ_HEAP_PREFAULT
// How far beyond each request the heap grows: room for the thread to work
// ahead of the computation, a few tenths of a second of its allocations.
constexpr int growthStep = 64 << 20;
// The C library's own step, documented for M_TOP_PAD.
constexpr int usualStep = 128 << 10;
#endif

} // namespace

HeapPrefaulter::HeapPrefaulter()
{
#ifdef MQ_HEAP_PREFAULT
    mallopt(M_TOP_PAD, growthStep);
    m_thread = std::thread(&HeapPrefaulter::run, this);
#endif
}

HeapPrefaulter::~HeapPrefaulter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
#ifdef MQ_HEAP_PREFAULT
    mallopt(M_TOP_PAD, usualStep);
#endif
}

void HeapPrefaulter::run()
{
#ifdef MQ_HEAP_PREFAULT
    // Pages below the break when this starts are in use already.
    auto brk = [] { return reinterpret_cast<std::uintptr_t>(sbrk(0)); };
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    std::uintptr_t done = brk() & ~(pageSize - 1);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        const std::uintptr_t end = brk();
        if (end > done) {
            lock.unlock();
            // Populating changes no content: pages already written stay as
            // they are, new ones read as zero as they would on first write.
            // An error (an old kernel, a heap trimmed meanwhile) just leaves
            // the pages to be faulted as usual.
            madvise(reinterpret_cast<void*>(done), end - done, MADV_POPULATE_WRITE);
            lock.lock();
        }
        done = end & ~(pageSize - 1);
        m_wake.wait_for(lock, std::chrono::milliseconds(1), [this] { return m_stop; });
    }
#endif
}

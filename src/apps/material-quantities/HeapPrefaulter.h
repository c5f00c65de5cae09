#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

/// While it lives, a thread of its own maps in the pages the heap has been
/// extended to before the program first writes them. A computation grows
/// the heap by hundreds of megabytes, and each first write makes the kernel
/// clear a page (on a virtual machine, often a page the host has to back
/// first): with the second processor doing that ahead of time, the
/// computation's thread finds the pages ready.
///
/// The heap is asked to grow in large steps, so that there is room to work
/// ahead in. Does nothing where the C library or the kernel lack the means.
class HeapPrefaulter
{
public:
    HeapPrefaulter();
    ~HeapPrefaulter();
    HeapPrefaulter(const HeapPrefaulter&) = delete;
    HeapPrefaulter& operator=(const HeapPrefaulter&) = delete;

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

#include "FaultGuard.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace Step {

namespace {

/// A watched range. The handler reads it without a lock: begin is set
/// last when watching and cleared first when unwatching.
struct Range
{
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> faulted{false};
    std::atomic<bool> taken{false};
};

Range ranges[FaultGuard::capacity];
struct sigaction previousAction;
std::uintptr_t pageSize = 4096;
std::once_flag installOnce;

/// Hands a fault that is not ours to whoever handled SIGBUS before.
void passOn(int signal, siginfo_t* info, void* context)
{
    if (previousAction.sa_flags & SA_SIGINFO) {
        if (previousAction.sa_sigaction) {
            previousAction.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default action, as without us: the faulting read runs again and
    // the process ends of it. A signal sent by another process does not
    // come back by itself.
    struct sigaction fallback
    {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0) {
        raise(signal);
    }
}

void onBusError(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Range& range : ranges) {
        const std::uintptr_t begin = range.begin.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= range.end.load(std::memory_order_acquire)) {
            continue;
        }
        void* page = reinterpret_cast<void*>(address & ~(pageSize - 1));
        if (mmap(page, pageSize, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) != MAP_FAILED) {
            range.faulted.store(true, std::memory_order_release);
            errno = savedErrno;
            return;
        }
        break; // the read would fault again for ever
    }
    errno = savedErrno;
    passOn(signal, info, context);
}

void installHandler()
{
    pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action
    {
    };
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousAction);
}

} // namespace

void FaultGuard::install()
{
    std::call_once(installOnce, installHandler);
}

int FaultGuard::watch(const void* begin, std::size_t size)
{
    for (int i = 0; i < capacity; ++i) {
        Range& range = ranges[i];
        if (range.taken.exchange(true)) {
            continue;
        }
        range.faulted.store(false);
        range.end.store(reinterpret_cast<std::uintptr_t>(begin) + size, std::memory_order_release);
        range.begin.store(reinterpret_cast<std::uintptr_t>(begin), std::memory_order_release);
        return i;
    }
    return -1;
}

void FaultGuard::unwatch(int index)
{
    if (index < 0 || index >= capacity) {
        return;
    }
    Range& range = ranges[index];
    range.begin.store(0, std::memory_order_release);
    range.end.store(0, std::memory_order_release);
    range.taken.store(false);
}

bool FaultGuard::faulted(int index)
{
    return index >= 0 && index < capacity && ranges[index].faulted.load(std::memory_order_acquire);
}

const std::atomic<bool>& FaultGuard::faultMark(int index)
{
    static const std::atomic<bool> never{false};
    return index >= 0 && index < capacity ? ranges[index].faulted : never;
}

} // namespace Step

#include "TemporaryFileRegistry.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace Step {

namespace {

enum SlotState : int { Free, Filling, Registered };

struct Slot
{
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

constexpr int slotCount = 64;
// The signals whose default action ends the process without a core, and
// SIGQUIT: SIGSEGV, SIGBUS and the like come from the process itself, which
// is then in no state to clean up; SIGKILL and SIGSTOP cannot be caught.
// SIGXFSZ is ignored by AtomicFile instead, so that the write fails.
constexpr std::array<int, 10> endingSignals{SIGINT,  SIGTERM, SIGHUP,  SIGQUIT,   SIGUSR1,
                                            SIGUSR2, SIGALRM, SIGPIPE, SIGVTALRM, SIGPROF};

std::array<Slot, slotCount> slots;
std::array<struct sigaction, endingSignals.size()> previousActions;

void removeRegisteredFiles(int signal)
{
    // A previous handler put back may return to the interrupted code.
    const int savedErrno = errno;
    for (Slot& slot : slots) {
        if (slot.state.load() == Registered) {
            ::unlink(slot.path);
        }
    }
    for (std::size_t i = 0; i < endingSignals.size(); ++i) {
        if (endingSignals[i] == signal) {
            ::sigaction(signal, &previousActions[i], nullptr);
        }
    }
    // Blocked while this handler runs: delivered, with the previous
    // disposition, as soon as it returns.
    ::raise(signal);
    errno = savedErrno;
}

void installHandlers()
{
    for (std::size_t i = 0; i < endingSignals.size(); ++i) {
        struct sigaction current
        {
        };
        // An ignored signal (nohup) ends nothing; one the program handles
        // may not end it either.
        if (::sigaction(endingSignals[i], nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) ||
            current.sa_handler != SIG_DFL) {
            continue;
        }
        previousActions[i] = current;
        struct sigaction cleanup
        {
        };
        cleanup.sa_handler = removeRegisteredFiles;
        sigemptyset(&cleanup.sa_mask);
        cleanup.sa_flags = SA_RESTART;
        ::sigaction(endingSignals[i], &cleanup, nullptr);
    }
}

} // namespace

void TemporaryFileRegistry::install()
{
    static std::once_flag installed;
    std::call_once(installed, installHandlers);
}

int TemporaryFileRegistry::add(const std::string& path)
{
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < slotCount; ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            slots[i].state.store(Registered);
            return i;
        }
    }
    return -1;
}

void TemporaryFileRegistry::release(int slot)
{
    if (slot >= 0 && slot < slotCount) {
        slots[slot].state.store(Free);
    }
}

sigset_t TemporaryFileRegistry::cleanedSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : endingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

int TemporaryFileRegistry::count()
{
    int registered = 0;
    for (const Slot& slot : slots) {
        registered += slot.state.load() == Registered ? 1 : 0;
    }
    return registered;
}

} // namespace Step

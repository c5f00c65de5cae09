#pragma once

#include <csignal>
#include <string>

namespace Step {

/// Named temporary files removed when the process is ended by a signal
/// (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE,
/// SIGVTALRM, SIGPROF), so that an interrupted save leaves nothing behind.
/// The handler, installed by install() for those of the signals that have
/// their default disposition (a program's own handler decides what its
/// signal does), removes the files registered at that moment, puts back
/// the default and raises the signal again. Only async-signal-safe calls run
/// in it.
class TemporaryFileRegistry
{
public:
    /// Installs the handler, once; a program calls it in main(), after the
    /// handlers of its own. Without it the files are only removed by their
    /// owners.
    static void install();
    /// Registers a path; returns the slot to release, or -1 when every slot
    /// is taken or the path too long (the file is then only removed by its
    /// owner).
    static int add(const std::string& path);
    /// Forgets a registration, once the file is gone or has a lasting name.
    static void release(int slot);
    /// How many files are registered now.
    static int count();
    /// The signals whose handler removes the files: blocked while a file is
    /// created and registered.
    static sigset_t cleanedSignals();
};

} // namespace Step

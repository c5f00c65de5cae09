#pragma once

#include <string>

namespace Step {

/// Named temporary files removed when the process is ended by SIGINT,
/// SIGTERM or SIGHUP, so that an interrupted save leaves nothing behind.
/// The handler, installed on first use for the signals not ignored, removes
/// the files registered at that moment, puts back the previous disposition
/// and raises the signal again. Only async-signal-safe calls run in it.
class TemporaryFileRegistry
{
public:
    /// Registers a path; returns the slot to release, or -1 when every slot
    /// is taken or the path too long (the file is then only removed by its
    /// owner).
    static int add(const std::string& path);
    /// Forgets a registration, once the file is gone or has a lasting name.
    static void release(int slot);
    /// How many files are registered now.
    static int count();
};

} // namespace Step

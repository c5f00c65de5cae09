#pragma once

#include <atomic>
#include <cstddef>

namespace Step {

/// Keeps the process alive when a mapped file shrinks under it. Reading a
/// page of a file mapping past the file's end raises SIGBUS, which kills
/// the process: another program truncating or rewriting an open model
/// would take the user's unsaved work with it. For a fault inside a watched
/// range, the handler maps a page of zeros over the faulting page and
/// marks the range; the read goes on, and the owner checks the mark after
/// reading and refuses what it read. Faults anywhere else go to the
/// handler installed before (or end the process as they would have).
class FaultGuard
{
public:
    /// Installs the handler, once; a program calls it in main(), before it
    /// maps a file. Without it a fault ends the process as it would have.
    static void install();
    /// Watches [begin, begin + size), a mapping of whole pages from begin.
    /// -1 when every place for a range is taken (the caller then must not
    /// rely on a mapping).
    static int watch(const void* begin, std::size_t size);
    /// Stops watching, before the range is unmapped.
    static void unwatch(int range);
    /// Whether a read in the range faulted since it was watched.
    static bool faulted(int range);
    /// The mark faulted() reads, for owners that look at it per record.
    static const std::atomic<bool>& faultMark(int range);

    static constexpr int capacity = 64;
};

} // namespace Step

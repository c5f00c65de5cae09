#pragma once

#include <cstddef>

namespace Step {

/// How the runtime treats the memory of opened files and of its own large
/// tables. The library is plain by default: it gives the kernel no advice
/// and leaves the pages of opened files where the kernel puts them. A
/// program sets its policy once in main(), before it opens a file; a file
/// keeps the policy it was opened with.
class MemoryPolicy
{
public:
    /// Drop the pages of a mapped file once read (while indexing, decoding
    /// here and there, saving), so that resident memory stays near the size
    /// of what is decoded; pages read again are read from the cache again.
    bool dropReadPages = false;
    /// Ask for huge pages for mapped files and for the index tables written
    /// from start to end on open: fewer page faults, and fewer misses of
    /// the processor's address cache when decoding jumps around the file.
    bool hugePages = false;
    /// Tell the kernel that mapped files are read from start to end.
    bool sequentialReads = false;

    /// All of the above: for programs that read models of hundreds of
    /// megabytes.
    static MemoryPolicy forLargeModels();
    static MemoryPolicy current();
    static void setCurrent(const MemoryPolicy& policy);

    /// The advice for a file just mapped.
    void adviseMappedFile(void* map, std::size_t bytes) const;
    /// The advice for a table about to be written from start to end.
    void adviseTable(const void* data, std::size_t bytes) const;
    /// The advice for a block of memory about to be filled, under the same
    /// switch as huge pages (large models): its pages mapped in one call
    /// rather than one fault each, in small pages.
    void adviseNewBlock(void* block, std::size_t bytes) const;
    /// Drops the whole pages within [begin, end) of a mapping of `mapBytes`
    /// at `map`, when the policy drops read pages.
    void dropPages(void* map, std::size_t mapBytes, std::size_t begin, std::size_t end) const;
};

} // namespace Step

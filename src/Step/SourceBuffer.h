#pragma once

#include "MemoryPolicy.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <time.h>
#include <vector>

namespace Step {

/// The bytes of an opened file: memory-mapped read-only, or owned text.
/// Where the memory policy says so, mapped pages are released after use;
/// the kernel reads them back in on the next access, so resident memory
/// stays near the size of the index.
///
/// Another program may truncate or rewrite the file while it is mapped: the
/// bytes read then are not those indexed. Reads past a new end give zeros
/// instead of killing the process (see FaultGuard), and intact() tells
/// whether what was read can be trusted.
class SourceBuffer
{
public:
    /// How closely intact() looks at the file on disk.
    enum class Check {
        Now,   ///< compares the file with what was opened, every call
        Lazily ///< reads past a new end always, the file at most every few
               ///< milliseconds: cheap enough for every record
    };

    SourceBuffer() = default;
    ~SourceBuffer();
    SourceBuffer(const SourceBuffer&) = delete;
    SourceBuffer& operator=(const SourceBuffer&) = delete;

    /// Maps a file; false with a message when it cannot be read.
    bool map(const std::string& path, std::string& error);
    void assign(std::string text);
    void clear();

    std::string_view text() const { return m_view; }
    /// The memory policy the file was mapped with.
    const MemoryPolicy& memoryPolicy() const { return m_policy; }
    /// False once the mapped file was found changed since it was mapped:
    /// a read of it faulted past its new end, or its size, modification
    /// time or change time differ. It stays false. Owned text is always
    /// intact.
    bool intact(Check check = Check::Now) const
    {
        // Per record, most calls only look at the marks.
        if (check == Check::Lazily && (m_lazyCalls++ % lazyClockStride) != 0) {
            return !m_changed && !(m_faultMark && m_faultMark->load(std::memory_order_acquire));
        }
        return checkFile(check);
    }
    /// For a reader that found text it cannot have indexed.
    void markChanged() const { m_changed = true; }
    /// What happened to the file, for messages; empty while intact.
    std::string damage() const;
    /// Drops resident pages of the mapped range [begin, end) when the memory
    /// policy drops read pages (no-op for owned text).
    void release(std::size_t begin, std::size_t end) const;
    /// Notes a read at offset. Reads spread over the file map the region
    /// of pages around them; once a few regions were read they are dropped
    /// (when the policy drops read pages), so decoding records here and
    /// there does not keep the file resident.
    void noteRead(std::size_t offset) const
    {
        const std::size_t region = offset >> regionShift;
        if (m_map && m_policy.dropReadPages && region != m_lastRegion) {
            m_lastRegion = region;
            noteRegion(region);
        }
    }

private:
    // Reading the clock costs as much as decoding a small record: a lazy
    // check looks at it every few calls only.
    static constexpr unsigned lazyClockStride = 32;

    bool checkFile(Check check) const;

    // The kernel maps 64 KB of cached file around a faulting page, or the
    // whole large folio holding it (up to 2 MB): the file is followed in
    // regions of that size. Reads alternate between a few places (an
    // element, its relations, its type's): counting distinct regions, not
    // moves between them, keeps those places mapped while they are read,
    // and at most regionBudget regions resident.
    static constexpr unsigned regionShift = 21;
    static constexpr std::size_t regionBudget = 8;

    void noteRegion(std::size_t region) const;
    void releaseRegionsRead() const;

    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    /// The file mapped, kept open to compare it with what was mapped; the
    /// mapping still shows a file replaced by a rename, not one rewritten.
    int m_fd = -1;
    std::string m_path;
    timespec m_modified{};
    mutable timespec m_statusChanged{};
    mutable nlink_t m_links = 0;
    int m_guard = -1;
    const std::atomic<bool>* m_faultMark = nullptr;
    mutable bool m_changed = false;
    mutable std::int64_t m_lastCheck = 0;
    mutable unsigned m_lazyCalls = 0;
    std::string m_owned;
    std::string_view m_view;
    mutable std::size_t m_lastRegion = ~std::size_t(0);
    /// Regions read since the last drop, in the order first read, and a
    /// bit per region of the file telling whether it is among them.
    mutable std::vector<std::size_t> m_regionsRead;
    mutable std::vector<bool> m_regionRead;
    MemoryPolicy m_policy;
};

} // namespace Step

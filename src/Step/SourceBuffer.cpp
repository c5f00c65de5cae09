#include "SourceBuffer.h"

#include "FaultGuard.h"
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Step {

namespace {
constexpr std::int64_t lazyCheckInterval = 20'000'000; // nanoseconds

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::int64_t coarseNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

SourceBuffer::~SourceBuffer()
{
    clear();
}

void SourceBuffer::clear()
{
    if (m_map) {
        FaultGuard::unwatch(m_guard);
        munmap(m_map, m_mapSize);
        m_map = nullptr;
        m_mapSize = 0;
        m_guard = -1;
        m_faultMark = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_path.clear();
    m_changed = false;
    m_lastCheck = 0;
    m_lazyCalls = 0;
    m_owned.clear();
    m_view = {};
    m_lastRegion = ~std::size_t(0);
    m_regionsRead.clear();
    m_regionRead.clear();
}

bool SourceBuffer::map(const std::string& path, std::string& error)
{
    clear();
    m_policy = MemoryPolicy::current();
    const int fd = RegularFile::openForReading(path, &error);
    if (fd < 0) {
        return false;
    }
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (info.st_size == 0) {
        ::close(fd);
        m_view = {};
        return true;
    }
    void* address = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    const int mapErrno = errno;
    if (address == MAP_FAILED) {
        ::close(fd);
        error = "cannot read '" + path + "': " + std::strerror(mapErrno);
        return false;
    }
    const int guard = FaultGuard::watch(address, static_cast<std::size_t>(info.st_size));
    if (guard < 0) {
        munmap(address, static_cast<std::size_t>(info.st_size));
        ::close(fd);
        error = "cannot read '" + path + "': too many files open at once";
        return false;
    }
    m_map = address;
    m_mapSize = static_cast<std::size_t>(info.st_size);
    m_guard = guard;
    m_faultMark = &FaultGuard::faultMark(guard);
    m_fd = fd;
    m_path = path;
    m_modified = info.st_mtim;
    m_statusChanged = info.st_ctim;
    m_links = info.st_nlink;
    m_policy.adviseMappedFile(m_map, m_mapSize);
    m_view = std::string_view(static_cast<const char*>(m_map), m_mapSize);
    return true;
}

bool SourceBuffer::checkFile(Check check) const
{
    if (!m_map || m_changed) {
        return !m_changed;
    }
    if (FaultGuard::faulted(m_guard)) {
        m_changed = true;
        return false;
    }
    if (check == Check::Lazily) {
        const std::int64_t now = coarseNow();
        if (m_lastCheck != 0 && now - m_lastCheck < lazyCheckInterval) {
            return true;
        }
        m_lastCheck = now;
    }
    struct stat now
    {
    };
    if (fstat(m_fd, &now) != 0 || static_cast<std::size_t>(now.st_size) != m_mapSize ||
        !sameTime(now.st_mtim, m_modified)) {
        m_changed = true;
    } else if (!sameTime(now.st_ctim, m_statusChanged)) {
        // A rewrite in place may set the modification time back, not the
        // change time. A save renaming a new file over the path changes it
        // too, by unlinking the file mapped: that leaves its bytes alone.
        if (now.st_nlink < m_links) {
            m_links = now.st_nlink;
            m_statusChanged = now.st_ctim;
        } else {
            m_changed = true;
        }
    }
    return !m_changed;
}

std::string SourceBuffer::damage() const
{
    if (intact()) {
        return {};
    }
    return "'" + m_path + "' was changed by another program since it was opened";
}

void SourceBuffer::assign(std::string text)
{
    clear();
    m_policy = MemoryPolicy::current();
    m_owned = std::move(text);
    m_view = m_owned;
}

void SourceBuffer::release(std::size_t begin, std::size_t end) const
{
    if (m_map) {
        m_policy.dropPages(m_map, m_mapSize, begin, end);
    }
}

void SourceBuffer::noteRegion(std::size_t region) const
{
    if (m_regionRead.empty()) {
        m_regionRead.assign((m_mapSize >> regionShift) + 1, false);
    }
    if (m_regionRead[region]) {
        return;
    }
    m_regionRead[region] = true;
    m_regionsRead.push_back(region);
    if (m_regionsRead.size() >= regionBudget) {
        releaseRegionsRead();
    }
}

void SourceBuffer::releaseRegionsRead() const
{
    // Only what was read is dropped: one call over the whole mapping would
    // walk all of its page tables every few megabytes of records.
    for (const std::size_t region : m_regionsRead) {
        const std::size_t begin = region << regionShift;
        m_policy.dropPages(m_map, m_mapSize, begin, std::min(m_mapSize, begin + (std::size_t(1) << regionShift)));
        m_regionRead[region] = false;
    }
    m_regionsRead.clear();
    m_lastRegion = ~std::size_t(0);
}

} // namespace Step

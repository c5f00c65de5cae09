#include "FileVersion.h"

#include <sys/stat.h>

namespace Step {

namespace {

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

FileVersion::FileVersion(const struct stat& status)
    : m_exists(true), m_device(status.st_dev), m_inode(status.st_ino), m_size(status.st_size),
      m_modified(status.st_mtim), m_changed(status.st_ctim)
{
}

FileVersion FileVersion::of(int descriptor)
{
    struct stat status
    {
    };
    return ::fstat(descriptor, &status) == 0 ? FileVersion(status) : FileVersion();
}

FileVersion FileVersion::at(const std::string& path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 ? FileVersion(status) : FileVersion();
}

bool FileVersion::isSameFile(const FileVersion& other) const
{
    return m_exists && other.m_exists && m_device == other.m_device && m_inode == other.m_inode;
}

bool FileVersion::operator==(const FileVersion& other) const
{
    if (!m_exists || !other.m_exists) {
        return m_exists == other.m_exists;
    }
    return isSameFile(other) && m_size == other.m_size && sameTime(m_modified, other.m_modified) &&
           sameTime(m_changed, other.m_changed);
}

} // namespace Step

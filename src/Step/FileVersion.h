#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace Step {

/// Which file a path names, and which state of it: device, inode, size and
/// the times of the last modification and of the last change. Programs that
/// save by writing a new file and renaming it over the path give another
/// inode; a rewrite in place gives another change time, which, unlike the
/// modification time, no program can set back.
class FileVersion
{
public:
    /// No file.
    FileVersion() = default;
    /// The version of an open file; none when it cannot be read.
    static FileVersion of(int descriptor);
    /// The version of the file path designates, symbolic links followed;
    /// none when there is no file there.
    static FileVersion at(const std::string& path);

    bool exists() const { return m_exists; }
    /// Whether both name the same file, whatever its content.
    bool isSameFile(const FileVersion& other) const;
    /// Same file, same size, same times.
    bool operator==(const FileVersion& other) const;
    bool operator!=(const FileVersion& other) const { return !(*this == other); }

private:
    explicit FileVersion(const struct stat& status);

    bool m_exists = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_modified{};
    timespec m_changed{};
};

} // namespace Step

#pragma once

#include <QString>

#include <sys/types.h>

/// What a path names on disk once symbolic links are followed: two paths
/// with equal identities read or write the same file, whatever their
/// spelling. A file that exists is known by its device and inode; one to be
/// created by the absolute path it would get.
class FileIdentity
{
public:
    explicit FileIdentity(const QString& path);

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

private:
    QString m_resolvedPath;
    bool m_exists = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

#include "FileIdentity.h"

#include "Step/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

FileIdentity::FileIdentity(const QString& path)
{
    const std::string target = Step::RegularFile::finalTarget(QFile::encodeName(path).toStdString());
    const QFileInfo info(target.empty() ? path : QFile::decodeName(QByteArray::fromStdString(target)));
    // The folder may itself be reached through links.
    const QString folder = info.absoluteDir().canonicalPath();
    m_resolvedPath =
        folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
    struct stat status
    {
    };
    m_exists = ::stat(QFile::encodeName(m_resolvedPath).constData(), &status) == 0;
    if (m_exists) {
        m_device = status.st_dev;
        m_inode = status.st_ino;
    }
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    if (m_exists && other.m_exists) {
        return m_device == other.m_device && m_inode == other.m_inode;
    }
    return m_resolvedPath == other.m_resolvedPath;
}

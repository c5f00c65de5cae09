#include "RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Step {

namespace {

constexpr int maxLinksFollowed = 40; // as the kernel's own limit

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return path.substr(0, slash + 1);
}

bool setError(std::string* error, const std::string& message)
{
    if (error) {
        *error = message;
    }
    return false;
}

} // namespace

std::string RegularFile::finalTarget(const std::string& path, std::string* error)
{
    std::string current = path;
    for (int followed = 0; followed <= maxLinksFollowed; ++followed) {
        struct stat info
        {
        };
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (length < 0 || length == static_cast<ssize_t>(sizeof buffer)) {
            return current;
        }
        const std::string link(buffer, static_cast<std::size_t>(length));
        current = link.front() == '/' ? link : directoryOf(current) + link;
    }
    setError(error, "cannot follow '" + path + "': " + std::strerror(ELOOP));
    return {};
}

int RegularFile::openForReading(const std::string& path, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        setError(error, "cannot read '" + path + "': " + std::strerror(errno));
        return -1;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0) {
        setError(error, "cannot read '" + path + "': " + std::strerror(errno));
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        setError(error, "'" + path + "' is not a regular file but " + kindName(info.st_mode));
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never block anyway; the flag is dropped for
    // readers that look at it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool RegularFile::checkReadable(const std::string& path, std::string* error)
{
    const int fd = openForReading(path, error);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool RegularFile::checkReplaceable(const std::string& path, std::string* error)
{
    std::string reason;
    const std::string target = finalTarget(path, &reason);
    if (target.empty()) {
        return setError(error, reason);
    }
    struct stat info
    {
    };
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return setError(error, "cannot write '" + path + "': it is not a regular file but " + kindName(info.st_mode));
    }
    // The new file is made beside the one replaced: a folder that is
    // missing or read-only is told now, not after the work.
    const std::string folder = directoryOf(target);
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
        return setError(error, "cannot write '" + path + "': " + std::strerror(errno));
    }
    return true;
}

const char* RegularFile::kindName(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return "a directory";
    case S_IFIFO:
        return "a FIFO";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    case S_IFLNK:
        return "a symbolic link";
    case S_IFREG:
        return "a regular file";
    default:
        return "a special file";
    }
}

} // namespace Step

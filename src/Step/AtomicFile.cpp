#include "AtomicFile.h"

#include "RegularFile.h"
#include "TemporaryFileRegistry.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Step {

namespace {

constexpr mode_t usualMode = 0666;
/// Written data is handed to the disk in runs of this size as it comes, so
/// that the sync before the file takes the target's place waits for the
/// last run only rather than for the whole file.
constexpr std::uint64_t writeBackRun = std::uint64_t(8) << 20;

/// The process's umask, read without setting it: other threads may be
/// creating files meanwhile.
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "Umask:") == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 022;
}

std::string randomSuffix()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    std::string suffix(6, 'x');
    for (char& c : suffix) {
        c = alphabet[pick(generator)];
    }
    return suffix;
}

/// A name in the target's folder: short, as the target's own may already
/// be as long as the file system allows.
std::string temporaryName(const std::string& directory, const std::string& suffix)
{
    return directory + "/.mq-" + suffix;
}

/// A write past RLIMIT_FSIZE raises SIGXFSZ, which ends the process, with
/// no chance to remove the temporary file or to say why. Ignored, it makes
/// the write fail with EFBIG instead. A handler of the program's own stays.
void ignoreFileSizeSignal()
{
    struct sigaction current
    {
    };
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
        current.sa_handler == SIG_DFL) {
        std::signal(SIGXFSZ, SIG_IGN);
    }
}

} // namespace

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path)) {}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open()
{
    discard();
    m_error.clear();
    m_targetReplaced = false;
    m_committed = FileVersion();
    ignoreFileSizeSignal();
    if (!RegularFile::checkReplaceable(m_path, &m_error)) {
        return false;
    }
    m_target = RegularFile::finalTarget(m_path);
    if (!targetIsExpected()) {
        return false;
    }
    const std::size_t slash = m_target.rfind('/');
    m_directory = slash == std::string::npos ? "." : slash == 0 ? "/" : m_target.substr(0, slash);
    struct stat info
    {
    };
    m_targetExisted = ::stat(m_target.c_str(), &info) == 0;
    m_targetMode = m_targetExisted ? info.st_mode & 07777 : 0;
    m_targetOwner = info.st_uid;
    m_targetGroup = info.st_gid;
    return openUnnamed() || openNamed();
}

void AtomicFile::expectTarget(const FileVersion& version)
{
    m_expectsTarget = true;
    m_expectedTarget = version;
}

bool AtomicFile::targetIsExpected()
{
    if (!m_expectsTarget) {
        return true;
    }
    const FileVersion present = FileVersion::at(m_target);
    if (!present.exists() || present == m_expectedTarget) {
        return true;
    }
    m_targetReplaced = true;
    m_error = "'" + m_path + "' was replaced or changed by another program since it was read: it is left as it is";
    return false;
}

bool AtomicFile::openUnnamed()
{
#ifdef O_TMPFILE
    // The mode given is masked by the umask, as for any new file.
    m_fd = ::open(m_directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, usualMode);
    if (m_fd < 0) {
        return false;
    }
    m_writingPath = "/proc/self/fd/" + std::to_string(m_fd);
    return !m_targetExisted || takeTargetPermissions();
#else
    return false;
#endif
}

bool AtomicFile::openNamed()
{
    m_temporary = temporaryName(m_directory, "XXXXXX");
    // A signal between the creation and the registration would leave the
    // file behind: it waits until the file is registered.
    const sigset_t cleanupSignals = TemporaryFileRegistry::cleanedSignals();
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &cleanupSignals, &previousMask);
    m_fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
    const int createReason = errno;
    if (m_fd >= 0) {
        m_registration = TemporaryFileRegistry::add(m_temporary);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    if (m_fd < 0) {
        m_temporary.clear();
        return fail("cannot write", createReason);
    }
    m_writingPath = m_temporary;
    if (m_targetExisted) {
        return takeTargetPermissions();
    }
    // mkostemp makes the file private; a new file gets the usual mode.
    if (::fchmod(m_fd, usualMode & ~currentUmask()) != 0) {
        const int reason = errno;
        discard();
        return fail("cannot write", reason);
    }
    return true;
}

bool AtomicFile::takeTargetPermissions()
{
    // Only root may give a file away, and a user only to a group of theirs:
    // otherwise the file stays the writer's, as any file it creates.
    [[maybe_unused]] const int owned = ::fchown(m_fd, m_targetOwner, m_targetGroup);
    if (::fchmod(m_fd, m_targetMode) != 0) {
        const int reason = errno;
        discard();
        return fail("cannot write", reason);
    }
    return true;
}

bool AtomicFile::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot write", errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        m_written += static_cast<std::uint64_t>(n);
    }
    if (m_written - m_writingBack >= writeBackRun) {
        startWriteBack();
    }
    return true;
}

void AtomicFile::startWriteBack()
{
    // Only a hint: where it is refused, commit()'s sync writes everything.
    [[maybe_unused]] const int started = ::sync_file_range(
        m_fd, static_cast<off_t>(m_writingBack), static_cast<off_t>(m_written - m_writingBack), SYNC_FILE_RANGE_WRITE);
    m_writingBack = m_written;
}

bool AtomicFile::commit()
{
    if (m_fd < 0) {
        return fail("cannot write", EBADF);
    }
    if (::fsync(m_fd) != 0) {
        const int reason = errno;
        discard();
        return fail("cannot write", reason);
    }
    // Another program may have saved over the target while this was written.
    if (!targetIsExpected()) {
        const std::string refusal = m_error;
        discard();
        m_error = refusal;
        return false;
    }
    std::string linked = m_temporary;
    if (linked.empty() && !linkUnnamed(&linked)) {
        const int reason = errno;
        discard();
        return fail("cannot write", reason);
    }
    const FileVersion written = FileVersion::of(m_fd);
    const bool closed = ::close(m_fd) == 0;
    const int closeReason = errno;
    m_fd = -1;
    if (!closed || std::rename(linked.c_str(), m_target.c_str()) != 0) {
        const int reason = closed ? errno : closeReason;
        ::unlink(linked.c_str());
        m_temporary.clear();
        discard();
        return fail(closed ? "cannot replace" : "cannot write", reason);
    }
    m_temporary.clear();
    discard();
    // The rename changed the file's change time; should another program
    // have replaced it already, what was written is the version to expect.
    m_committed = FileVersion::at(m_target);
    if (!m_committed.isSameFile(written)) {
        m_committed = written;
    }
    return syncDirectory();
}

/// An unnamed file cannot be linked over an existing name: it gets a fresh
/// name beside the target, renamed over it at once.
bool AtomicFile::linkUnnamed(std::string* linked)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(m_directory, randomSuffix());
        m_registration = TemporaryFileRegistry::add(name);
        if (::linkat(AT_FDCWD, m_writingPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(m_fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)) {
            *linked = name;
            m_temporary = name;
            return true;
        }
        const int reason = errno;
        TemporaryFileRegistry::release(m_registration);
        m_registration = -1;
        if (reason != EEXIST) {
            errno = reason;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

bool AtomicFile::syncDirectory()
{
    const int directory = ::open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        return fail("cannot sync the folder of", errno);
    }
    const bool synced = ::fsync(directory) == 0 || errno == EINVAL; // some file systems sync no folders
    const int reason = errno;
    ::close(directory);
    return synced || fail("cannot sync the folder of", reason);
}

void AtomicFile::discard()
{
    closeHandle();
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    TemporaryFileRegistry::release(m_registration);
    m_registration = -1;
    m_writingPath.clear();
}

void AtomicFile::closeHandle()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool AtomicFile::fail(const std::string& what, int errorNumber)
{
    m_error = what + " '" + m_path + "': " + std::strerror(errorNumber);
    return false;
}

} // namespace Step

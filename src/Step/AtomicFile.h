#pragma once

#include "FileVersion.h"

#include <cstdint>
#include <string>

namespace Step {

/// Replaces a file whole: readers see the previous content or the new one,
/// never a part, and a failed or interrupted write leaves the previous file
/// and no temporary one.
///
/// The content goes to an unnamed file in the target's directory, linked
/// into place by commit() under a short temporary name (the target's name
/// may be as long as a name can be). Where the file system has no unnamed
/// files, a named temporary is used instead and removed on failure, on
/// destruction and on the signals that end a process by default (see
/// TemporaryFileRegistry). SIGXFSZ, when not handled, is ignored: a file
/// growing past the size limit fails to write, reported, instead of ending
/// the process. A symbolic link is written through:
/// the file it points to is replaced and the link stays. A target that
/// exists and is not a regular file is refused by open().
///
/// The new file keeps the mode (and, where the writer may, the owner and
/// group) of the file replaced; a new one gets 0666 less the umask.
class AtomicFile
{
public:
    explicit AtomicFile(std::string path);
    /// Discards what was written unless committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    /// Refuses to replace a file at the path other than version, the one the
    /// caller read or wrote there: another program may have put its own
    /// version there since, which must not be lost. A missing file is no
    /// loss. Checked by open() and again just before commit() replaces it.
    void expectTarget(const FileVersion& version);
    /// Whether the last failure was such a refusal.
    bool targetReplaced() const { return m_targetReplaced; }
    /// The file commit() put in place.
    const FileVersion& committedVersion() const { return m_committed; }

    /// Checks the target and creates the temporary file.
    bool open();
    /// The descriptor to write to, -1 when not open.
    int handle() const { return m_fd; }
    /// A name that opens the temporary file again, for writers that want a
    /// name rather than a descriptor.
    const std::string& writingPath() const { return m_writingPath; }

    /// Writes all of data, retrying short writes.
    bool write(const char* data, std::size_t size);
    /// Syncs the file, puts it in the place of the target, syncs the
    /// directory. The object is closed afterwards, whatever the outcome.
    bool commit();
    /// Drops the temporary file; the target stays as it was.
    void discard();

    const std::string& path() const { return m_path; }
    /// What went wrong, naming the path given.
    const std::string& errorString() const { return m_error; }

private:
    bool targetIsExpected();
    bool openUnnamed();
    bool openNamed();
    bool takeTargetPermissions();
    bool linkUnnamed(std::string* linked);
    void startWriteBack();
    bool syncDirectory();
    bool fail(const std::string& what, int errorNumber);
    void closeHandle();

    std::string m_path;
    std::string m_target;    ///< the file replaced, links followed
    std::string m_directory; ///< where m_target lives
    std::string m_temporary; ///< the named temporary file, if any
    std::string m_writingPath;
    int m_fd = -1;
    int m_registration = -1;
    std::uint64_t m_written = 0;     ///< bytes written so far
    std::uint64_t m_writingBack = 0; ///< bytes handed to the disk so far
    bool m_targetExisted = false;
    unsigned m_targetMode = 0;
    unsigned m_targetOwner = 0;
    unsigned m_targetGroup = 0;
    bool m_expectsTarget = false;
    FileVersion m_expectedTarget;
    bool m_targetReplaced = false;
    FileVersion m_committed;
    std::string m_error;
};

} // namespace Step

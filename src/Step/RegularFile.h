#pragma once

#include <string>

namespace Step {

/// Checks on the paths a program reads or replaces, made before any work so
/// that a device, a FIFO or a directory is named as such instead of blocking
/// a reader or being replaced by a writer.
class RegularFile
{
public:
    /// The file a path designates once symbolic links are followed: the
    /// path itself when it is not a link. A dangling link gives the missing
    /// file it points to. Empty, with a reason in error, for a loop.
    static std::string finalTarget(const std::string& path, std::string* error = nullptr);

    /// A descriptor open for reading on path, -1 with a reason in error when
    /// it cannot be opened or is not a regular file. It opens without
    /// blocking, so a FIFO with no writer is reported rather than waited on.
    static int openForReading(const std::string& path, std::string* error = nullptr);
    /// Whether openForReading succeeds.
    static bool checkReadable(const std::string& path, std::string* error = nullptr);

    /// True when the file path designates is missing or a regular file,
    /// that is when replacing it destroys nothing else, and its folder can
    /// take the new file.
    static bool checkReplaceable(const std::string& path, std::string* error = nullptr);

    /// "a directory", "a FIFO", ... for a file mode that is not a regular
    /// file's.
    static const char* kindName(unsigned mode);
};

} // namespace Step

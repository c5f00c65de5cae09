#pragma once

#include <sys/resource.h>

#include <csignal>

namespace testsupport {

/// While alive, files this process writes cannot grow past a few hundred
/// bytes, as on a full disk: writes fail with EFBIG instead of raising
/// SIGXFSZ. Unlike folder permissions, this holds for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes = 512);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
};

} // namespace testsupport

#pragma once

// What the benchmark programs share: the process's CPU time and their
// numeric options.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench {

/// CPU seconds of the whole process, every thread counted.
inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

/// The value of "NAME N" among the arguments, at least 1, else fallback.
inline int intArgument(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::max(1, std::atoi(argv[i + 1]));
        }
    }
    return fallback;
}

} // namespace bench

#include "ProgressReporter.h"

#include <cstdio>
#include <unistd.h>

ProgressReporter::ProgressReporter(qint64 steps, QObject* parent)
    : QObject(parent), m_steps(qMax<qint64>(steps, 1)), m_enabled(isatty(STDERR_FILENO) == 1)
{
}

ProgressReporter::~ProgressReporter()
{
    if (m_enabled && m_shown >= 0) {
        std::fputs("\r\033[K", stderr);
    }
}

void ProgressReporter::step()
{
    ++m_done;
    const int percent = static_cast<int>(qMin<qint64>(100, m_done * 100 / m_steps));
    if (m_enabled && percent != m_shown) {
        m_shown = percent;
        std::fprintf(stderr, "\rComputing material quantities... %3d%%", percent);
        std::fflush(stderr);
    }
}

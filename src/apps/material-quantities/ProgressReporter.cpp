#include "ProgressReporter.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr int refreshMs = 100;
}

ProgressReporter::ProgressReporter(qint64 steps, QObject* parent)
    : QObject(parent), m_steps(qMax<qint64>(steps, 1)), m_enabled(isatty(STDERR_FILENO) == 1)
{
    if (m_enabled) {
        connect(&m_timer, &QTimer::timeout, this, &ProgressReporter::show);
        m_timer.start(refreshMs);
    }
}

ProgressReporter::~ProgressReporter()
{
    if (m_enabled && m_shown >= 0) {
        std::fputs("\r\033[K", stderr);
    }
}

void ProgressReporter::step()
{
    m_done.fetch_add(1, std::memory_order_relaxed);
}

void ProgressReporter::show()
{
    const qint64 done = m_done.load(std::memory_order_relaxed);
    const int percent = static_cast<int>(qMin<qint64>(100, done * 100 / m_steps));
    if (percent != m_shown) {
        m_shown = percent;
        std::fprintf(stderr, "\rComputing material quantities... %3d%%", percent);
        std::fflush(stderr);
    }
}

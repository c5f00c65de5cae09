#pragma once

// How long the user-interface thread is blocked: a 10 ms timer ticks on it,
// and the largest gap between two ticks is what the user would feel as a
// freeze.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace bench {

/// The largest gap between ticks of a 10 ms timer while measuring.
class TickGaps
{
public:
    TickGaps()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            if (m_measuring) {
                note(m_sinceTick.nsecsElapsed());
                ++m_ticks;
            }
            m_sinceTick.start();
        });
        m_ticker.start(10);
    }
    void start()
    {
        m_largest = 0;
        m_ticks = 0;
        m_measuring = true;
        m_sinceStart.start();
        m_sinceTick.start();
    }
    /// The largest gap in ms, the time since the last tick included.
    double stop()
    {
        note(m_sinceTick.nsecsElapsed());
        m_measuring = false;
        return m_largest / 1e6;
    }
    int ticks() const { return m_ticks; }
    /// When the largest gap ended, in ms since start().
    double largestEndedAt() const { return m_largestEnd / 1e6; }

private:
    void note(qint64 gap)
    {
        if (gap > m_largest) {
            m_largest = gap;
            m_largestEnd = m_sinceStart.nsecsElapsed();
        }
    }

    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    QElapsedTimer m_sinceStart;
    qint64 m_largest = 0;
    qint64 m_largestEnd = 0;
    int m_ticks = 0;
    bool m_measuring = false;
};

} // namespace bench

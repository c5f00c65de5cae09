#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>

/// Shows the progress of a computation on stderr as a percentage updated in
/// place, when stderr is a terminal; silent otherwise. Steps are counted
/// from any thread; the display is refreshed on the reporter's thread a few
/// times a second.
class ProgressReporter : public QObject
{
    Q_OBJECT
public:
    ProgressReporter(qint64 steps, QObject* parent = nullptr);
    ~ProgressReporter() override;

    /// Whether anything is shown (stderr is a terminal).
    bool enabled() const { return m_enabled; }

public slots:
    /// Counts one step; thread-safe, so it may be connected directly.
    void step();

private:
    void show();

    qint64 m_steps;
    std::atomic<qint64> m_done{0};
    int m_shown = -1;
    bool m_enabled;
    QTimer m_timer;
};

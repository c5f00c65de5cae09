#pragma once

#include <QObject>

/// Shows the progress of a computation on stderr as a percentage updated in
/// place, when stderr is a terminal; silent otherwise.
class ProgressReporter : public QObject
{
    Q_OBJECT
public:
    ProgressReporter(qint64 steps, QObject* parent = nullptr);
    ~ProgressReporter() override;

public slots:
    void step();

private:
    qint64 m_steps;
    qint64 m_done = 0;
    int m_shown = -1;
    bool m_enabled;
};

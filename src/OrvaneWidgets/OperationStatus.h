#pragma once

#include <QObject>
#include <QString>

namespace Orvane {

class ProgressSink;

/// The progress report of one running operation: created when the operation
/// starts, advanced step by step, deleted when it ends. It reports to the
/// host's progress sink; without one it only counts. A cancellable status
/// lets the sink offer Cancel and tells its owner through cancelRequested().
class OperationStatus : public QObject
{
    Q_OBJECT
public:
    OperationStatus(const QString& text, qint64 steps, bool cancellable = false, QObject* parent = nullptr);
    ~OperationStatus() override;

    void addStep(int count = 1);

    QString text() const { return m_text; }
    qint64 steps() const { return m_steps; }
    qint64 done() const { return m_done; }
    bool isCancellable() const { return m_cancellable; }
    bool isCancelRequested() const { return m_cancelRequested; }

    /// Asks the operation to stop; ignored unless the status is cancellable.
    void cancel();

    /// The sink every status reports to from its creation; null for none.
    /// The sink must outlive the statuses created while it was set.
    static void setProgressSink(ProgressSink* sink);
    static ProgressSink* progressSink();

signals:
    void cancelRequested();

private:
    QString m_text;
    qint64 m_steps;
    qint64 m_done = 0;
    /// Per mille last reported, so that a long operation of many small steps
    /// does not redraw the sink each time.
    int m_reported = 0;
    bool m_cancellable;
    bool m_cancelRequested = false;
    ProgressSink* m_sink;
};

} // namespace Orvane

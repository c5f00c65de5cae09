#include "OperationStatus.h"

#include "ProgressSink.h"

#include <algorithm>

namespace Orvane {

namespace {

ProgressSink* currentSink = nullptr;

} // namespace

OperationStatus::OperationStatus(const QString& text, qint64 steps, bool cancellable, QObject* parent)
    : QObject(parent), m_text(text), m_steps(std::max<qint64>(steps, 0)), m_cancellable(cancellable),
      m_sink(currentSink)
{
    if (m_sink) {
        m_sink->operationStarted(this);
    }
}

OperationStatus::~OperationStatus()
{
    if (m_sink) {
        m_sink->operationEnded(this);
    }
}

void OperationStatus::addStep(int count)
{
    m_done = std::min(m_done + std::max(count, 0), m_steps);
    const int perMille = m_steps > 0 ? static_cast<int>(m_done * 1000 / m_steps) : 1000;
    if (perMille != m_reported) {
        m_reported = perMille;
        if (m_sink) {
            m_sink->operationProgressed(this);
        }
    }
}

void OperationStatus::cancel()
{
    if (!m_cancellable || m_cancelRequested) {
        return;
    }
    m_cancelRequested = true;
    emit cancelRequested();
}

void OperationStatus::setProgressSink(ProgressSink* sink)
{
    currentSink = sink;
}

ProgressSink* OperationStatus::progressSink()
{
    return currentSink;
}

} // namespace Orvane

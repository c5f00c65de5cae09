#pragma once

#include "OrvaneWidgets/OperationStatus.h"
#include "OrvaneWidgets/ProgressSink.h"

#include <QString>

#include <functional>

namespace docktest {

/// The host's progress display as the tests see it, while alive: what was
/// started, how far it got and when it ended.
class RecordingSink : public Orvane::ProgressSink
{
public:
    RecordingSink() { Orvane::OperationStatus::setProgressSink(this); }
    ~RecordingSink() override { Orvane::OperationStatus::setProgressSink(nullptr); }

    void operationStarted(Orvane::OperationStatus* status) override
    {
        current = status;
        ++started;
        text = status->text();
        steps = status->steps();
        cancellable = status->isCancellable();
        if (onStarted) {
            onStarted(status);
        }
    }
    void operationProgressed(Orvane::OperationStatus*) override {}
    void operationEnded(Orvane::OperationStatus* status) override
    {
        doneAtEnd = status->done();
        current = nullptr;
    }

    Orvane::OperationStatus* current = nullptr;
    int started = 0;
    QString text;
    qint64 steps = 0;
    qint64 doneAtEnd = 0;
    bool cancellable = false;
    /// Called when an operation starts, before it runs.
    std::function<void(Orvane::OperationStatus*)> onStarted;
};

} // namespace docktest

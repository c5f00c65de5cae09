#include "RecordingSink.h"

#include "Orvane/Widgets/OperationStatus.h"

namespace docktest {

RecordingSink::RecordingSink()
{
    Orvane::OperationStatus::setProgressSink(this);
}

RecordingSink::~RecordingSink()
{
    Orvane::OperationStatus::setProgressSink(nullptr);
}

void RecordingSink::operationStarted(Orvane::OperationStatus* status)
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

void RecordingSink::operationEnded(Orvane::OperationStatus* status)
{
    doneAtEnd = status->done();
    current = nullptr;
    ++ended;
}

} // namespace docktest

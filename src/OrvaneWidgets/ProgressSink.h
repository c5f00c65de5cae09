#pragma once

namespace Orvane {

class OperationStatus;

/// Where the host shows its running operations, for example as a progress
/// bar with the operation's text and a Cancel button in the status bar of
/// its main window. Every call comes on the user-interface thread.
class ProgressSink
{
public:
    virtual ~ProgressSink();

    virtual void operationStarted(OperationStatus* status) = 0;
    /// The number of steps done changed enough to be seen.
    virtual void operationProgressed(OperationStatus* status) = 0;
    /// The status is being deleted; it must not be used afterwards.
    virtual void operationEnded(OperationStatus* status) = 0;
};

} // namespace Orvane

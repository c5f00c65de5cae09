#pragma once

#include "OrvaneWidgets/ProgressSink.h"

#include <QMap>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace Orvane {

/// Shows each running OperationStatus in a status bar: its text, a progress
/// bar and, when the operation can be cancelled, a Cancel button.
class StatusBarProgress : public ProgressSink
{
public:
    explicit StatusBarProgress(QStatusBar* statusBar);
    ~StatusBarProgress() override;

    void operationStarted(OperationStatus* status) override;
    void operationProgressed(OperationStatus* status) override;
    void operationEnded(OperationStatus* status) override;

    int operationCount() const { return static_cast<int>(rows.size()); }
    /// Asks every cancellable operation to stop; they end on their own.
    void cancelAll();

private:
    void keepHeightOfARow();

    struct Row
    {
        QWidget* box = nullptr;
        QProgressBar* bar = nullptr;
    };

    QStatusBar* statusBar;
    QMap<OperationStatus*, Row> rows;
};

} // namespace Orvane

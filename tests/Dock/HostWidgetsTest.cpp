// The host's information banner and progress report.
#include "RecordingSink.h"

#include "Orvane/Widgets/InformationWidget.h"
#include "Orvane/Widgets/OperationStatus.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Orvane::InformationWidget;
using Orvane::OperationStatus;

TEST(InformationWidget, EachLevelKeepsTheLastMessage)
{
    using Level = InformationWidget::Level;
    InformationWidget widget;
    widget.setWarningMessage("warning");
    EXPECT_EQ(widget.level(), Level::Warning);
    EXPECT_EQ(widget.message(), "warning");
    widget.setErrorMessage("error");
    EXPECT_EQ(widget.level(), Level::Error);
    EXPECT_EQ(widget.message(), "error");
    widget.setInformationMessage("information");
    EXPECT_EQ(widget.level(), Level::Information);
    EXPECT_EQ(widget.message(), "information");
}

TEST(OperationStatus, ReportsToTheSinkUntilDeletedAndACancellableOneAsksOnce)
{
    OperationStatus cancellable("Working...", 10, true); // works without a sink
    EXPECT_EQ(OperationStatus::progressSink(), nullptr);
    QSignalSpy cancelRequests(&cancellable, &OperationStatus::cancelRequested);
    cancellable.cancel();
    cancellable.cancel();
    EXPECT_EQ(cancelRequests.count(), 1);
    EXPECT_TRUE(cancellable.isCancelRequested());

    docktest::RecordingSink sink;
    auto* status = new OperationStatus("Working...", 3, false);
    EXPECT_EQ(sink.current, status);
    EXPECT_EQ(sink.text, "Working...");
    EXPECT_EQ(sink.steps, 3);
    status->addStep(1);
    status->addStep(5); // never beyond the end
    status->addStep(-2);
    EXPECT_EQ(status->done(), 3);

    // Cancel means nothing to an operation that cannot stop.
    QSignalSpy cancelled(status, &OperationStatus::cancelRequested);
    status->cancel();
    EXPECT_EQ(cancelled.count(), 0);
    delete status;
    EXPECT_EQ(sink.ended, 1);
    EXPECT_EQ(sink.doneAtEnd, 3);
    EXPECT_EQ(sink.current, nullptr);
}

// The host's information banner and progress report.
#include "DockTestSupport.h"

#include "Orvane/Widgets/InformationWidget.h"
#include "Orvane/Widgets/OperationStatus.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Orvane::InformationWidget;
using Orvane::OperationStatus;

TEST(InformationWidget, EachLevelKeepsTheLastMessage)
{
    using Level = InformationWidget::Level;
    struct Case
    {
        void (InformationWidget::*set)(const QString&);
        Level level;
    };
    InformationWidget widget;
    for (const Case& c : {Case{&InformationWidget::setWarningMessage, Level::Warning},
                          Case{&InformationWidget::setErrorMessage, Level::Error},
                          Case{&InformationWidget::setInformationMessage, Level::Information}}) {
        const QString text = QString("message %1").arg(static_cast<int>(c.level));
        (widget.*c.set)(text);
        EXPECT_EQ(widget.level(), c.level);
        EXPECT_EQ(widget.message(), text);
    }
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

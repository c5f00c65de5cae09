// dock_bench: the material quantities dock on a large model, on the
// offscreen platform. Computes once through the compute button and prints:
// the computation's time from the click to the success signal, per building
// element too (the pass as the host runs it, on the dock's worker thread, to
// set beside the batch command's), the time from the success signal to both
// tables shown (totals, details,
// warning count, host selection mapped, dock repainted), and the largest
// gap between ticks of a 10 ms timer on the user-interface thread while the
// computation runs.
//
//   QT_QPA_PLATFORM=offscreen dock_bench FILE.ifc [--selection ROWS]
//
// The host selection (every tenth building element up to ROWS rows, 1000 by
// default) is made before the computation, as a user would. The settings come
// from a scratch store, never from the user's.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/OperationStatus.h"
#include "OrvaneWidgets/ProgressSink.h"
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

/// Times the dock's handling of the end of the computation: from the end of
/// the progress report (the first thing the success slot does) to the first
/// event after the slot returns, with a repaint of the dock in between.
class TimingSink : public Orvane::ProgressSink
{
public:
    /// sinceClick: started when the compute button is clicked.
    TimingSink(QWidget* dock, const QElapsedTimer& sinceClick) : m_dock(dock), m_sinceClick(sinceClick) {}
    void operationStarted(Orvane::OperationStatus*) override { m_running = true; }
    void operationProgressed(Orvane::OperationStatus*) override {}
    void operationEnded(Orvane::OperationStatus*) override
    {
        m_running = false;
        if (!m_armed) {
            return; // an operation before the click: the reading of stored results
        }
        m_computationMs = m_sinceClick.nsecsElapsed() / 1e6;
        m_cpuAtEnd = std::clock();
        m_display.start();
        QTimer::singleShot(0, [this] {
            m_dock->repaint();
            m_displayMs = m_display.nsecsElapsed() / 1e6;
            QCoreApplication::quit();
        });
    }
    /// From now on, the end of an operation is the computation's.
    void arm() { m_armed = true; }
    bool isRunning() const { return m_running; }
    double displayMs() const { return m_displayMs; }
    double computationMs() const { return m_computationMs; }
    std::clock_t cpuAtEnd() const { return m_cpuAtEnd; }

private:
    QWidget* m_dock;
    const QElapsedTimer& m_sinceClick;
    QElapsedTimer m_display;
    double m_computationMs = 0.0;
    bool m_armed = false;
    std::clock_t m_cpuAtEnd = 0;
    double m_displayMs = 0.0;
    bool m_running = false;
};

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.ifc [--selection ROWS]\n", argv[0]);
        return 2;
    }
    int selection = 1000;
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--selection") == 0) {
            selection = std::atoi(argv[i + 1]);
        }
    }
    log4cplus::Initializer initializer;
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels()); // as the host application
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    QElapsedTimer clock;
    clock.start();
    QString error;
    auto model = Orvane::_ifc2x3::IFC2x3Model::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!model) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QList<int> rows = Orvane::MaterialQuantitiesCalculator::getBuildingElementRows(model.get());
    std::printf("opened in %.0f ms: %d building elements\n", clock.nsecsElapsed() / 1e6, rows.size());
    for (int i = 0, selected = 0; i < rows.size() && selected < selection; i += 10, ++selected) {
        model->selectionModel()->select(model->index(rows[i], 0), QItemSelectionModel::Select);
    }

    Orvane::MaterialQuantitiesDockWidget dock;
    dock.resize(363, 900);
    dock.show();
    TimingSink sink(&dock, clock);
    Orvane::OperationStatus::setProgressSink(&sink);
    dock.setModel(model.get());
    // The model's stored results are read on a worker first, the model busy
    // meanwhile: the computation can start once they show.
    while (dock.isReadingResults() || sink.isRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }

    // The user-interface thread's responsiveness: the largest gap between
    // two ticks of a 10 ms timer while the computation runs.
    QElapsedTimer sinceTick;
    qint64 largestGap = 0;
    int ticks = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sink.isRunning() && sinceTick.isValid()) {
            largestGap = std::max(largestGap, sinceTick.nsecsElapsed());
            ++ticks;
        }
        sinceTick.start();
    });
    ticker.start(10);

    clock.restart();
    // On a busy machine the process's CPU time tells the pass's cost better
    // than the clock.
    const std::clock_t cpuAtClick = std::clock();
    sink.arm();
    dock.findChild<QPushButton*>(QStringLiteral("computeQuantitiesPushButton"))->click();
    sinceTick.start();
    app.exec();
    const double totalMs = clock.nsecsElapsed() / 1e6;
    Orvane::OperationStatus::setProgressSink(nullptr);

    const auto* table = dock.findChild<QAbstractItemView*>(QStringLiteral("detailedMaterialQuantitiesTableView"));
    const double computationCpuMs = (sink.cpuAtEnd() - cpuAtClick) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("computation: %.0f ms (%.0f ms of CPU), %.2f us per building element (%.2f us of CPU)\n",
                sink.computationMs(), computationCpuMs,
                rows.isEmpty() ? 0.0 : sink.computationMs() * 1000.0 / rows.size(),
                rows.isEmpty() ? 0.0 : computationCpuMs * 1000.0 / rows.size());
    std::printf("computation and display: %.0f ms\n", totalMs);
    std::printf("from success to results shown: %.1f ms (%d table rows, %d rows selected)\n", sink.displayMs(),
                table->model() ? table->model()->rowCount() : 0,
                static_cast<int>(table->selectionModel()->selectedRows().size()));
    std::printf("largest gap between 10 ms ticks while computing: %.1f ms over %d ticks\n", largestGap / 1e6, ticks);
    return 0;
}

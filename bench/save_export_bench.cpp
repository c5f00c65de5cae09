// save_export_bench: how long the user-interface thread is blocked while the
// main window saves a large model and while the dock writes its two
// workbooks, the work being done on worker threads. A 10 ms timer ticks on
// the user-interface thread; the largest gap between two ticks (the time
// before the first tick and after the last one included) is what the user
// would feel as a freeze. The same work done on the user-interface thread,
// as before, is timed for comparison.
//
//   QT_QPA_PLATFORM=offscreen save_export_bench FILE.ifc
//
// FILE is copied to a scratch folder first: the save replaces the copy.
// Results are computed beforehand, so that the model is modified and the
// workbooks have rows. Settings come from a scratch store. The model is then
// saved once more with its table redrawn during the save: a view that reads
// the model waits for the data set's lock, which the save holds.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "TickGaps.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/ModelDocument.h"
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double timed(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

/// Clicks an export button of the dock, answers its dialog with path and
/// returns once the model is no longer busy; gaps measured from the answer.
double exportThroughDock(QApplication& app, Orvane::MaterialQuantitiesDockWidget& dock, Orvane::Model& model,
                         const char* slot, const QString& path, bench::TickGaps& gaps, double* wallMs)
{
    QElapsedTimer clock;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            answer.stop();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog*>(dialog)->accept();
            gaps.start();
            clock.start();
        }
    });
    answer.start(20);
    const auto ended = QObject::connect(&model, &Orvane::Model::busyChanged, [&](bool busy) {
        if (!busy) {
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    QTimer::singleShot(0, &dock, [&dock, slot] { QMetaObject::invokeMethod(&dock, slot); });
    app.exec();
    QObject::disconnect(ended);
    *wallMs = clock.nsecsElapsed() / 1e6;
    return gaps.stop();
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.ifc\n", argv[0]);
        return 2;
    }
    log4cplus::Initializer initializer;
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels()); // as the host application
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir scratch;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
    const QString file = scratch.filePath(QFileInfo(QString::fromLocal8Bit(argv[1])).fileName());
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), file)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }

    Orvane::MainWindow window;
    window.resize(1400, 850);
    auto* dock = new Orvane::MaterialQuantitiesDockWidget(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    window.show();
    QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
    window.openFile(file);
    if (!opened.wait(600000) || !opened.first().at(1).toBool()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    auto* model = window.activeDocument()->model();
    const Orvane::MaterialQuantitiesSettings settings;
    const QList<int> rows = Orvane::MaterialQuantitiesCalculator::getBuildingElementRows(model);
    const double computeMs = timed([&] { Orvane::MaterialQuantitiesCalculator(model, settings).computeQuantities(); });
    dock->setModel(model);
    // The rows the computation announced reach the views, as they do long
    // before a user saves.
    QTest::qWait(500);
    std::printf("%d building elements, results computed in %.0f ms\n", rows.size(), computeMs);

    bench::TickGaps gaps;
    // Saved on the window's thread, as File > Save did.
    const QString onThread = scratch.filePath("on-thread.ifc");
    const double syncSaveMs = timed([&] { model->save(onThread); });
    std::printf("save on the user-interface thread: %.0f ms blocked (%.0f MB)\n", syncSaveMs,
                QFileInfo(onThread).size() / 1e6);
    QFile::remove(onThread);
    gaps.start();
    const double saveMs = timed([&] { window.save(); });
    const double saveGap = gaps.stop();
    std::printf("File > Save on a worker: %.0f ms, largest gap between 10 ms ticks %.1f ms over %d ticks\n", saveMs,
                saveGap, gaps.ticks());
    // A view of the model drawn again meanwhile (scrolled, say) reads it
    // under the data set's lock, which the save holds throughout.
    auto* view = window.findChild<QAbstractItemView*>(QStringLiteral("modelView"));
    QTimer::singleShot(100, view, [view] { view->viewport()->repaint(); });
    gaps.start();
    window.save();
    std::printf("File > Save with the model's table redrawn 100 ms in: largest gap %.1f ms\n", gaps.stop());

    // The two exports as the dock's worker writes them, on this thread.
    const QString pmdOnThread = scratch.filePath("pmd-on-thread.xlsx");
    const double syncPmdMs = timed([&] {
        Orvane::MaterialTotalQuantitiesModel totals;
        totals.fillFromModel(model, settings);
        Orvane::MaterialQuantitiesCalculator calculator(model, settings);
        Orvane::MaterialQuantitiesProxyModel details(settings.totalQuantitiesPropertySetName);
        details.setQuantityPathReader([&](const QModelIndex& source) { return calculator.getQuantityPath(source); });
        details.setSourceModel(model);
        Orvane::QuantitiesWorkbookExport::exportQuantities(&totals, &details, pmdOnThread);
    });
    const double syncComponentsMs =
        timed([&] { Orvane::ModelComponentsExcelExport().exportComponents(model, scratch.filePath("c.xlsx")); });
    std::printf("exports on the user-interface thread: PMD %.0f ms, components %.0f ms blocked\n", syncPmdMs,
                syncComponentsMs);

    double wallMs = 0.0;
    const double pmdGap = exportThroughDock(app, *dock, *model, "on_exportPMDPushButton_clicked",
                                            scratch.filePath("pmd.xlsx"), gaps, &wallMs);
    std::printf("Export PMD on a worker: %.0f ms, largest gap %.1f ms over %d ticks (%.1f MB)\n", wallMs, pmdGap,
                gaps.ticks(), QFileInfo(scratch.filePath("pmd.xlsx")).size() / 1e6);
    const double componentsGap = exportThroughDock(app, *dock, *model, "on_exportComponentsPushButton_clicked",
                                                   scratch.filePath("components.xlsx"), gaps, &wallMs);
    std::printf("Export components on a worker: %.0f ms, largest gap %.1f ms over %d ticks\n", wallMs, componentsGap,
                gaps.ticks());
    return 0;
}

// open_activate_bench: how long the user-interface thread is blocked when
// the main window opens a model that carries results, with the material
// quantities dock beside it, and when that model is made active again by
// switching tabs. A 10 ms timer ticks on the user-interface thread; the
// largest gap between two ticks is what the user would feel as a freeze.
// The time the dock takes to take the model (setModel) is printed apart, and
// when the results it reads on a worker show.
//
//   QT_QPA_PLATFORM=offscreen open_activate_bench FILE.ifc [--sorted-by COLUMN]
//
// With --sorted-by, the details are sorted by that column (3: the first
// material) before the switches, as a user's sort is kept.
//
// FILE's results are computed first and saved in a scratch folder, beside a
// copy of FILE without them: the window opens both, then switches between
// them three times.
#include "BenchSupport.h"
#include "TickGaps.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/ModelDocument.h"
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <cstdio>

namespace {

/// Saves FILE with its results computed as withResults.
bool saveWithResults(const QString& file, const QString& withResults)
{
    QString error;
    auto model = Orvane::_ifc2x3::IFC2x3Model::open(file, &error);
    if (!model) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    Orvane::MaterialQuantitiesCalculator(model.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities();
    return model->save(withResults);
}

/// Lets the window draw what the last step changed.
void settle()
{
    QTest::qWait(300);
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.ifc [--sorted-by COLUMN]\n", argv[0]);
        return 2;
    }
    const int sortedBy = bench::intArgument(argc, argv, "--sorted-by", 0);
    log4cplus::Initializer initializer;
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels()); // as the host application
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir scratch;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString withResults = scratch.filePath("with-results.ifc");
    const QString without = scratch.filePath("without-results.ifc");
    if (!QFile::copy(source, without) || !saveWithResults(source, withResults)) {
        std::fprintf(stderr, "cannot prepare %s\n", argv[1]);
        return 1;
    }
    std::printf("model with results: %.0f MB\n", QFileInfo(withResults).size() / 1e6);

    Orvane::MainWindow window;
    window.resize(1400, 850);
    auto* dock = new Orvane::MaterialQuantitiesDockWidget(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    double setModelMs = 0.0;
    QObject::connect(&window, &Orvane::MainWindow::activeModelChanged, dock, [&](Orvane::Model* model) {
        QElapsedTimer clock;
        clock.start();
        dock->setModel(model);
        setModelMs = clock.nsecsElapsed() / 1e6;
    });
    window.show();
    settle();

    bench::TickGaps gaps;
    const auto open = [&](const QString& file, const char* what) {
        QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
        QElapsedTimer clock;
        clock.start();
        gaps.start();
        window.openFile(file);
        if (!opened.wait(600000) || !opened.first().at(1).toBool()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
            std::exit(1);
        }
        const double openMs = clock.nsecsElapsed() / 1e6;
        // The dock reads the model's results on a worker, then shows them.
        while (window.activeDocument()->model()->isBusy()) {
            QTest::qWait(5);
        }
        const double shownMs = clock.nsecsElapsed() / 1e6;
        settle();
        const double largestGap = gaps.stop();
        std::printf("open %s: %.0f ms, results shown at %.0f ms, dock took the model in %.1f ms, largest gap %.1f ms "
                    "(ended at %.0f ms) over %d ticks\n",
                    what, openMs, shownMs, setModelMs, largestGap, gaps.largestEndedAt(), gaps.ticks());
    };
    open(withResults, "the model with results");
    const auto* table = dock->findChild<QAbstractItemView*>(QStringLiteral("detailedMaterialQuantitiesTableView"));
    std::printf("  %d rows in the dock's table\n", table->model() ? table->model()->rowCount() : 0);
    open(without, "the model without results");

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("modelTabs"));
    if (sortedBy > 0) {
        // The user sorted the details by a material's mass: the order is
        // kept for every model shown.
        tabs->setCurrentIndex(0);
        settle();
        auto* header = table->findChild<QHeaderView*>();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(sortedBy) + 5, header->height() / 2));
        settle();
        std::printf("details sorted by %s\n",
                    qPrintable(table->model()->headerData(sortedBy, Qt::Horizontal).toString()));
    }
    for (int run = 0; run < 3; ++run) {
        for (const int index : {0, 1}) {
            gaps.start();
            tabs->setCurrentIndex(index);
            settle();
            std::printf("activate the model %s: dock took it in %.1f ms, largest gap %.1f ms\n",
                        index == 0 ? "with results" : "without results", setModelMs, gaps.stop());
        }
    }
    return 0;
}

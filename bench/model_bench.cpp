// model_bench: the cost of the result models on a computed model, as the
// dock uses them: building the detailed table, sorting it by a material,
// mapping a large table selection back to the host's rows, filling the
// totals.
//
//   model_bench FILE.ifc [--runs N] [--selection ROWS]
//
// A model that carries no results yet is computed first. Each step runs N
// times (3 by default) on fresh objects; the first run and the median are
// printed, as wall time and as this thread's CPU time (other work on the
// machine inflates the first, not the second). The settings come from a
// scratch store, never from the user's.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"
#include "ifc2x3/ExpressDataSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Orvane::MaterialQuantitiesProxyModel;
using Orvane::MaterialQuantitiesSortProxyModel;
using Orvane::MaterialTotalQuantitiesModel;
using Orvane::_ifc2x3::IFC2x3Model;

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Sample
{
    double wall;
    double cpu;
};

/// Runs prepare (untimed) then step (timed) n times.
std::vector<Sample> measure(int runs, const std::function<void()>& prepare, const std::function<void()>& step)
{
    std::vector<Sample> samples;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer wall;
        const double cpu = threadSeconds();
        wall.start();
        step();
        samples.push_back({static_cast<double>(wall.nsecsElapsed()) * 1e-9, threadSeconds() - cpu});
    }
    return samples;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* what, const std::vector<Sample>& samples, double target)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Sample& s : samples) {
        wall.push_back(s.wall);
        cpu.push_back(s.cpu);
    }
    const double wallMedian = median(wall);
    const double cpuMedian = median(cpu);
    std::printf("%-34s first %8.1f ms (cpu %8.1f)   median %8.1f ms (cpu %8.1f)   target %6.0f ms: %s\n", what,
                samples.front().wall * 1e3, samples.front().cpu * 1e3, wallMedian * 1e3, cpuMedian * 1e3, target * 1e3,
                cpuMedian <= target ? "met" : "MISSED");
}

bool hasResults(IFC2x3Model& model, const Orvane::MaterialQuantitiesSettings& settings)
{
    const auto& projects = model.dataSet()->getAllIfcProject();
    return !projects.empty() &&
           model.getProperty(model.index(projects.front().get()),
                             QStringLiteral("Properties/") + settings.totalQuantitiesPropertySetName);
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    log4cplus::Initializer logging;
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    const char* file = nullptr;
    int runs = 3;
    int selectionRows = 10000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--selection") == 0 && i + 1 < argc) {
            selectionRows = std::max(1, std::atoi(argv[++i]));
        } else {
            file = argv[i];
        }
    }
    if (!file) {
        std::fprintf(stderr, "usage: model_bench FILE.ifc [--runs N] [--selection ROWS]\n");
        return 2;
    }

    QElapsedTimer timer;
    timer.start();
    QString error;
    std::unique_ptr<IFC2x3Model> model = IFC2x3Model::open(QString::fromLocal8Bit(file), &error);
    if (!model) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("opened %s: %d rows in %.1f s\n", file, model->rowCount(), timer.elapsed() / 1e3);

    const Orvane::MaterialQuantitiesSettings settings;
    QMap<int, QString> paths;
    if (!hasResults(*model, settings)) {
        timer.restart();
        Orvane::MaterialQuantitiesCalculator calculator(model.get(), settings);
        if (!calculator.computeQuantities()) {
            std::fprintf(stderr, "the computation found no quantities\n");
            return 1;
        }
        paths = calculator.getQuantitiesPropPathMap();
        std::printf("computed in %.1f s\n", timer.elapsed() / 1e3);
    }

    // Building the detailed table.
    std::unique_ptr<MaterialQuantitiesProxyModel> detailed;
    const auto newDetailed = [&] {
        detailed = std::make_unique<MaterialQuantitiesProxyModel>(settings.totalQuantitiesPropertySetName);
        detailed->setQuantitiesPropPathMap(paths);
    };
    report("detailed model (setSourceModel)",
           measure(runs, newDetailed, [&] { detailed->setSourceModel(model.get()); }), 0.5);
    std::printf("  %d rows, %d columns\n", detailed->rowCount(), detailed->columnCount());
    if (detailed->columnCount() < 5 || detailed->rowCount() == 0) {
        std::fprintf(stderr, "no material column to sort by\n");
        return 1;
    }

    // Sorting by the first material, as a click on its header does: each
    // run on a new detailed model, whose values are read for the first time.
    std::unique_ptr<MaterialQuantitiesSortProxyModel> sorted;
    const auto newSorted = [&] {
        sorted.reset();
        newDetailed();
        detailed->setSourceModel(model.get());
        sorted = std::make_unique<MaterialQuantitiesSortProxyModel>();
        sorted->setSourceModel(detailed.get());
    };
    report("sort by a material column", measure(runs, newSorted, [&] { sorted->sort(3, Qt::DescendingOrder); }), 1.0);
    // Sorting again by the same column, and a check-box click, which makes
    // the sort layer sort anew (the detailed model announces it as a layout
    // change).
    int resorts = 0;
    report("sort again (values known)",
           measure(
               runs, [] {}, [&] { sorted->sort(3, ++resorts % 2 ? Qt::AscendingOrder : Qt::DescendingOrder); }),
           1.0);
    report("check-box click in sorted table",
           measure(
               runs, [] {}, [&] { sorted->setData(sorted->index(0, 0), Qt::Unchecked, Qt::CheckStateRole); }),
           1.0);

    // A selection of the first rows of the sorted table, mapped to the
    // host's rows through both layers (scattered source rows).
    const int rows = std::min(selectionRows, sorted->rowCount());
    const QItemSelection table(sorted->index(0, 0), sorted->index(rows - 1, sorted->columnCount() - 1));
    QItemSelection inHost;
    report("selection to source (10k rows)",
           measure(
               runs, [] {}, [&] { inHost = detailed->mapSelectionToSource(sorted->mapSelectionToSource(table)); }),
           0.05);
    std::printf("  %d table rows -> %d host ranges\n", rows, static_cast<int>(inHost.size()));
    QItemSelection back;
    report("selection from source (10k rows)",
           measure(
               runs, [] {}, [&] { back = sorted->mapSelectionFromSource(detailed->mapSelectionFromSource(inHost)); }),
           0.05);

    // The totals.
    std::unique_ptr<MaterialTotalQuantitiesModel> totals;
    report("totals model (fillFromModel)",
           measure(
               runs, [&] { totals = std::make_unique<MaterialTotalQuantitiesModel>(); },
               [&] { totals->fillFromModel(model.get(), settings); }),
           0.05);
    std::printf("  %d materials\n", totals->rowCount());
    return 0;
}

// property_bench: the cost of reading element properties through the host's
// property paths, alone and as the material quantities calculator reads them,
// and of counting the building elements a path resolves on, as the settings
// page does.
//
//   property_bench FILE.ifc [--passes N] [--compute]
//
// The first pass also decodes the records it touches; later passes show
// the steady cost of path resolution. Times are the thread's CPU time, so
// that other work on the machine does not count. The settings come from a
// scratch store, never from the user's. With --compute, a whole
// computation pass (reads and writes) is timed last.
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/PropertyPathResolution.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/logger.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

/// CPU time of this thread, in seconds.
struct Clock
{
    using time_point = double;
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double secondsSince(double start)
{
    return Clock::now() - start;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/// Keeps results alive so the compiler cannot drop the reads.
volatile double sink = 0.0;

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.ifc [--passes N]\n", argv[0]);
        return 2;
    }
    int passes = 5;
    bool compute = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc) {
            passes = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--compute") == 0) {
            compute = true;
        }
    }

    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QCoreApplication::setOrganizationName(QStringLiteral("property_bench"));
    QCoreApplication::setApplicationName(QStringLiteral("property_bench"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    // Elements without inputs are logged; what is measured is the reading,
    // not the log sink.
    log4cplus::Logger::getInstance("Orvane.Plugins.tool.MaterialQuantities").setLogLevel(log4cplus::OFF_LOG_LEVEL);

    double start = Clock::now();
    QString error;
    std::unique_ptr<Orvane::_ifc2x3::IFC2x3Model> model = Orvane::_ifc2x3::IFC2x3Model::open(argv[1], &error);
    if (!model) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double openSeconds = secondsSince(start);

    start = Clock::now();
    const QList<int> rows = Orvane::MaterialQuantitiesCalculator::getBuildingElementRows(model.get());
    const double listSeconds = secondsSince(start);
    std::vector<QModelIndex> indexes;
    indexes.reserve(static_cast<std::size_t>(rows.size()));
    for (int row : rows) {
        indexes.push_back(model->index(row, 0));
    }
    const double count = static_cast<double>(indexes.size());
    std::printf("file              %s\n", argv[1]);
    std::printf("rows              %d (%zu building elements)\n", model->rowCount(), indexes.size());
    std::printf("open              %.3f s\n", openSeconds);
    std::printf("list elements     %.3f s\n", listSeconds);

    const Orvane::MaterialQuantitiesSettings settings;
    std::vector<double> quantitiesTimes;
    std::size_t withQuantities = 0;
    for (int pass = 0; pass <= passes; ++pass) {
        // A new calculator per pass: it caches functional unit values by row.
        Orvane::MaterialQuantitiesCalculator calculator(model.get(), settings);
        withQuantities = 0;
        start = Clock::now();
        for (const QModelIndex& index : indexes) {
            const QMap<QString, double> quantities = calculator.getQuantities(index);
            withQuantities += quantities.isEmpty() ? 0 : 1;
        }
        const double perElement = secondsSince(start) / count * 1e6;
        if (pass == 0) {
            std::printf("getQuantities     %.2f us/element, first pass (decodes records)\n", perElement);
        } else {
            quantitiesTimes.push_back(perElement);
        }
    }
    std::printf("getQuantities     %.2f us/element (median of %d passes, %zu elements with quantities)\n",
                median(quantitiesTimes), passes, withQuantities);

    const struct
    {
        const char* label;
        QString path;
    } paths[] = {
        {"element quantity", QStringLiteral("Properties/BaseQuantities/NetVolume")},
        {"type property", QStringLiteral("Type/Properties/Unite_Fonctionnelle/Masse_par_UF")},
        {"attribute", QStringLiteral("Fields/Name")},
        {"missing set", QStringLiteral("Properties/NoSuchSet/Value")},
    };
    for (const auto& p : paths) {
        const QStringList components = Orvane::CoreProperty::getPropertyPath(p.path);
        std::vector<double> resolveTimes;
        std::vector<double> valueTimes;
        for (int pass = 0; pass < passes; ++pass) {
            start = Clock::now();
            for (const QModelIndex& index : indexes) {
                sink = sink + (model->getProperty(index, components) ? 1.0 : 0.0);
            }
            resolveTimes.push_back(secondsSince(start) / count * 1e6);
            start = Clock::now();
            for (const QModelIndex& index : indexes) {
                if (const Step::RefPtr<Orvane::CoreProperty> property = model->getProperty(index, components)) {
                    sink = sink + property->numericValue().toDouble();
                }
            }
            valueTimes.push_back(secondsSince(start) / count * 1e6);
        }
        std::printf("getProperty       %.2f us/call, with numericValue %.2f us  %-17s %s\n", median(resolveTimes),
                    median(valueTimes), p.label, qPrintable(p.path));
    }

    // What the settings page spends telling on how many elements a path
    // resolves: the elements grouped by type once, then each path.
    start = Clock::now();
    Orvane::PropertyPathResolution resolution(*model);
    const int typed = resolution.count(QStringLiteral("Type/Fields/Name"));
    std::printf("path resolution   %.3f s to list the elements and group them by type (%d typed)\n",
                secondsSince(start), typed);
    for (const auto& p : paths) {
        start = Clock::now();
        const int found = resolution.count(p.path);
        std::printf("path resolution   %.3f s, found on %d  %-17s %s\n", secondsSince(start), found, p.label,
                    qPrintable(p.path));
    }

    if (compute) {
        // Each element's results are written as soon as it is read, so the
        // reads of the next element find the model just changed.
        Orvane::MaterialQuantitiesCalculator calculator(model.get(), settings);
        start = Clock::now();
        const bool computed = calculator.computeQuantities();
        std::printf("computeQuantities %.2f us/element (%s)\n", secondsSince(start) / count * 1e6,
                    computed ? "quantities written" : "nothing computed");
        QCoreApplication::processEvents();
    }
    return 0;
}

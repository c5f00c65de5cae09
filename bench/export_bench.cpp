// export_bench: the cost of writing a large result table as a workbook sheet
// with modelToExcelExport, and of adding a sheet to that workbook afterwards
// (which reads every cell of it back).
//
//   export_bench [--rows N] [--columns N] [--passes N] [--write-only]
//
// The table is shaped like the detailed quantities: a status column, name and
// type texts, one number per material and the quantity path text. Both wall
// time and the process's CPU time are given: the writer runs on one thread,
// so CPU time shows its cost when the machine is busy with other work.
#include "OrvaneXlsx/ModelToExcelExport.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

class DetailsLikeModel : public QAbstractTableModel
{
public:
    DetailsLikeModel(int rows, int columns) : m_rows(rows), m_columns(std::max(columns, 4)) {}

    int rowCount(const QModelIndex& = QModelIndex()) const override { return m_rows; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return m_columns; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        if (section == 0) {
            return QString();
        }
        if (section == 1) {
            return QStringLiteral("Name");
        }
        if (section == 2) {
            return QStringLiteral("Type");
        }
        if (section == m_columns - 1) {
            return QStringLiteral("Quantity property path");
        }
        return QStringLiteral("Matériau %1").arg(section - 2);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole) {
            return {};
        }
        const int row = index.row();
        const int column = index.column();
        if (column == 0) {
            return {};
        }
        if (column == 1) {
            return QStringLiteral("Mur béton 20 cm n°%1").arg(row);
        }
        if (column == 2) {
            return m_types.at(row % m_types.size());
        }
        if (column == m_columns - 1) {
            return m_path;
        }
        const double mass = (row % 997) * 1.25 + column * 0.5;
        // The display role formats; the export takes the edit role's number.
        return role == Qt::EditRole ? QVariant(mass) : QVariant(QString::number(mass, 'f', 2) + QStringLiteral(" kg"));
    }

private:
    int m_rows;
    int m_columns;
    QStringList m_types{"Mur béton 20", "Cloison plâtre 10", "Dalle béton 25", "Poutre acier", "Fenêtre bois"};
    QString m_path = QStringLiteral("Properties/BaseQuantities/NetVolume");
};

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Timing
{
    double wall;
    double cpu;
};

template <class F> Timing measure(F&& run)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    run();
    return {timer.nsecsElapsed() * 1e-9, cpuSeconds() - cpu};
}

Timing median(std::vector<Timing> timings)
{
    std::sort(timings.begin(), timings.end(), [](const Timing& a, const Timing& b) { return a.wall < b.wall; });
    return timings[timings.size() / 2];
}

int intArgument(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::max(1, std::atoi(argv[i + 1]));
        }
    }
    return fallback;
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QCoreApplication app(argc, argv);
    const int rows = intArgument(argc, argv, "--rows", 100000);
    const int columns = intArgument(argc, argv, "--columns", 25);
    const int passes = intArgument(argc, argv, "--passes", 3);
    const bool writeOnly = std::find_if(argv + 1, argv + argc, [](const char* argument) {
                               return std::strcmp(argument, "--write-only") == 0;
                           }) != argv + argc;

    QTemporaryDir dir;
    const QString path = dir.filePath("details.xlsx");
    DetailsLikeModel details(rows, columns);
    DetailsLikeModel totals(20, 4);

    std::vector<Timing> writes;
    std::vector<Timing> additions;
    for (int pass = 0; pass < passes; ++pass) {
        bool ok = true;
        QString error;
        writes.push_back(
            measure([&] { ok = Orvane::modelToExcelExport(&details, path, "Details quantities", false, &error); }));
        if (!ok) {
            std::fprintf(stderr, "export_bench: %s\n", qPrintable(error));
            return 1;
        }
        if (writeOnly) {
            continue;
        }
        additions.push_back(
            measure([&] { ok = Orvane::modelToExcelExport(&totals, path, "Total quantities", true, &error); }));
        if (!ok) {
            std::fprintf(stderr, "export_bench: %s\n", qPrintable(error));
            return 1;
        }
    }
    const Timing write = median(writes);
    const double cells = static_cast<double>(rows) * columns;
    std::printf("sheet: %d rows x %d columns (%.1f M cells), %d passes, medians\n", rows, columns, cells / 1e6, passes);
    std::printf("write sheet        : %6.2f s wall, %6.2f s CPU, %5.2f M cells/s (CPU), file %.1f MB\n", write.wall,
                write.cpu, cells / write.cpu / 1e6, QFileInfo(path).size() / 1e6);
    if (!writeOnly) {
        const Timing addition = median(additions);
        std::printf("add a second sheet : %6.2f s wall, %6.2f s CPU (reads the large sheet back and rewrites it)\n",
                    addition.wall, addition.cpu);
    }
    return 0;
}

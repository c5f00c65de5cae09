// type_inputs_bench: the type inputs of a model as a workbook, out and back.
//
//   type_inputs_bench MODEL.ifc [--changed N]
//
// Opens the model, then times, as wall and process CPU time: the type inputs
// table (TypeInputsReader::read), its workbook (TypeInputsWorkbookExport),
// and the import (read and apply) of a workbook changing N types (500 by
// default): each one's mass and reuse flag, and the functional unit and
// composition of those that have none. That workbook is written, untimed,
// by the export itself from the table with those changes.
#include "BenchSupport.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include "Step/FaultGuard.h"
#include "Step/TemporaryFileRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/logger.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

using bench::cpuSeconds;
using bench::intArgument;

namespace {

/// Wall and CPU time of a phase, printed when it ends.
class Phase
{
public:
    explicit Phase(const char* name) : name(name), cpu(cpuSeconds()) { wall.start(); }
    void end(const QString& detail = QString()) const
    {
        std::printf("%-16s %.3f s wall, %.3f s CPU%s\n", name, wall.nsecsElapsed() * 1e-9, cpuSeconds() - cpu,
                    detail.isEmpty() ? "" : qPrintable(" (" + detail + ")"));
    }

private:
    const char* name;
    double cpu;
    QElapsedTimer wall;
};

void change(Orvane::TypeInputs& inputs, const QStringList& materials)
{
    const bool massIsNumber = inputs.massPerFunctionalUnit.userType() == QMetaType::Double;
    inputs.massPerFunctionalUnit.setValue(massIsNumber ? inputs.massPerFunctionalUnit.toDouble() + 1.0 : 100.0);
    inputs.reused = inputs.reused == 1 ? 0 : 1;
    if (inputs.functionalUnit.isNull()) {
        inputs.functionalUnit.setValue(QStringLiteral("volume"));
    }
    if (inputs.shares.isEmpty() && materials.size() >= 2) {
        inputs.shares = {{materials.at(0), 60.0}, {materials.at(1), 40.0}};
    }
}

/// The table with the inputs of its first `count` types changed.
Orvane::TypeInputsTable changed(Orvane::TypeInputsTable table, int count)
{
    const auto end = table.types.begin() + std::min(count, int(table.types.size()));
    std::for_each(table.types.begin(), end, [&](Orvane::TypeInputs& inputs) { change(inputs, table.materials); });
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: type_inputs_bench MODEL.ifc [--changed N]\n");
        return 2;
    }
    const int changes = intArgument(argc, argv, "--changed", 500);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QCoreApplication::setOrganizationName(QStringLiteral("type_inputs_bench"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    log4cplus::Logger::getRoot().setLogLevel(log4cplus::OFF_LOG_LEVEL);

    Phase opening("open");
    QString error;
    const auto model = Orvane::_ifc2x3::IFC2x3Model::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!model) {
        std::fprintf(stderr, "type_inputs_bench: %s\n", qPrintable(error));
        return 1;
    }
    opening.end(QStringLiteral("%1 rows").arg(model->rowCount()));
    const Orvane::MaterialQuantitiesSettings settings;

    Phase reading("read");
    const Orvane::TypeInputsTable table = Orvane::TypeInputsReader(model.get(), settings).read();
    reading.end(QStringLiteral("%1 types, %2 materials").arg(table.types.size()).arg(table.materials.size()));

    Phase exporting("export");
    if (!Orvane::TypeInputsWorkbookExport::write(table, dir.filePath("inputs.xlsx"), &error)) {
        std::fprintf(stderr, "type_inputs_bench: %s\n", qPrintable(error));
        return 1;
    }
    exporting.end();

    if (!Orvane::TypeInputsWorkbookExport::write(changed(table, changes), dir.filePath("changed.xlsx"), &error)) {
        std::fprintf(stderr, "type_inputs_bench: %s\n", qPrintable(error));
        return 1;
    }
    Phase importing("import");
    const auto read = Orvane::TypeInputsWorkbookImport::read(dir.filePath("changed.xlsx"), table);
    const int applied = read.isValid() ? Orvane::TypeInputsWorkbookImport::apply(
                                             read.changes, Orvane::TypeInputsWriter(model.get(), settings), &error)
                                       : -1;
    importing.end(QStringLiteral("%1 types changed").arg(applied));
    if (applied < 0) {
        std::fprintf(stderr, "type_inputs_bench: %s\n", qPrintable(read.isValid() ? error : read.error));
        return 1;
    }
    return 0;
}

// Times the dock's "Type inputs" page filling itself from an open model:
// the types read, the table model reset and the columns fitted, all on the
// user-interface thread.
//
//   type_inputs_page_bench MODEL.ifc
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsWidget.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>
#include <log4cplus/nullappender.h>

#include <cstdio>

int main(int argc, char** argv)
{
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s MODEL.ifc\n", argv[0]);
        return 2;
    }
    log4cplus::Initializer initializer;
    log4cplus::Logger::getRoot().addAppender(log4cplus::SharedAppenderPtr(new log4cplus::NullAppender));
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels()); // as the host application
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    QString error;
    auto model = Orvane::_ifc2x3::IFC2x3Model::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!model) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Orvane::TypeInputsWidget page;
    page.setSettings(Orvane::MaterialQuantitiesSettings::defaults());
    page.resize(900, 700);
    page.show();
    QElapsedTimer clock;
    clock.start();
    page.setModel(model.get());
    const double firstMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    page.refresh();
    const double againMs = clock.nsecsElapsed() / 1e6;
    std::printf("page filled in %.0f ms (%d types, %d columns); filled again in %.0f ms\n", firstMs,
                page.inputsModel()->rowCount(), page.inputsModel()->columnCount(), againMs);
    return 0;
}

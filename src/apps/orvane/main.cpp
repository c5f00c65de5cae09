// The desktop host: opens the IFC files given on the command line and starts
// the tools found in its plug-in folders.
#include "ApplicationLog.h"

#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/PluginManager.h"
#include "OrvaneWidgets/Translations.h"
#include "Step/FaultGuard.h"
#include "Step/MemoryPolicy.h"
#include "Step/TemporaryFileRegistry.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QScreen>

#include <log4cplus/initializer.h>

int main(int argc, char** argv)
{
    log4cplus::Initializer logInitializer;
    Step::MemoryPolicy::setCurrent(Step::MemoryPolicy::forLargeModels());
    Step::FaultGuard::install();
    Step::TemporaryFileRegistry::install();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/compost_heap.svg")));
    Orvane::installTranslations(application, QLocale());

    // Before the window, which stops the tools when it goes.
    Orvane::PluginManager plugins;
    Orvane::MainWindow window;
    window.setLogFileName(startApplicationLog());
    // The docks' first width is a share of this size; a small screen gets a
    // window that still fits on it.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    window.resize(QSize(1400, 850).boundedTo(screen * 0.9));
    window.startPlugins();
    window.show();
    const QStringList files = QCoreApplication::arguments().mid(1);
    for (const QString& file : files) {
        window.openFile(file);
    }
    return QApplication::exec();
}

// Takes the documentation's pictures from the real main window and plug-in:
// opens a model, computes its material quantities through the dock's button,
// then grabs the window and the settings dialog.
//
//   orvane-screenshots MODEL.ifc OUTPUT_FOLDER [SUFFIX]
#include "Orvane/Widgets/MainWindow.h"
#include "Orvane/Widgets/PluginManager.h"
#include "Orvane/Widgets/SettingsDialog.h"
#include "Orvane/Widgets/ToolInterface.h"
#include "Orvane/Widgets/Translations.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include <log4cplus/initializer.h>
#include <log4cplus/logger.h>

namespace {

const int patienceMs = 120000;

template <typename Condition> bool waitFor(Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < patienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return condition();
}

void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

bool save(QWidget* widget, const QString& fileName)
{
    const bool saved = widget->grab().save(fileName);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(fileName));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    log4cplus::Initializer logInitializer;
    // The sample's skipped elements would be logged to the terminal.
    log4cplus::Logger::getRoot().setLogLevel(log4cplus::OFF_LOG_LEVEL);
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: orvane-screenshots MODEL.ifc OUTPUT_FOLDER [SUFFIX]\n");
        return 2;
    }
    Orvane::installTranslations(application, QLocale());
    const QDir output(arguments.at(2));
    const QString suffix = arguments.value(3);

    Orvane::MainWindow window;
    Orvane::PluginManager::Get(&application, {});
    window.startPlugins();
    window.resize(1500, 900);
    window.show();
    // Wide enough for the result tables to show their columns.
    if (QDockWidget* dock = window.findChild<QDockWidget*>(QStringLiteral("MaterialQuantitiesDockWidget"))) {
        window.resizeDocks({dock}, {720}, Qt::Horizontal);
    }
    bool opened = false;
    QObject::connect(&window, &Orvane::MainWindow::fileOpened, [&opened] { opened = true; });
    window.openFile(arguments.at(1));
    auto* compute = window.findChild<QPushButton*>(QStringLiteral("computeQuantitiesPushButton"));
    if (!waitFor([&] { return opened; }) || !compute || !compute->isEnabled()) {
        std::fprintf(stderr, "the model could not be opened or the tool is missing\n");
        return 1;
    }
    compute->click();
    if (!waitFor([&] { return window.runningOperationCount() == 0 && window.isWindowModified(); })) {
        std::fprintf(stderr, "the computation did not end\n");
        return 1;
    }
    settle();
    bool saved = save(&window, output.filePath(QStringLiteral("main-window%1.png").arg(suffix)));

    Orvane::SettingsDialog dialog(&window);
    for (Orvane::ToolInterface* tool : Orvane::PluginManager::Get(nullptr, {})->tools()) {
        dialog.addPage(tool->settingsPage());
    }
    dialog.resize(900, 650);
    dialog.show();
    settle();
    saved = save(&dialog, output.filePath(QStringLiteral("settings-dialog%1.png").arg(suffix))) && saved;
    dialog.reject();
    window.stopPlugins();
    return saved ? 0 : 1;
}

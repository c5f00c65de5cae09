// The whole product used as a user uses it: the main window with the plug-in
// loaded from the build tree, a model opened, computed, saved and reopened.
#include "Orvane/Widgets/MainWindow.h"
#include "Orvane/Widgets/ModelDocument.h"
#include "Orvane/Widgets/PluginItem.h"
#include "Orvane/Widgets/PluginManager.h"
#include "Orvane/Widgets/ToolInterface.h"
#include "Orvane/Widgets/Translations.h"

#include <QAbstractItemView>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <functional>

#include <gtest/gtest.h>

namespace {

const int patienceMs = 120000;

/// Lets the window work until condition holds; false if it never does.
bool processEventsUntil(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < patienceMs) {
        QTest::qWait(20);
    }
    return condition();
}

bool openAndWait(Orvane::MainWindow& window, const QString& fileName)
{
    QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
    window.openFile(fileName);
    return processEventsUntil([&] { return !opened.isEmpty(); }) && opened.first().at(1).toBool();
}

int totalRows(const Orvane::MainWindow& window)
{
    auto* view = window.findChild<QAbstractItemView*>("totalMaterialQuantitiesTreeView");
    return view && view->model() ? view->model()->rowCount() : -1;
}

} // namespace

TEST(ApplicationTest, ComputedResultsAreSavedAndShownAgainWhenTheModelIsReopened)
{
    QSettings().clear();
    QTemporaryDir folder;
    const QString fileName = folder.filePath("small-building.ifc");
    ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", fileName));

    Orvane::MainWindow window;
    Orvane::PluginManager::Get(nullptr, {});
    window.startPlugins();
    window.show();
    ASSERT_TRUE(openAndWait(window, fileName));
    EXPECT_LE(totalRows(window), 0);

    auto* compute = window.findChild<QPushButton*>("computeQuantitiesPushButton");
    ASSERT_NE(compute, nullptr);
    ASSERT_TRUE(compute->isEnabled());
    QTest::mouseClick(compute, Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return window.runningOperationCount() == 0 && totalRows(window) > 0; }));
    ASSERT_TRUE(processEventsUntil([&] { return window.activeDocument()->isModified(); }));
    EXPECT_TRUE(window.windowTitle().contains("small-building.ifc"));
    EXPECT_TRUE(window.isWindowModified());
    const int rows = totalRows(window);

    ASSERT_TRUE(window.save());
    EXPECT_FALSE(window.activeDocument()->isModified());
    ASSERT_TRUE(window.closeActiveDocument());
    EXPECT_EQ(window.documentCount(), 0);
    EXPECT_EQ(window.activeModel(), nullptr);

    ASSERT_TRUE(openAndWait(window, fileName));
    EXPECT_EQ(totalRows(window), rows);
    EXPECT_FALSE(window.activeDocument()->isModified());
    window.close();
}

TEST(ApplicationTest, AFrenchRunShowsTheFrenchTexts)
{
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    EXPECT_GE(Orvane::installTranslations(*qApp, french), 2);
    Orvane::MainWindow window;
    window.startPlugins();
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_EQ(menus.first()->text(), "&Fichier");
    Orvane::ToolInterface* tool = Orvane::PluginManager::Get(nullptr, {})->tools().value(0);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->dockWidget()->windowTitle(), QString::fromUtf8("Quantités matière"));
    auto* compute = window.findChild<QPushButton*>("computeQuantitiesPushButton");
    ASSERT_NE(compute, nullptr);
    EXPECT_EQ(compute->text(), QString::fromUtf8("Calculer les quantités de matière"));
    window.close();
    QLocale::setDefault(QLocale::c());
}

// The material quantities plug-in loaded the way the host loads it.
#include "OrvaneWidgets/DockWidgetManager.h"
#include "OrvaneWidgets/ISettingsPage.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/PluginItem.h"
#include "OrvaneWidgets/PluginManager.h"
#include "OrvaneWidgets/PluginsDialog.h"
#include "OrvaneWidgets/ToolInterface.h"

#include <QAction>
#include <QDockWidget>
#include <QJsonArray>
#include <QLineEdit>
#include <QMap>
#include <QPluginLoader>
#include <QSettings>
#include <QTableWidget>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

/// The build tree's plug-ins, and the fixtures in a folder of the user's own,
/// named by the environment.
Orvane::PluginManager* pluginManager()
{
    static Orvane::PluginManager* manager = [] {
        qputenv("ORVANE_PLUGIN_PATH", "/nonexistent:" MQ_FIXTURE_PLUGIN_DIR);
        return new Orvane::PluginManager({QStringLiteral(MQ_PLUGIN_DIR)});
    }();
    return manager;
}

/// The tool started in a real main window, as the host starts it, and stopped
/// at the end of each test so that the next one gets a fresh object.
class PluginLifecycleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pluginManager();
        QSettings().clear();
        tool = qobject_cast<Orvane::ToolInterface*>(QPluginLoader(QStringLiteral(MQ_PLUGIN_FILE)).instance());
        ASSERT_NE(tool, nullptr);
        tool->initialize(&window);
    }
    void TearDown() override
    {
        if (tool) {
            tool->finalize();
            delete tool->settingsPage();
            delete tool;
        }
    }

    Orvane::MainWindow window;
    Orvane::ToolInterface* tool = nullptr;
};

} // namespace

TEST(PluginLoadTest, MetaDataIsReadWithoutLoading)
{
    QPluginLoader loader(QStringLiteral(MQ_PLUGIN_FILE));
    const QJsonObject top = loader.metaData();
    EXPECT_EQ(top.value("IID").toString(), QStringLiteral(OrvaneToolInterface_iid));
    EXPECT_EQ(top.value("className").toString(), "MaterialQuantities");
    EXPECT_EQ(top.value("version").toInt(), QT_VERSION_CHECK(QT_VERSION_MAJOR, QT_VERSION_MINOR, 0));
    const QJsonObject metaData = top.value("MetaData").toObject();
    // What the host reads before loading: who the tool is, its name in each
    // language and what it needs.
    EXPECT_EQ(metaData.value("Id").toString(), "Orvane.Plugin.tool.MaterialQuantities");
    EXPECT_EQ(metaData.value("Type").toString(), "Orvane::ToolInterface");
    const QJsonObject name = metaData.value("Name").toObject();
    EXPECT_EQ(name.value("en").toString(), "Material quantities");
    EXPECT_EQ(name.value("fr").toString(), "Quantités matière");
    EXPECT_EQ(metaData.value("Depends").toArray(), QJsonArray{"Orvane.Plugin.model.IFC"});
    EXPECT_FALSE(loader.isLoaded());
}

TEST(PluginLoadTest, LoadingRegistersTheQuantityPathMapAndGivesOneObject)
{
    EXPECT_EQ(QMetaType::type("QMap<int, QString>"), QMetaType::UnknownType);
    QPluginLoader loader(QStringLiteral(MQ_PLUGIN_FILE));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    const int typeId = QMetaType::type("QMap<int, QString>");
    EXPECT_NE(typeId, QMetaType::UnknownType);
    EXPECT_TRUE(
        QMetaType::hasRegisteredConverterFunction(typeId, qMetaTypeId<QtMetaTypePrivate::QAssociativeIterableImpl>()));

    QObject* first = loader.instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QPluginLoader(QStringLiteral(MQ_PLUGIN_FILE)).instance(), first);
    EXPECT_STREQ(first->metaObject()->className(), "Orvane::MaterialQuantities");
    delete first;
}

TEST_F(PluginLifecycleTest, EnablePutsTheDockAndActionInTheWindowAndDisableTakesThemOut)
{
    QDockWidget* dock = tool->dockWidget();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock->parentWidget(), &window);
    EXPECT_EQ(dock->windowTitle(), "Material quantities");
    EXPECT_FALSE(dock->toggleViewAction()->icon().isNull());
    ASSERT_NE(tool->settingsPage(), nullptr);

    ASSERT_TRUE(tool->enable());
    EXPECT_EQ(tool->toolState(), Orvane::ToolInterface::Enabled);
    EXPECT_EQ(window.dockWidgetManager()->dockWidget("MaterialQuantitiesDockWidget"), dock);
    EXPECT_EQ(window.dockWidgetArea(dock), Qt::RightDockWidgetArea);
    EXPECT_TRUE(window.toolBar()->actions().contains(tool->toolAction()));
    EXPECT_TRUE(dock->isEnabled());

    ASSERT_TRUE(tool->disable());
    EXPECT_EQ(window.dockWidgetManager()->dockWidget("MaterialQuantitiesDockWidget"), nullptr);
    EXPECT_FALSE(window.toolBar()->actions().contains(tool->toolAction()));
    EXPECT_FALSE(dock->isEnabled());
}

TEST_F(PluginLifecycleTest, TheSettingsDialogGetsTheQuantitiesPageThenTheMaterialLibrarys)
{
    const QList<Orvane::ISettingsPage*> pages = tool->settingsPages();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages.at(0), tool->settingsPage());
    EXPECT_EQ(pages.at(1)->getName(), "Material library");
}

TEST_F(PluginLifecycleTest, FinalizeSavesAppliedSettingsWithoutThePageBeingSaved)
{
    Orvane::ISettingsPage* page = tool->settingsPage();
    ASSERT_NE(page, nullptr);
    QWidget parent;
    page->createWidgets(&parent);
    auto* edit = parent.findChild<QLineEdit*>("functionalUnitPropertyPathLineEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText("Type/Properties/Pset_Custom/Unit");
    emit edit->textEdited(edit->text());
    page->apply();

    tool->finalize();
    delete page;
    delete tool;
    tool = nullptr;
    EXPECT_EQ(QSettings().value("Tool/MaterialQuantities/functionalUnitPropertyPath").toString(),
              "Type/Properties/Pset_Custom/Unit");
}

TEST(PluginFolderTest, UnusableLibrariesAreListedWithTheirReasonAndTheToolStillStarts)
{
    QSettings().clear();
    Orvane::PluginManager* manager = pluginManager();
    Orvane::MainWindow window;
    window.startPlugins();
    ASSERT_EQ(manager->tools().size(), 1);
    EXPECT_EQ(manager->tools().constFirst()->dockWidget()->objectName(), "MaterialQuantitiesDockWidget");

    const QMap<QString, QString> reasons = {{"libBroken.so", "carries no plug-in metadata"},
                                            {"libNoMetaData.so", "carries no plug-in metadata"},
                                            {"libMissingDependencyTool.so", "\"Orvane.Plugin.model.Absent\""}};
    Orvane::PluginsDialog dialog(manager);
    const QTableWidget* table = dialog.table();
    QMap<QString, QString> listed;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString file = table->item(row, Orvane::PluginsDialog::NameColumn)->toolTip().section('/', -1);
        listed.insert(file, table->item(row, Orvane::PluginsDialog::StatusColumn)->text());
    }
    for (auto it = reasons.cbegin(); it != reasons.cend(); ++it) {
        EXPECT_TRUE(listed.value(it.key()).contains(it.value())) << listed.value(it.key()).toStdString();
    }
    EXPECT_TRUE(listed.value("libMaterialQuantities.so").startsWith("Loaded"));

    // Unchecked, the tool stays unloaded at the next start.
    Orvane::PluginItem* tool = manager->item("Orvane.Plugin.tool.MaterialQuantities");
    ASSERT_NE(tool, nullptr);
    const int row = table->findItems(tool->name(), Qt::MatchExactly).value(0)->row();
    table->item(row, Orvane::PluginsDialog::NameColumn)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(manager->isEnabled(tool));
    window.stopPlugins();
    EXPECT_TRUE(manager->tools().isEmpty());
}

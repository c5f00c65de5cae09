// The main window asks the tools that run for their consent before it closes.
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/PluginManager.h"
#include "OrvaneWidgets/ToolInterface.h"

#include <QStatusBar>
#include <QVariant>

#include <gtest/gtest.h>

namespace {

/// The program's plug-in manager, with the busy tool of the fixtures.
Orvane::PluginManager* fixturePlugins()
{
    static auto* manager = new Orvane::PluginManager({QStringLiteral(MQ_FIXTURE_PLUGIN_DIR)});
    return manager;
}

class ToolQuitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixturePlugins();
        window.startPlugins();
        // The build tree's own tools are found beside the program too.
        for (Orvane::ToolInterface* started : Orvane::PluginManager::instance()->tools()) {
            if (qstrcmp(started->metaObject()->className(), "BusyTool") == 0) {
                tool = started;
            }
        }
        ASSERT_NE(tool, nullptr);
        // The tool outlives each window: its answers start afresh.
        setTool(false, true);
        tool->setProperty("asked", 0);
        window.show();
    }
    void TearDown() override
    {
        if (tool) {
            setTool(false, true);
        }
        window.close();
    }

    void setTool(bool busy, bool consents)
    {
        tool->setProperty("busy", busy);
        tool->setProperty("consents", consents);
    }
    int timesAsked() const { return tool->property("asked").toInt(); }

    Orvane::MainWindow window;
    Orvane::ToolInterface* tool = nullptr;
};

} // namespace

TEST_F(ToolQuitTest, AnIdleToolIsNotAskedAndTheWindowCloses)
{
    EXPECT_TRUE(window.close());
    EXPECT_EQ(timesAsked(), 0);
}

TEST_F(ToolQuitTest, ARunningToolThatRefusesKeepsTheWindowOpenAndItsTools)
{
    setTool(true, false);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(timesAsked(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(tool->toolState(), Orvane::ToolInterface::Enabled) << "the tools are not stopped";
    EXPECT_FALSE(window.statusBar()->currentMessage().isEmpty()) << "the user is told why";
}

TEST_F(ToolQuitTest, ARunningToolThatConsentsLetsTheWindowClose)
{
    setTool(true, true);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(timesAsked(), 1);
    EXPECT_EQ(tool->toolState(), Orvane::ToolInterface::Disabled);
}

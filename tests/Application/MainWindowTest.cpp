// The main window's handling of models: opening off the user-interface
// thread, dropped files, errors, the active model, and unsaved changes; with
// the tools of the build tree: their docks' layout and quitting while they
// compute.
#include "Orvane/Widgets/MainWindow.h"
#include "Orvane/Widgets/DockWidgetManager.h"
#include "Orvane/Widgets/ModelDocument.h"
#include "Orvane/Widgets/PluginManager.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const int patienceMs = 60000;

bool openAndWait(Orvane::MainWindow& window, const QString& fileName)
{
    QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
    window.openFile(fileName);
    return opened.wait(patienceMs) && opened.first().at(1).toBool();
}

/// Answers the next message box with button, and keeps its text.
void answerNextMessageBox(QMessageBox::StandardButton button, QString* text)
{
    QTimer::singleShot(0, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerNextMessageBox(button, text);
            return;
        }
        *text = box->text();
        box->button(button)->click();
    });
}

/// Answers every message box shown while alive: a question about a running
/// operation with the given button, any other with Discard; keeps the texts.
class MessageBoxAnswerer
{
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton runningAnswer)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, runningAnswer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->button(box->text().contains("running") ? runningAnswer : QMessageBox::Discard)->click();
            }
        });
        timer.start(10);
    }

    QStringList texts;

private:
    QTimer timer;
};

QDockWidget* toolDock(const Orvane::MainWindow& window)
{
    return window.dockWidgetManager()->dockWidget("MaterialQuantitiesDockWidget");
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<Orvane::Model*>("Orvane::Model*");
        for (const char* name : {"a.ifc", "b.ifc"}) {
            ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", folder.filePath(name)));
        }
    }

    /// Changes the active model as a computation does.
    void changeActiveModel()
    {
        auto* model = qobject_cast<Orvane::_ifc2x3::IFC2x3Model*>(window.activeModel());
        QSignalSpy changed(model, &Orvane::_ifc2x3::IFC2x3Model::contentChanged);
        model->updateItem(model->index(0, 0));
        ASSERT_TRUE(changed.wait(patienceMs));
    }

    /// The tools of the build tree started in window, with settings as at a
    /// first start.
    static void startTools(Orvane::MainWindow& window)
    {
        QSettings().clear();
        Orvane::PluginManager::Get(nullptr, {QStringLiteral(MQ_PLUGIN_DIR)});
        window.startPlugins();
        ASSERT_NE(toolDock(window), nullptr);
    }

    QTemporaryDir folder;
    Orvane::MainWindow window;
};

struct QuitAnswer
{
    QMessageBox::StandardButton answer;
    bool quits;
};

class QuitWhileComputingTest : public MainWindowTest, public ::testing::WithParamInterface<QuitAnswer>
{
};

} // namespace

TEST_F(MainWindowTest, AnUnreadableFileGivesAnErrorAndTheWindowCarriesOn)
{
    // Until a model opens, the window says how to open one.
    const auto* welcome = window.findChild<QLabel*>("welcomeLabel");
    ASSERT_NE(welcome, nullptr);
    const QString fileName = folder.filePath("broken.ifc");
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nENDSEC;\nDATA;\n#1=IFCWALL(;\n");
    file.close();
    QString message;
    answerNextMessageBox(QMessageBox::Ok, &message);
    EXPECT_FALSE(openAndWait(window, fileName));
    EXPECT_TRUE(message.contains("broken.ifc")) << message.toStdString();
    EXPECT_TRUE(message.contains("line")) << message.toStdString();
    EXPECT_EQ(window.documentCount(), 0);
    EXPECT_TRUE(welcome->isVisibleTo(&window));
    EXPECT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
    EXPECT_FALSE(welcome->isVisibleTo(&window));
}

TEST_F(MainWindowTest, AChangedModelIsMarkedAndClosingItAsksFirst)
{
    ASSERT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
    changeActiveModel();
    EXPECT_TRUE(window.activeDocument()->isModified());
    EXPECT_TRUE(window.isWindowModified());

    QString question;
    answerNextMessageBox(QMessageBox::Cancel, &question);
    EXPECT_FALSE(window.closeActiveDocument());
    EXPECT_TRUE(question.contains("a.ifc"));
    EXPECT_EQ(window.documentCount(), 1);

    answerNextMessageBox(QMessageBox::Save, &question);
    EXPECT_TRUE(window.closeActiveDocument());
    EXPECT_EQ(window.documentCount(), 0);
}

TEST_F(MainWindowTest, AFailedSaveIsShownAndTheChangesStayMarked)
{
    ASSERT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
    changeActiveModel();
    ASSERT_TRUE(QFile::remove(folder.filePath("a.ifc")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("a.ifc"));
    QString error;
    answerNextMessageBox(QMessageBox::Ok, &error);
    EXPECT_FALSE(window.save());
    EXPECT_TRUE(error.contains("a.ifc")) << error.toStdString();
    EXPECT_TRUE(window.activeDocument()->isModified());

    answerNextMessageBox(QMessageBox::Discard, &error);
    EXPECT_TRUE(window.closeActiveDocument());
}

TEST_P(QuitWhileComputingTest, AsksAndStopsTheComputationOrCarriesOn)
{
    startTools(window);
    window.show();
    ASSERT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
    auto* compute = window.findChild<QPushButton*>("computeQuantitiesPushButton");
    ASSERT_NE(compute, nullptr);
    QTest::mouseClick(compute, Qt::LeftButton);
    ASSERT_GT(window.runningOperationCount(), 0);

    {
        MessageBoxAnswerer answerer(GetParam().answer);
        EXPECT_EQ(window.close(), GetParam().quits);
        ASSERT_FALSE(answerer.texts.isEmpty());
        EXPECT_EQ(answerer.texts.first(), "An operation is still running. Stop it and quit?");
    }
    EXPECT_EQ(window.documentCount(), GetParam().quits ? 0 : 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.runningOperationCount() == 0; }, patienceMs));
}

INSTANTIATE_TEST_SUITE_P(Answers, QuitWhileComputingTest,
                         ::testing::Values(QuitAnswer{QMessageBox::Yes, true}, QuitAnswer{QMessageBox::No, false}),
                         [](const auto& info) { return info.param.quits ? "Yes" : "No"; });

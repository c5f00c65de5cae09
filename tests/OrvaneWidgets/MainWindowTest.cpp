// The main window's handling of models: opening off the user-interface
// thread, errors and unsaved changes; with
// the tools of the build tree: their docks' layout and quitting while they
// compute.
#include "BuildTreePlugins.h"
#include "ModalAnswer.h"
#include "TestFiles.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/DockWidgetManager.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/ModelDocument.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
    testsupport::answerModal<QMessageBox>([button, text](QMessageBox* box) {
        *text = box->text();
        box->button(button)->click();
    });
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<Orvane::Model*>("Orvane::Model*");
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", folder.filePath("a.ifc")));
    }

    /// Changes the active model as a computation does.
    void changeActiveModel()
    {
        auto* model = qobject_cast<Orvane::_ifc2x3::IFC2x3Model*>(window.activeModel());
        QSignalSpy changed(model, &Orvane::_ifc2x3::IFC2x3Model::contentChanged);
        const QModelIndex first = model->index(0, 0);
        model->ifcObjectDefinition(first)->setName("Changed");
        model->updateItem(first);
        ASSERT_TRUE(changed.wait(patienceMs));
    }

    /// The tools of the build tree started in window, with settings as at a
    /// first start.
    static void startTools(Orvane::MainWindow& window)
    {
        QSettings().clear();
        buildTreePlugins();
        window.startPlugins();
        ASSERT_NE(window.dockWidgetManager()->dockWidget("MaterialQuantitiesDockWidget"), nullptr);
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
    ASSERT_TRUE(testsupport::writeFile(
        fileName, QByteArray("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nENDSEC;\nDATA;\n#1=IFCWALL(;\n")));
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

TEST_F(MainWindowTest, AChangedModelIsMarkedAndClosingItAsksFirstAndAFailedSaveIsShown)
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

    // A folder where the file was cannot be replaced: the changes stay marked.
    ASSERT_TRUE(QFile::remove(folder.filePath("a.ifc")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("a.ifc"));
    QString error;
    answerNextMessageBox(QMessageBox::Ok, &error);
    EXPECT_FALSE(window.save());
    EXPECT_TRUE(error.contains("a.ifc")) << error.toStdString();
    EXPECT_TRUE(window.activeDocument()->isModified());

    ASSERT_TRUE(QDir(folder.path()).rmdir("a.ifc"));
    answerNextMessageBox(QMessageBox::Save, &question);
    EXPECT_TRUE(window.closeActiveDocument());
    EXPECT_EQ(window.documentCount(), 0);
    EXPECT_TRUE(QFileInfo(folder.filePath("a.ifc")).isFile());
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
        // The question about the running operation, then Discard for the unsaved changes.
        const QMessageBox::StandardButton answer = GetParam().answer;
        testsupport::MessageBoxWatcher boxes([answer](const QMessageBox& box) {
            return box.text().contains("running") ? answer : QMessageBox::Discard;
        });
        EXPECT_EQ(window.close(), GetParam().quits);
        ASSERT_FALSE(boxes.texts.isEmpty());
        EXPECT_EQ(boxes.texts.first(), "An operation is still running. Stop it and quit?");
    }
    EXPECT_EQ(window.documentCount(), GetParam().quits ? 0 : 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.runningOperationCount() == 0; }, patienceMs));
}

INSTANTIATE_TEST_SUITE_P(Answers, QuitWhileComputingTest,
                         ::testing::Values(QuitAnswer{QMessageBox::Yes, true}, QuitAnswer{QMessageBox::No, false}),
                         [](const auto& info) { return info.param.quits ? "Yes" : "No"; });

// The main window's handling of models: opening off the user-interface
// thread, errors, the active model, and unsaved changes.
#include "Orvane/Widgets/MainWindow.h"
#include "Orvane/Widgets/ModelDocument.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
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

    QTemporaryDir folder;
    Orvane::MainWindow window;
};

} // namespace

TEST_F(MainWindowTest, EachActiveModelIsAnnouncedAndNoneAfterTheLastIsClosed)
{
    QSignalSpy active(&window, &Orvane::MainWindow::activeModelChanged);
    ASSERT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
    ASSERT_TRUE(openAndWait(window, folder.filePath("b.ifc")));
    ASSERT_EQ(active.size(), 2);
    EXPECT_NE(active.at(0).at(0).value<Orvane::Model*>(), active.at(1).at(0).value<Orvane::Model*>());
    EXPECT_EQ(window.windowTitle(), "b.ifc[*] - Orvane");

    ASSERT_TRUE(window.closeActiveDocument());
    ASSERT_TRUE(window.closeActiveDocument());
    ASSERT_EQ(active.size(), 4);
    EXPECT_EQ(active.at(2).at(0).value<Orvane::Model*>(), active.at(0).at(0).value<Orvane::Model*>());
    EXPECT_EQ(active.at(3).at(0).value<Orvane::Model*>(), nullptr);
}

TEST_F(MainWindowTest, AnUnreadableFileGivesAnErrorAndTheWindowCarriesOn)
{
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
    EXPECT_TRUE(openAndWait(window, folder.filePath("a.ifc")));
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

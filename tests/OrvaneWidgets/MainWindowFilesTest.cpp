// The main window and the files of its models: a model being rewritten is
// neither saved nor closed, another program's version of a file is never
// lost without asking, a change on disk is told at once, and files that fail
// to open together are told in one dialog.
#include "ModalAnswer.h"
#include "TestFiles.h"

#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/ModelDocument.h"

#include "Step/FileVersion.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const int patienceMs = 60000;

class MainWindowFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<Orvane::Model*>("Orvane::Model*");
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", path));
        QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
        window.openFile(path);
        ASSERT_TRUE(opened.wait(patienceMs) && opened.first().at(1).toBool());
    }

    Orvane::_ifc2x3::IFC2x3Model* model() const { return window.activeDocument()->model(); }

    void changeModel()
    {
        QSignalSpy changed(model(), &Orvane::_ifc2x3::IFC2x3Model::contentChanged);
        const QModelIndex first = model()->index(0, 0);
        model()->ifcObjectDefinition(first)->setName("Changed");
        model()->updateItem(first);
        ASSERT_TRUE(changed.wait(patienceMs));
    }

    bool actionEnabled(const char* name) const { return window.findChild<QAction*>(name)->isEnabled(); }

    /// Another program saving its version: a new file renamed over the path.
    void replaceOnDisk(const QByteArray& content)
    {
        ASSERT_TRUE(testsupport::writeFile(path + ".new", content));
        ASSERT_TRUE(QFile::rename(path + ".new", path) || (QFile::remove(path) && QFile::rename(path + ".new", path)));
    }

    QTemporaryDir folder;
    const QString path = folder.filePath("a.ifc");
    Orvane::MainWindow window;
};

TEST_F(MainWindowFilesTest, AModelBeingRewrittenIsNeitherSavedNorClosed)
{
    changeModel();
    const auto onDisk = [this] { return Step::FileVersion::at(QFile::encodeName(path).toStdString()); };
    const Step::FileVersion before = onDisk();
    model()->setBusy(true);
    for (const char* action : {"saveAction", "saveAsAction", "closeAction"}) {
        EXPECT_FALSE(actionEnabled(action)) << action;
    }
    EXPECT_FALSE(window.save());
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("wait"))
        << window.statusBar()->currentMessage().toStdString();
    {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_FALSE(window.closeActiveDocument());
    }
    EXPECT_EQ(window.documentCount(), 1);
    EXPECT_TRUE(onDisk() == before) << "nothing written";

    model()->setBusy(false);
    for (const char* action : {"saveAction", "saveAsAction", "closeAction"}) {
        EXPECT_TRUE(actionEnabled(action)) << action;
    }
    EXPECT_TRUE(window.save());
    EXPECT_FALSE(onDisk() == before);
    EXPECT_FALSE(window.activeDocument()->isModified());
}

TEST_F(MainWindowFilesTest, TheFileIsWrittenOffTheWindowsThreadWhileTheModelIsBusy)
{
    changeModel();
    const QByteArray expected = QByteArray::fromStdString(model()->dataSet()->toText());
    // Posted before the save: handled by the window while the worker writes.
    bool handled = false;
    bool busy = false;
    bool shown = false;
    QTimer::singleShot(0, &window, [&] {
        handled = true;
        busy = model()->isBusy() && !actionEnabled("saveAction") && !actionEnabled("closeAction");
        shown = window.runningOperationCount() == 1;
    });
    EXPECT_TRUE(window.save());
    EXPECT_TRUE(handled);
    EXPECT_TRUE(busy);
    EXPECT_TRUE(shown) << "the save shows in the status bar";
    EXPECT_FALSE(model()->isBusy());
    EXPECT_EQ(window.runningOperationCount(), 0);
    EXPECT_TRUE(actionEnabled("saveAction"));
    EXPECT_FALSE(window.activeDocument()->isModified());
    EXPECT_EQ(testsupport::readFile(path), expected);
}

TEST_F(MainWindowFilesTest, QuittingDuringASaveClosesTheWindowOnceTheFileIsWritten)
{
    changeModel();
    window.show();
    bool closedDuringSave = true;
    QTimer::singleShot(0, &window, [&] { closedDuringSave = window.close(); });
    EXPECT_TRUE(window.save());
    EXPECT_FALSE(closedDuringSave);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window.isVisible(); }, patienceMs));
    EXPECT_TRUE(testsupport::readFile(path).contains("'Changed'"));
}

TEST_F(MainWindowFilesTest, SavingOverAnotherProgramsVersionAsksFirst)
{
    {
        // Over the file it opened, then over the one it saved: no question.
        testsupport::MessageBoxWatcher boxes;
        changeModel();
        EXPECT_TRUE(window.save());
        changeModel();
        EXPECT_TRUE(window.save());
        EXPECT_EQ(boxes.texts, QStringList());
    }
    const QByteArray theirs = testsupport::readFile(path) + "/* theirs */\n";
    replaceOnDisk(theirs);
    for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Yes}) {
        testsupport::MessageBoxWatcher boxes([answer](const QMessageBox& box) {
            return box.text().contains("another program") ? answer : QMessageBox::No;
        });
        EXPECT_EQ(window.save(), answer == QMessageBox::Yes);
        ASSERT_FALSE(boxes.texts.isEmpty());
        EXPECT_TRUE(boxes.texts.first().contains("a.ifc")) << boxes.texts.first().toStdString();
        EXPECT_EQ(testsupport::readFile(path) == theirs, answer == QMessageBox::Cancel);
    }
}

TEST_F(MainWindowFilesTest, AChangeOnDiskIsToldAndTheFileCanBeReloadedInItsTab)
{
    changeModel();
    Orvane::_ifc2x3::IFC2x3Model* before = model();
    testsupport::MessageBoxWatcher boxes([](const QMessageBox&) { return QMessageBox::Yes; });
    replaceOnDisk(testsupport::readFile(path) + "/* theirs */\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.activeDocument() && model() != before; }, patienceMs));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts.first().contains("changed on disk")) << boxes.texts.first().toStdString();
    EXPECT_TRUE(boxes.texts.first().contains("will be lost")) << boxes.texts.first().toStdString();
    EXPECT_EQ(window.documentCount(), 1);
    EXPECT_FALSE(window.activeDocument()->isModified());
    EXPECT_EQ(window.activeDocument()->fileName(), path);
}

TEST_F(MainWindowFilesTest, FilesFailingTogetherAreToldInOneDialogAndTabsCloseMeanwhile)
{
    const int count = 13;
    QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
    testsupport::MessageBoxWatcher boxes;
    for (int i = 0; i < count; ++i) {
        const QString broken = folder.filePath(QStringLiteral("broken%1.ifc").arg(i));
        ASSERT_TRUE(testsupport::writeFile(broken, "ISO-10303-21;\nDATA;\n#1=IFCWALL(;\n"));
        window.openFile(broken);
    }
    // Files being opened hold no tab back.
    EXPECT_TRUE(window.closeActiveDocument());
    EXPECT_EQ(window.documentCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == count && !boxes.texts.isEmpty(); }, patienceMs));
    QTest::qWait(100);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts.first().contains("broken0.ifc"));
    EXPECT_TRUE(boxes.texts.first().contains("broken12.ifc"));
}

} // namespace

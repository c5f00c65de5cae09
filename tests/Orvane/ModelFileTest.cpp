// The host's model and the file it was read from: saving over that file is
// silent while it is the one read or saved, and refused once another
// program put its own version there.
#include "HostModels.h"
#include "TestFiles.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using Orvane::_ifc2x3::IFC2x3Model;

void replaceByRename(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(testsupport::writeFile(path + ".new", content));
    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(path + ".new", path));
}

TEST(ModelFile, AnotherProgramsVersionIsToldAndKeptUnlessReplacingItIsChosen)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("model.ifc");
    ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", path));
    const std::unique_ptr<IFC2x3Model> model = testsupport::openFile(path);
    ASSERT_TRUE(model);
    QString error;
    for (int save = 0; save < 2; ++save) {
        EXPECT_FALSE(model->fileReplaced(path)) << save;
        EXPECT_TRUE(model->save(path, &error)) << save << error.toStdString();
    }

    const QByteArray theirs = testsupport::readFile(path) + "/* theirs */\n";
    replaceByRename(path, theirs);
    EXPECT_TRUE(model->fileReplaced());
    EXPECT_TRUE(model->fileReplaced(QDir(folder.path()).filePath("./model.ifc")));
    EXPECT_FALSE(model->fileReplaced(folder.filePath("elsewhere.ifc")));
    EXPECT_FALSE(model->save(path, &error));
    EXPECT_TRUE(error.contains("another program")) << error.toStdString();
    EXPECT_EQ(testsupport::readFile(path), theirs);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"model.ifc"});

    EXPECT_TRUE(model->save(path, &error, IFC2x3Model::Replace::Anything)) << error.toStdString();
    EXPECT_NE(testsupport::readFile(path), theirs);
    EXPECT_FALSE(model->fileReplaced(path));
}

// A save holds the data set's lock until the file is written: the model's
// thread draws the cells it drew before rather than wait, and is told of the
// others once the save ends.
TEST(ModelFile, CellsAreDrawnWithoutWaitingForASaveOnAnotherThread)
{
    QTemporaryDir folder;
    const std::unique_ptr<IFC2x3Model> model =
        testsupport::openFile(QStringLiteral(MQ_SOURCE_DIR "/samples/small-building.ifc"));
    ASSERT_TRUE(model);
    const QModelIndex drawn = model->index(0, IFC2x3Model::NameColumn);
    const QModelIndex notDrawn = model->index(1, IFC2x3Model::NameColumn);
    const QString drawnText = drawn.data().toString();
    const QString notDrawnText = notDrawn.data(Qt::EditRole).toString(); // not a drawing
    ASSERT_FALSE(notDrawnText.isEmpty());

    // Another reader holds the lock, so that the save waits with it taken
    // for as long as the cells are read.
    std::atomic<bool> read{false};
    std::atomic<bool> locked{false};
    std::thread reader([&] {
        const std::lock_guard<std::recursive_mutex> lock(model->dataSet()->mutex());
        locked = true;
        for (int i = 0; i < 10000 && !read; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!locked) {
        std::this_thread::yield();
    }
    std::atomic<bool> saved{false};
    std::thread saver([&] { saved = model->save(folder.filePath("saved.ifc")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the save is waiting

    QSignalSpy told(model.get(), &IFC2x3Model::dataChanged);
    EXPECT_EQ(drawn.data().toString(), drawnText);
    EXPECT_EQ(notDrawn.data().toString(), QString()) << "drawn once the save ends";
    read = true;
    reader.join();
    saver.join();
    EXPECT_TRUE(saved);
    ASSERT_TRUE(told.wait(5000));
    EXPECT_EQ(told.first().at(0).toModelIndex().row(), notDrawn.row());
    EXPECT_EQ(notDrawn.data().toString(), notDrawnText);
}

} // namespace

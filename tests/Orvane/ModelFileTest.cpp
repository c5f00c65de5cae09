// The host's model and the file it was read from: saving over that file is
// silent while it is the one read or saved, and refused once another
// program put its own version there.
#include "HostModels.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace

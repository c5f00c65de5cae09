// material-quantities refusing, before the model is opened, arguments it
// would otherwise half ignore: repeated options, settings files QSettings
// reads as empty, template lines that cannot be property paths.
#include "ProgramRun.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testsupport::writeFile;

using Outcome = testsupport::ProgramOutcome;

Outcome compute(const QTemporaryDir& dir, const QStringList& arguments)
{
    return testsupport::runProgram(MATERIAL_QUANTITIES_PROGRAM, dir.path(),
                                   QStringList{"compute", "in.ifc"} + arguments);
}

} // namespace

TEST(BatchArguments, RefusedWithStatus2BeforeTheModelIsOpened)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/tests/apps/fixtures/two-walls.ifc", dir.filePath("in.ifc")));
    const QByteArray binary = QByteArray("[Tool]\nMaterialQuantities\\x=1\n") + '\0' + "\x7f" + "ELF";
    ASSERT_TRUE(writeFile(dir.filePath("binary.ini"), binary));
    ASSERT_TRUE(writeFile(dir.filePath("unclosed.ini"), "[Tool\nMaterialQuantities\\x=1\n"));
    ASSERT_TRUE(writeFile(dir.filePath("long.txt"), "Fields/Name\n" + QByteArray(5000, 'x') + "\nFields/Name\n"));
    const struct
    {
        const char* what;
        QStringList arguments;
        QString message;
    } cases[] = {
        {"output twice", {"-o", "a.ifc", "-o", "out.ifc"}, "usage error: -o and -o set the same option"},
        {"output under both names", {"-o", "a.ifc", "--output", "out.ifc"}, "-o and --output set the same option"},
        {"flag twice", {"-o", "out.ifc", "--in-place", "--in-place"}, "--in-place and --in-place"},
        {"binary settings", {"-o", "out.ifc", "--settings", "binary.ini"}, "binary data (a NUL byte at offset 30)"},
        {"malformed settings", {"-o", "out.ifc", "--settings", "unclosed.ini"}, "not a well-formed INI file"},
        {"template line too long",
         {"-o", "out.ifc", "--export-components", "c.xlsx", "--template", "long.txt"},
         "usage error: line 2 of the template 'long.txt' is 5000 bytes long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome result = compute(dir, c.arguments);
        EXPECT_EQ(result.status, 2) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        EXPECT_LT(result.err.size(), 400) << "said once and shortened";
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.ifc")));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("a.ifc")));
    }
}

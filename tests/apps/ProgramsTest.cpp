// Exit statuses, summaries and messages of material-quantities and ifcinfo:
// a computation whose totals are known by hand, models it cannot read, and
// files that are not what they should be (devices, FIFOs, links, colliding
// paths, empty or unusable arguments, names that are not UTF-8).
#include "ProgramRun.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "Sheet.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

using Outcome = testsupport::ProgramOutcome;

std::string str(const QString& text)
{
    return text.toStdString();
}

class Programs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/tests/apps/fixtures/two-walls.ifc", "in.ifc"));
        ASSERT_EQ(::mkfifo("fifo", 0644), 0);
        writeFile(QStringLiteral("settings.ini"), "[Tool]\n");
        writeFile(QStringLiteral("nowhere.ini"),
                  "[Tool]\nMaterialQuantities\\materialCompositionPropertyPath=Type/Properties/Nowhere\n");
        writeFile(QStringLiteral("truncated.ifc"), readFile(QStringLiteral("in.ifc")).left(400));
        writeFile(QStringLiteral("template.txt"), "Fields/Name\n");
    }

    Outcome run(const QString& program, const QStringList& arguments)
    {
        return testsupport::runProgram(program, dir.path(), arguments);
    }

    Outcome compute(const QStringList& arguments)
    {
        return run(MATERIAL_QUANTITIES_PROGRAM, QStringList{"compute", "in.ifc"} + arguments);
    }

    QTemporaryDir dir;
};

bool isFifo(const char* path)
{
    struct stat info
    {
    };
    return ::stat(path, &info) == 0 && S_ISFIFO(info.st_mode);
}

struct Case
{
    const char* name;
    QStringList arguments;
    int status;
    const char* message;
};

TEST_F(Programs, ComputeRefusesBadArgumentsBeforeAnyWork)
{
    ASSERT_TRUE(QFile::link("out.ifc", "link-to-out.xlsx"));
    const QByteArray input = readFile(QStringLiteral("in.ifc"));
    const Case cases[] = {
        {"output is a FIFO", {"-o", "fifo"}, 3, "cannot write 'fifo': it is not a regular file but a FIFO"},
        {"workbook is a FIFO", {"-o", "out.ifc", "--export-pmd", "fifo"}, 3, "not a regular file but a FIFO"},
        {"inventory is a FIFO", {"-o", "out.ifc", "--export-inventory", "fifo"}, 3, "not a regular file but a FIFO"},
        {"settings from a FIFO", {"-o", "out.ifc", "--settings", "fifo"}, 2, "'fifo' is not a regular file"},
        {"template from a FIFO",
         {"-o", "out.ifc", "--export-components", "c.xlsx", "--template", "fifo"},
         2,
         "usage error: 'fifo' is not a regular file"},
        {"template without its workbook",
         {"-o", "out.ifc", "--template", "template.txt"},
         2,
         "usage error: --template is only used with --export-components"},
        {"empty output name", {"-o", ""}, 2, "usage error: -o is given an empty file name"},
        {"workbook over the input",
         {"-o", "out.ifc", "--export-pmd", "in.ifc"},
         2,
         "INPUT 'in.ifc' and --export-pmd 'in.ifc' are the same file"},
        {"workbook over the output through a link",
         {"-o", "out.ifc", "--export-pmd", "link-to-out.xlsx"},
         2,
         "-o 'out.ifc' and --export-pmd 'link-to-out.xlsx' are the same file"},
        {"two workbooks in one file",
         {"-o", "out.ifc", "--export-pmd", "w.xlsx", "--export-components", "w.xlsx"},
         2,
         "--export-pmd 'w.xlsx' and --export-components 'w.xlsx' are the same file"},
        {"output over the settings",
         {"-o", "settings.ini", "--settings", "settings.ini"},
         2,
         "-o 'settings.ini' and --settings 'settings.ini' are the same file"},
        {"output over the input", {"-o", "in.ifc"}, 2, "the output would overwrite the input"},
        {"output in a missing folder", {"-o", "missing/out.ifc"}, 3, "cannot write 'missing/out.ifc': No such file"},
    };
    for (const Case& c : cases) {
        const Outcome result = compute(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << str(result.err);
        EXPECT_TRUE(result.err.contains(c.message)) << c.name << ": " << str(result.err);
        EXPECT_FALSE(QFileInfo::exists("out.ifc")) << c.name << ": refused after the work";
        EXPECT_TRUE(isFifo("fifo")) << c.name;
    }
    EXPECT_EQ(QDir().entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 5) << "nothing written";
    EXPECT_EQ(readFile(QStringLiteral("in.ifc")), input) << "the input is left as it was";
}

// in.ifc, fixtures/two-walls.ifc: wall A is 2 m3 of a type of 500 kg/m3, 90 %
// concrete and 10 % steel; wall B counts as one unit of a re-employed type
// of 50 kg, all wood.
TEST_F(Programs, ComputeStatusesAndSummary)
{
    const struct
    {
        const char* name;
        QStringList arguments;
        int status;
        QStringList printed; // on stdout for 0 and 1, on stderr otherwise
    } cases[] = {
        {"computed",
         {"in.ifc", "-o", "out.ifc"},
         0,
         {"Building elements:             2", "Elements without results:      0",
          "Acier              100.000           100.000             0.000",
          "Beton              900.000           900.000             0.000",
          "Bois                50.000             0.000            50.000", "Building Main:"}},
        {"nothing found",
         {"in.ifc", "-o", "out.ifc", "--settings", "nowhere.ini"},
         1,
         {"Elements without results:      2", "found no quantity",
          "material composition property exists [Type/Properties/Nowhere]"}},
        {"malformed input",
         {"truncated.ifc", "-o", "out.ifc"},
         2,
         {"truncated.ifc: line 11, column 1: unexpected end of file"}},
        {"input is a FIFO", {"fifo", "-o", "out.ifc"}, 2, {"'fifo' is not a regular file but a FIFO"}},
        {"unknown option", {"in.ifc", "-o", "out.ifc", "--no-such-option"}, 2, {"no-such-option"}},
        {"no output", {"in.ifc"}, 2, {"usage: material-quantities compute"}},
        {"unwritable output", {"in.ifc", "-o", "/proc/out.ifc"}, 3, {"/proc/out.ifc"}},
    };
    for (const auto& c : cases) {
        QFile::remove("out.ifc");
        const Outcome result = run(MATERIAL_QUANTITIES_PROGRAM, QStringList{"compute"} + c.arguments);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << str(result.err);
        for (const QString& text : c.printed) {
            EXPECT_TRUE((c.status <= 1 ? result.out : result.err).contains(text))
                << c.name << ": " << str(text) << " in\n"
                << str(result.out) << str(result.err);
        }
        EXPECT_EQ(readFile(QStringLiteral("out.ifc")).contains("TotalMaterialQuantities"), c.status == 0) << c.name;
        EXPECT_EQ(QFileInfo::exists("out.ifc"), c.status <= 1) << c.name;
    }
}

// The model is saved before the workbooks: one that cannot be written then
// still fails the run.
TEST_F(Programs, ComputeFailsWhenAWorkbookCannotBeWrittenAfterTheSave)
{
    const Outcome result =
        run(MATERIAL_QUANTITIES_PROGRAM, {"compute", "in.ifc", "-o", "out.ifc", "--export-pmd", "/proc/w.xlsx"});
    EXPECT_EQ(result.status, 3) << str(result.err);
    EXPECT_TRUE(result.err.contains("cannot write '/proc/w.xlsx'")) << str(result.err);
}

// in.ifc's masses whatever the material library holds; a workbook that
// cannot be written leaves the one before as it was.
TEST_F(Programs, ComputeWritesTheInventoryOrKeepsThePreviousOne)
{
    const Outcome written = compute({"-o", "out.ifc", "--export-inventory", "inventory.xlsx"});
    EXPECT_EQ(written.status, 0) << str(written.err);
    EXPECT_TRUE(written.out.contains("Inventory workbook:            inventory.xlsx")) << str(written.out);
    if (testsupport::Sheet::readerAvailable()) {
        const QList<testsupport::Sheet> sheets = testsupport::Sheet::readWorkbook("inventory.xlsx");
        ASSERT_GE(sheets.size(), 2);
        EXPECT_EQ(sheets[0].name, "Materials");
        EXPECT_EQ(sheets[0].row(2).mid(0, 4), (QVariantList{"Acier", 100.0, 0.0, 100.0}));
        EXPECT_EQ(sheets[0].row(3).mid(0, 4), (QVariantList{"Beton", 900.0, 0.0, 900.0}));
        EXPECT_EQ(sheets[0].row(4).mid(0, 4), (QVariantList{"Bois", 0.0, 50.0, 50.0}));
    }
    const QByteArray previous = readFile(QStringLiteral("inventory.xlsx"));
    // 10 blocks of 512 bytes: room for the model (4 kB), not for the workbook (7 kB).
    const Outcome full =
        run(QStringLiteral("/bin/sh"),
            {"-c", "ulimit -f 10; exec \"$0\" compute in.ifc -o out.ifc --export-inventory inventory.xlsx",
             MATERIAL_QUANTITIES_PROGRAM});
    EXPECT_EQ(full.status, 3) << str(full.err);
    EXPECT_TRUE(full.err.contains("inventory.xlsx")) << str(full.err);
    EXPECT_EQ(readFile(QStringLiteral("inventory.xlsx")), previous);
}

TEST_F(Programs, ComputeWritesThroughASymbolicLink)
{
    // In place, through a link to the input.
    ASSERT_TRUE(QFile::link("in.ifc", "model.ifc"));
    const Outcome inPlace = run(MATERIAL_QUANTITIES_PROGRAM, {"compute", "model.ifc", "-o", "model.ifc", "--in-place"});
    EXPECT_LE(inPlace.status, 1) << str(inPlace.err);
    EXPECT_TRUE(QFileInfo("model.ifc").isSymLink());
    QFile saved("in.ifc");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("TotalMaterialQuantities"));
}

// Under `ulimit -f` a write past the limit fails and is reported, with the
// status of a write failure, rather than the signal ending the run with the
// temporary file left. An output name as long as names can be is written.
TEST_F(Programs, ComputeReportsAFileSizeLimitAndTakesTheLongestNames)
{
    const Outcome limited = run(QStringLiteral("/bin/sh"), {"-c", "ulimit -f 2; exec \"$0\" compute in.ifc -o out.ifc",
                                                            MATERIAL_QUANTITIES_PROGRAM});
    EXPECT_EQ(limited.status, 3) << str(limited.err);
    EXPECT_TRUE(limited.err.contains("cannot write 'out.ifc': File too large")) << str(limited.err);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.ifc", ".mq-*"}, QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{"in.ifc", "truncated.ifc"}));

    const QString longest = QString(251, QLatin1Char('n')) + ".ifc";
    const Outcome named = compute({"-o", longest});
    EXPECT_LE(named.status, 1) << str(named.err);
    EXPECT_TRUE(QFileInfo(longest).isFile());
}

TEST_F(Programs, ComputeKeepsFileNamesThatAreNotUtf8)
{
    // A Latin-1 "è", whatever the locale: the shell passes the bytes as they are.
    ASSERT_EQ(::rename("in.ifc", "mod\xe8le.ifc"), 0);
    const Outcome result =
        run(QStringLiteral("/bin/sh"),
            {"-c", "exec \"$0\" compute \"$(printf 'mod\\350le.ifc')\" -o \"$(printf 'r\\351sultat.ifc')\"",
             MATERIAL_QUANTITIES_PROGRAM});
    EXPECT_LE(result.status, 1) << str(result.err);
    struct stat info
    {
    };
    EXPECT_EQ(::stat("r\xe9sultat.ifc", &info), 0) << "saved under the name given";
    // Names QTemporaryDir could not remove.
    ::unlink("mod\xe8le.ifc");
    ::unlink("r\xe9sultat.ifc");
}

TEST_F(Programs, IfcinfoRefusesWhatItCannotReadOrReplace)
{
    const Case cases[] = {
        {"input is a FIFO", {"fifo"}, 2, "'fifo' is not a regular file but a FIFO"},
        {"output is a FIFO", {"in.ifc", "-o", "fifo"}, 3, "cannot write 'fifo': it is not a regular file but a FIFO"},
        {"empty output name", {"in.ifc", "-o", ""}, 2, "usage: ifcinfo"},
    };
    for (const Case& c : cases) {
        const Outcome result = run(IFCINFO_PROGRAM, c.arguments);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << str(result.err);
        EXPECT_TRUE(result.err.contains(c.message)) << c.name << ": " << str(result.err);
        EXPECT_TRUE(isFifo("fifo")) << c.name;
    }
}

} // namespace

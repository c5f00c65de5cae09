// material-quantities inputs export and import, run as a user runs them: a
// model without type inputs exported, filled in with openpyxl, imported and
// computed gives the results of the model that had them; wrong workbooks and
// arguments are refused with nothing written.
#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "ProgramRun.h"
#include "Sheet.h"
#include "TestFiles.h"
#include "TypeInputsWorkbooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace testsupport;

using Outcome = testsupport::ProgramOutcome;

class InputsCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", path("model.ifc")));
        // The default paths, whatever the settings of the machine's user.
        ASSERT_TRUE(writeFile(path("settings.ini"), "[Tool]\n"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    Outcome run(const QStringList& arguments) const
    {
        return testsupport::runProgram(MATERIAL_QUANTITIES_PROGRAM, dir.path(),
                                       arguments + QStringList{"--settings", "settings.ini"});
    }

    /// The model's inputs exported by the command to inputs.xlsx.
    void exportInputs(const QString& model)
    {
        const Outcome exported = run({"inputs", "export", model, "-o", "inputs.xlsx"});
        ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
        EXPECT_TRUE(exported.out.startsWith("Exported the inputs of ")) << exported.out.toStdString();
    }

    QTemporaryDir dir;
};

Orvane::TypeInputsTable inputsOf(IFC2x3Model& model)
{
    return Orvane::TypeInputsReader(&model, Orvane::MaterialQuantitiesSettings()).read();
}

QStringList resultSetNames()
{
    return {"TotalMaterialQuantities", "RecoveredMaterialQuantities", "ReusedMaterialQuantities"};
}

TEST_F(InputsCommand, FilledInWorkbookGivesTheResultsOfTheModelWithItsOwnInputs)
{
    MQ_REQUIRE_OPENPYXL();
    const auto original = openFile(path("model.ifc"));
    ASSERT_TRUE(original);
    const Orvane::TypeInputsTable originalInputs = inputsOf(*original);
    stripTypeInputs(*original);
    ASSERT_TRUE(original->save(path("stripped.ifc")));

    ASSERT_NO_FATAL_FAILURE(exportInputs("stripped.ifc"));
    ASSERT_TRUE(fillWorkbook(path("inputs.xlsx"), originalInputs));
    const Outcome imported = run({"inputs", "import", "stripped.ifc", "inputs.xlsx", "-o", "filled.ifc"});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith(QStringLiteral("Changed the inputs of %1 of %2 element types")
                                            .arg(typesWithInputs(originalInputs))
                                            .arg(originalInputs.types.size())))
        << imported.out.toStdString();
    const auto filled = openFile(path("filled.ifc"));
    ASSERT_TRUE(filled);
    EXPECT_EQ(inputsByGlobalId(inputsOf(*filled)), inputsByGlobalId(originalInputs)) << "the values filled";

    for (const QString model : {"model", "filled"}) {
        const Outcome computed = run({"compute", model + ".ifc", "-o", model + "-computed.ifc"});
        ASSERT_EQ(computed.status, 0) << computed.err.toStdString();
    }
    const auto expected = openFile(path("model-computed.ifc"));
    const auto actual = openFile(path("filled-computed.ifc"));
    ASSERT_TRUE(expected && actual);
    const auto expectedResults = valuesOfSets(*expected, resultSetNames());
    EXPECT_GT(expectedResults.size(), 100) << "elements, types, buildings and the project";
    EXPECT_EQ(valuesOfSets(*actual, resultSetNames()), expectedResults);
}

TEST_F(InputsCommand, WrongWorkbooksAreRefusedWithNothingWritten)
{
    MQ_REQUIRE_OPENPYXL();
    const QByteArray model = readFile(path("model.ifc"));
    for (const BadWorkbook& bad : badWorkbooks()) {
        SCOPED_TRACE(bad.name);
        ASSERT_NO_FATAL_FAILURE(exportInputs("model.ifc"));
        ASSERT_TRUE(editWorkbook(path("inputs.xlsx"), bad.edit));
        for (const QStringList& output : {QStringList{"-o", "out.ifc"}, QStringList{"--in-place"}}) {
            const Outcome result = run(QStringList{"inputs", "import", "model.ifc", "inputs.xlsx"} + output);
            EXPECT_EQ(result.status, 2) << result.err.toStdString();
            EXPECT_TRUE(saysInOrder(result.err, QStringList{"material-quantities: "} + bad.message))
                << result.err.toStdString();
            EXPECT_FALSE(QFileInfo::exists(path("out.ifc")));
            EXPECT_EQ(readFile(path("model.ifc")), model) << "the model is left as it was";
        }
    }
}

TEST_F(InputsCommand, ImportInPlaceRewritesTheModelOnlyWhenSomethingChanges)
{
    MQ_REQUIRE_OPENPYXL();
    ASSERT_NO_FATAL_FAILURE(exportInputs("model.ifc"));
    const QByteArray model = readFile(path("model.ifc"));
    const Outcome unchanged = run({"inputs", "import", "model.ifc", "inputs.xlsx", "--in-place"});
    EXPECT_EQ(unchanged.status, 0) << unchanged.err.toStdString();
    EXPECT_TRUE(unchanged.out.startsWith("Changed the inputs of 0 of ")) << unchanged.out.toStdString();
    EXPECT_EQ(readFile(path("model.ifc")), model);

    ASSERT_TRUE(editWorkbook(path("inputs.xlsx"), "sheet['F2'] = 777.0"));
    const Outcome changed = run({"inputs", "import", "model.ifc", "inputs.xlsx", "--in-place"});
    EXPECT_EQ(changed.status, 0) << changed.err.toStdString();
    EXPECT_TRUE(changed.out.startsWith("Changed the inputs of 1 of ")) << changed.out.toStdString();
    const auto saved = openFile(path("model.ifc"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(inputsOf(*saved).types.front().massPerFunctionalUnit, QVariant(777.0));
}

TEST_F(InputsCommand, BadArgumentsAndUnreadableModels)
{
    ASSERT_TRUE(writeFile(path("truncated.ifc"), readFile(path("model.ifc")).left(400)));
    ASSERT_TRUE(writeFile(path("w.xlsx"), "not a workbook"));
    ASSERT_EQ(run({"inputs", "export", "model.ifc", "-o", "valid.xlsx"}).status, 0);
    const struct
    {
        const char* name;
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {"export without -o", {"export", "model.ifc"}, 2, "usage: material-quantities inputs export"},
        {"export in place", {"export", "model.ifc", "-o", "w.xlsx", "--in-place"}, 2, "usage:"},
        {"import without output", {"import", "model.ifc", "w.xlsx"}, 2, "usage:"},
        {"import with -o and --in-place",
         {"import", "model.ifc", "w.xlsx", "-o", "out.ifc", "--in-place"},
         2,
         "usage:"},
        {"unknown action", {"merge", "model.ifc", "-o", "out.ifc"}, 2, "usage:"},
        {"an option of compute",
         {"export", "model.ifc", "-o", "i.xlsx", "--export-pmd", "p.xlsx"},
         2,
         "usage error: --export-pmd is not an option of material-quantities inputs"},
        {"import over the model",
         {"import", "model.ifc", "w.xlsx", "-o", "model.ifc"},
         2,
         "the output would overwrite the input 'model.ifc'; give another -o or --in-place"},
        {"export over the model",
         {"export", "model.ifc", "-o", "model.ifc"},
         2,
         "the output would overwrite the input 'model.ifc'; give another -o\n"},
        {"workbook over the output", {"import", "model.ifc", "w.xlsx", "-o", "w.xlsx"}, 2, "are the same file"},
        {"missing model", {"export", "missing.ifc", "-o", "i.xlsx"}, 1, "missing.ifc"},
        {"truncated model", {"export", "truncated.ifc", "-o", "i.xlsx"}, 1, "truncated.ifc: line 6"},
        {"unwritable workbook", {"export", "model.ifc", "-o", "/proc/i.xlsx"}, 1, "/proc/i.xlsx"},
        {"unwritable model", {"import", "model.ifc", "valid.xlsx", "-o", "/proc/out.ifc"}, 1, "/proc/out.ifc"},
        {"missing workbook", {"import", "model.ifc", "missing.xlsx", "-o", "out.ifc"}, 2, "missing.xlsx"},
        {"not a workbook", {"import", "model.ifc", "w.xlsx", "-o", "out.ifc"}, 2, "The workbook cannot be read"},
    };
    const QByteArray model = readFile(path("model.ifc"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome result = run(QStringList{"inputs"} + c.arguments);
        EXPECT_EQ(result.status, c.status) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out.ifc")));
        EXPECT_FALSE(QFileInfo::exists(path("i.xlsx")));
        EXPECT_EQ(readFile(path("model.ifc")), model);
    }
}

} // namespace

// The type inputs workbook: written from a model's inputs, filled in with
// openpyxl and read back into the model, which then computes as with inputs
// of its own; a workbook wrong anywhere is refused as a whole.

#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsColumns.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"
#include "Sheet.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "TypeInputsWorkbooks.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesSettings;
using Orvane::TypeInputsTable;
using Orvane::TypeInputsWorkbookImport;

const QString sample = QStringLiteral(MQ_SOURCE_DIR "/samples/small-building.ifc");

TypeInputsTable inputsOf(IFC2x3Model& model, const MaterialQuantitiesSettings& settings = {})
{
    return Orvane::TypeInputsReader(&model, settings).read();
}

/// Reads the workbook into the model as the dock and the batch command do;
/// the error, empty when imported.
QString importInto(IFC2x3Model& model, const QString& path, int* changed = nullptr,
                   const MaterialQuantitiesSettings& settings = {})
{
    const TypeInputsWorkbookImport::Result read = TypeInputsWorkbookImport::read(path, inputsOf(model, settings));
    if (!read.isValid()) {
        return read.error;
    }
    QString error;
    const int count = TypeInputsWorkbookImport::apply(read.changes, Orvane::TypeInputsWriter(&model, settings), &error);
    if (changed) {
        *changed = count;
    }
    return error;
}

QStringList resultSetNames()
{
    const MaterialQuantitiesSettings settings;
    return {settings.totalQuantitiesPropertySetName, settings.recoveredQuantitiesPropertySetName,
            settings.reusedQuantitiesPropertySetName};
}

QString exportOf(IFC2x3Model& model, const TempDir& dir, const char* name = "inputs.xlsx")
{
    const QString path = QString::fromStdString(dir.file(name));
    QString error;
    EXPECT_TRUE(Orvane::TypeInputsWorkbookExport::write(inputsOf(model), path, &error)) << error.toStdString();
    return path;
}

QVariantList expectedRow(const Orvane::TypeInputs& inputs, const QStringList& materials)
{
    QVariantList row{inputs.globalId,
                     inputs.name,
                     inputs.entity,
                     double(inputs.instances),
                     inputs.functionalUnit,
                     inputs.massPerFunctionalUnit,
                     inputs.reused < 0 ? QVariant() : QVariant(inputs.reused == 1),
                     inputs.status()};
    for (const QString& material : materials) {
        row.append(inputs.shareOf(material));
    }
    return row;
}

TEST(TypeInputsWorkbook, ExportHoldsEachTypesInputsAsTheModelHasThem)
{
    MQ_REQUIRE_OPENPYXL();
    TempDir dir;
    const auto model = openFile(sample);
    ASSERT_TRUE(model);
    const TypeInputsTable table = inputsOf(*model);
    const QString path = exportOf(*model, dir);

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(sheets), QStringList{"Type inputs"});
    const Sheet& sheet = sheets.front();
    QVariantList headers{"GlobalId", "Type",  "Entity", "Instances", "Functional unit", "Mass per functional unit",
                         "Reused",   "Status"};
    for (const QString& material : table.materials) {
        headers.append(material);
    }
    EXPECT_EQ(sheet.row(1), headers);
    ASSERT_EQ(sheet.rows.size(), table.types.size() + 1);
    for (int i = 0; i < table.types.size(); ++i) {
        EXPECT_EQ(sheet.row(i + 2), expectedRow(table.types.at(i), table.materials)) << "row " << i + 2;
    }
    const QJsonObject layout = Sheet::runPythonJson(R"(
import json, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
print(json.dumps({"freeze": sheet.freeze_panes, "filter": sheet.auto_filter.ref, "bold": sheet["H1"].font.b,
                  "massWidth": sheet.column_dimensions["F"].width}))
)",
                                                    {path})
                                   .object();
    EXPECT_EQ(layout.value("freeze").toString(), "A2");
    const QString lastColumn = Orvane::TypeInputsColumns::letters(headers.size());
    EXPECT_EQ(layout.value("filter").toString(), "A1:" + lastColumn + QString::number(table.types.size() + 1));
    EXPECT_TRUE(layout.value("bold").toBool());
    EXPECT_GT(layout.value("massWidth").toDouble(), 20.0) << "as wide as its header";
}

TEST(TypeInputsWorkbook, FilledInAndReadBackTheModelComputesAsWithItsOwnInputs)
{
    MQ_REQUIRE_OPENPYXL();
    TempDir dir;
    const auto original = openFile(sample);
    const auto model = openFile(sample);
    ASSERT_TRUE(original && model);
    stripTypeInputs(*model);
    const TypeInputsTable originalInputs = inputsOf(*original);
    const QString path = exportOf(*model, dir);
    ASSERT_TRUE(fillWorkbook(path, originalInputs));

    int changed = 0;
    ASSERT_EQ(importInto(*model, path, &changed).toStdString(), "");
    EXPECT_EQ(changed, typesWithInputs(originalInputs));
    EXPECT_EQ(inputsByGlobalId(inputsOf(*model)), inputsByGlobalId(originalInputs)) << "the values filled";

    const MaterialQuantitiesSettings settings;
    ASSERT_TRUE(Orvane::MaterialQuantitiesCalculator(original.get(), settings).computeQuantities());
    ASSERT_TRUE(Orvane::MaterialQuantitiesCalculator(model.get(), settings).computeQuantities());
    const auto expected = valuesOfSets(*original, resultSetNames());
    EXPECT_GT(expected.size(), 100) << "elements, types, buildings and the project";
    EXPECT_EQ(valuesOfSets(*model, resultSetNames()), expected);
}

TEST(TypeInputsWorkbook, WrongWorkbooksAreRefusedWithNothingWritten)
{
    MQ_REQUIRE_OPENPYXL();
    for (const BadWorkbook& bad : badWorkbooks()) {
        SCOPED_TRACE(bad.name);
        TempDir dir;
        const auto model = openFile(sample);
        ASSERT_TRUE(model);
        const QString path = exportOf(*model, dir);
        ASSERT_TRUE(editWorkbook(path, bad.edit));
        const std::string before = model->dataSet()->toText();

        const QString error = importInto(*model, path);
        EXPECT_TRUE(saysInOrder(error, bad.message)) << error.toStdString();
        EXPECT_FALSE(model->dataSet()->isModified());
        EXPECT_TRUE(model->dataSet()->toText() == before) << "the model is left as it was";
    }
}

// The composition's path leads into the elements' own sets, which a type
// cannot write: the functional unit of the same rows is not written either.
TEST(TypeInputsWorkbook, AnInputThatCannotBeWrittenWritesNothing)
{
    MQ_REQUIRE_OPENPYXL();
    TempDir dir;
    const auto model = openFile(sample);
    ASSERT_TRUE(model);
    const QString path = exportOf(*model, dir);
    ASSERT_TRUE(editWorkbook(path, "sheet['E2'] = 'area'\nsheet['I3'] = 1.0"));
    MaterialQuantitiesSettings settings;
    settings.materialCompositionPropertyPath = "Properties/Pourcentage_PMIB";

    const QString error = importInto(*model, path, nullptr, settings);
    EXPECT_TRUE(error.startsWith("The material composition cannot be written at \"Properties/Pourcentage_PMIB\""))
        << error.toStdString();
    EXPECT_FALSE(model->dataSet()->isModified());
}

struct Accepted
{
    const char* name;
    /// Statements editing the row `row` of the type whose reuse flag is
    /// reusedBefore (any type with inputs for -1).
    QString edit;
    int reusedBefore;
    /// The type's inputs once read back, from what they were.
    std::function<void(ComparableInputs&, const QStringList& materials)> expect;
};

void setMass(ComparableInputs& inputs, const QStringList&)
{
    inputs.mass = 777.0;
}

TEST(TypeInputsWorkbook, AcceptedSpellingsAndEmptyCells)
{
    MQ_REQUIRE_OPENPYXL();
    const auto reusedAs = [](int flag) {
        return [flag](ComparableInputs& inputs, const QStringList&) { inputs.reused = flag; };
    };
    const Accepted cases[] = {
        {"as exported", "", -1, [](ComparableInputs&, const QStringList&) {}},
        {"headers in French",
         QString::fromUtf8(
             "sheet.title = 'Données des types'\n"
             "for column, header in enumerate(['GlobalId', 'Type', 'Entité', 'Instances',\n"
             "        'Unité fonctionnelle', 'MASSE PAR UNITÉ FONCTIONNELLE', 'réemployé', 'Statut'], 1):\n"
             "    sheet.cell(1, column).value = header\n"
             "sheet.cell(row, 6).value = 777.0"),
         -1, setMass},
        {"yes", "sheet.cell(row, 7).value = 'yes'", 0, reusedAs(1)},
        {"OUI", "sheet.cell(row, 7).value = 'OUI'", 0, reusedAs(1)},
        {"the number 1", "sheet.cell(row, 7).value = 1", 0, reusedAs(1)},
        {"the text 1", "sheet.cell(row, 7).value = '1'", 0, reusedAs(1)},
        {"Non", "sheet.cell(row, 7).value = 'Non'", 1, reusedAs(0)},
        {"the text FALSE", "sheet.cell(row, 7).value = 'FALSE'", 1, reusedAs(0)},
        {"the number 0", "sheet.cell(row, 7).value = 0", 1, reusedAs(0)},
        {"a boolean", "sheet.cell(row, 7).value = False", 1, reusedAs(0)},
        {"empty functional unit", "sheet.cell(row, 5).value = None\nsheet.cell(row, 6).value = 777.0", -1, setMass},
        {"empty mass", "sheet.cell(row, 6).value = None\nsheet.cell(row, 5).value = 'area'", -1,
         [](ComparableInputs& inputs, const QStringList&) { inputs.functionalUnit = "area"; }},
        {"empty reuse flag", "sheet.cell(row, 7).value = None\nsheet.cell(row, 6).value = 777.0", 1, setMass},
        {"empty shares",
         "for column in range(9, sheet.max_column + 1):\n    sheet.cell(row, column).value = None\n"
         "sheet.cell(row, 6).value = 777.0",
         -1, setMass},
        {"one share filled",
         "for column in range(9, sheet.max_column + 1):\n    sheet.cell(row, column).value = None\n"
         "sheet.cell(row, 9).value = 100",
         -1,
         [](ComparableInputs& inputs, const QStringList& materials) {
             inputs.shares = {{materials.front(), 100.0}};
         }},
        {"a decimal comma", "sheet.cell(row, 6).value = '12,5'", -1,
         [](ComparableInputs& inputs, const QStringList&) { inputs.mass = 12.5; }},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto model = openFile(sample);
        ASSERT_TRUE(model);
        const TypeInputsTable before = inputsOf(*model);
        const auto edited = std::find_if(before.types.cbegin(), before.types.cend(), [&](const auto& inputs) {
            return inputs.hasComposition && (c.reusedBefore < 0 || inputs.reused == c.reusedBefore);
        });
        ASSERT_NE(edited, before.types.cend());
        const int row = int(edited - before.types.cbegin()) + 2;
        const QString path = exportOf(*model, dir);
        ASSERT_TRUE(editWorkbook(path, QStringLiteral("row = %1\n").arg(row) + c.edit));

        int changed = -1;
        ASSERT_EQ(importInto(*model, path, &changed).toStdString(), "");
        auto expected = inputsByGlobalId(before);
        c.expect(expected[edited->globalId], before.materials);
        EXPECT_EQ(inputsByGlobalId(inputsOf(*model)), expected);
        EXPECT_EQ(changed, expected == inputsByGlobalId(before) ? 0 : 1);
    }
}

TEST(TypeInputsWorkbook, ExportedInFrenchReadsBackInAnyLanguage)
{
    MQ_REQUIRE_OPENPYXL();
    TempDir dir;
    const auto model = openFile(sample);
    ASSERT_TRUE(model);
    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral("material_quantities_fr"), QStringLiteral(MQ_TRANSLATIONS_DIR)));
    QCoreApplication::installTranslator(&french);
    const QString path = exportOf(*model, dir);
    QCoreApplication::removeTranslator(&french);

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(sheets), QStringList{QString::fromUtf8("Données des types")});
    EXPECT_EQ(sheets.front().row(1).mid(0, 8), (QVariantList{"GlobalId", "Type", QString::fromUtf8("Entité"),
                                                             "Instances", QString::fromUtf8("Unité fonctionnelle"),
                                                             QString::fromUtf8("Masse par unité fonctionnelle"),
                                                             QString::fromUtf8("Réemployé"), "Statut"}));
    ASSERT_TRUE(editWorkbook(path, "sheet['F2'] = 777.0"));
    int changed = 0;
    ASSERT_EQ(importInto(*model, path, &changed).toStdString(), "");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(inputsOf(*model).types.front().massPerFunctionalUnit, QVariant(777.0));
}

} // namespace

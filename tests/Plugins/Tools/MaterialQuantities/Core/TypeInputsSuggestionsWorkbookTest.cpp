// Suggested inputs in the type inputs workbook: in columns of their own,
// which an import ignores until the user copies them into the inputs.
#include "HostModels.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsColumns.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsSuggester.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookExport.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWorkbookImport.h"
#include "Sheet.h"
#include "SuggestionModels.h"
#include "TempDir.h"
#include "TypeInputsWorkbooks.h"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;
using Orvane::TypeInputsColumns;

class TypeInputsSuggestionsWorkbook : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MQ_REQUIRE_OPENPYXL();
        model = suggestionModel().open();
        ASSERT_TRUE(model);
        table = Orvane::TypeInputsReader(model.get(), settings).read();
        const auto suggestions = Orvane::TypeInputsSuggester(model.get(), settings, suggestionLibrary()).suggest(table);
        QString error;
        ASSERT_TRUE(Orvane::TypeInputsWorkbookExport::write(table, suggestions, path, &error)) << error.toStdString();
    }
    /// The column of a header, numbered from 1, or 0.
    int columnOf(const Sheet& sheet, const QString& header) const { return sheet.row(1).indexOf(header) + 1; }
    int rowOf(const Sheet& sheet, const QString& type) const
    {
        for (int row = 2; row <= sheet.rows.size(); ++row) {
            if (sheet.cell(row, TypeInputsColumns::Type + 1) == type) {
                return row;
            }
        }
        return 0;
    }

    const Orvane::MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings::defaults();
    std::unique_ptr<IFC2x3Model> model;
    Orvane::TypeInputsTable table;
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("inputs.xlsx"));
};

TEST_F(TypeInputsSuggestionsWorkbook, HoldsTheSuggestionsInColumnsOfTheirOwn)
{
    const Sheet sheet = Sheet::readWorkbook(path).front();
    const int wall = rowOf(sheet, QString::fromUtf8("Mur béton 20"));
    ASSERT_GT(wall, 0);
    const int mass = columnOf(sheet, TypeInputsColumns::header(TypeInputsColumns::SuggestedMass));
    ASSERT_GT(mass, TypeInputsColumns::Count);
    EXPECT_NEAR(sheet.cell(wall, mass).toDouble(), 0.2 * 2500.0 + 0.1 * 30.0, 1e-9);
    EXPECT_EQ(sheet.cell(wall, columnOf(sheet, TypeInputsColumns::header(TypeInputsColumns::SuggestedFunctionalUnit))),
              QStringLiteral("Area"));
    const int concrete = columnOf(sheet, TypeInputsColumns::suggestedShareHeader(QString::fromUtf8("Béton armé")));
    ASSERT_GT(concrete, 0);
    EXPECT_NEAR(sheet.cell(wall, concrete).toDouble(), 500.0 / 503.0 * 100.0, 1e-9);
    EXPECT_TRUE(sheet.cell(wall, columnOf(sheet, TypeInputsColumns::header(TypeInputsColumns::SuggestionSources)))
                    .toString()
                    .contains(QString::fromUtf8("layer set 'Mur béton 20'")));
    EXPECT_TRUE(sheet.cell(wall, TypeInputsColumns::MassPerFunctionalUnit + 1).isNull());
}

TEST_F(TypeInputsSuggestionsWorkbook, ImportIgnoresThemUntilCopiedIntoTheInputs)
{
    const auto unchanged = Orvane::TypeInputsWorkbookImport::read(path, table);
    ASSERT_TRUE(unchanged.isValid()) << unchanged.error.toStdString();
    EXPECT_TRUE(unchanged.changes.isEmpty());

    const Sheet sheet = Sheet::readWorkbook(path).front();
    const int wall = rowOf(sheet, QString::fromUtf8("Mur béton 20"));
    const int mass = columnOf(sheet, TypeInputsColumns::header(TypeInputsColumns::SuggestedMass));
    ASSERT_TRUE(editWorkbook(path, QStringLiteral("sheet.cell(%1, %2).value = sheet.cell(%1, %3).value")
                                       .arg(wall)
                                       .arg(TypeInputsColumns::MassPerFunctionalUnit + 1)
                                       .arg(mass)));
    const auto copied = Orvane::TypeInputsWorkbookImport::read(path, table);
    ASSERT_TRUE(copied.isValid()) << copied.error.toStdString();
    ASSERT_EQ(copied.changes.size(), 1);
    EXPECT_FALSE(copied.changes.front().functionalUnit);
    EXPECT_FALSE(copied.changes.front().composition);
    EXPECT_NEAR(copied.changes.front().massPerFunctionalUnit.value_or(0.0), 503.0, 1e-9);
}

} // namespace

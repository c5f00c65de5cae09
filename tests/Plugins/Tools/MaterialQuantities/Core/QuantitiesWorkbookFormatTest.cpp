#include "DefaultLocale.h"
#include "HostModels.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSettings.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialTotalQuantitiesModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "OrvaneXlsx/ModelToExcelExport.h"
#include "OrvaneXlsx/XlsxColumnWidths.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace testsupport;
using Orvane::QuantitiesWorkbookExport;
using Orvane::XlsxColumnWidths;

namespace {

/// Each sheet as openpyxl reads its presentation: frozen cell, filter range,
/// column widths, and every cell's value, boldness, number format and type.
const char* const layoutScript = R"(
import json, sys, openpyxl
from openpyxl.utils import get_column_letter
book = openpyxl.load_workbook(sys.argv[1])
out = []
for sheet in book.worksheets:
    cells = [[{"value": c.value, "bold": bool(c.font.b), "format": c.number_format, "type": c.data_type}
              for c in row] for row in sheet.iter_rows(min_row=1, min_col=1, max_row=sheet.max_row,
                                                       max_col=sheet.max_column)]
    widths = [sheet.column_dimensions[get_column_letter(c)].width for c in range(1, sheet.max_column + 1)]
    out.append({"freeze": sheet.freeze_panes, "filter": sheet.auto_filter.ref, "widths": widths,
                "cells": cells, "lastCell": get_column_letter(sheet.max_column) + str(sheet.max_row)})
sys.stdout.write(json.dumps(out))
)";

const QString massFormat = QStringLiteral("#,##0.000\" kg\"");

QJsonArray readLayout(const QString& path)
{
    return Sheet::runPythonJson(QString::fromUtf8(layoutScript), {path}).array();
}

QJsonObject cell(const QJsonObject& sheet, int row, int column)
{
    return sheet.value("cells").toArray().at(row - 1).toArray().at(column - 1).toObject();
}

/// The quantities workbook of the computed sample, as the batch command
/// writes it, read back once for all tests.
class QuantitiesWorkbookFormat : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!Sheet::readerAvailable()) {
            return;
        }
        model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc"))).release();
        ASSERT_TRUE(model);
        const Orvane::MaterialQuantitiesSettings settings;
        Orvane::MaterialQuantitiesCalculator calculator(model, settings);
        ASSERT_TRUE(calculator.computeQuantities());
        totals = new Orvane::MaterialTotalQuantitiesModel;
        totals->fillFromModel(model, settings);
        details = new Orvane::MaterialQuantitiesProxyModel(settings.totalQuantitiesPropertySetName);
        details->setQuantitiesPropPathMap(calculator.getQuantitiesPropPathMap());
        details->setSourceModel(model);

        dir = new QTemporaryDir;
        const QString path = dir->filePath("Export_PMD.xlsx");
        QString error;
        ASSERT_TRUE(QuantitiesWorkbookExport::exportQuantities(totals, details, path, &error)) << error.toStdString();
        sheets = new QJsonArray(readLayout(path));
    }

    static void TearDownTestSuite()
    {
        delete sheets;
        delete dir;
        delete details;
        delete totals;
        delete model;
    }

    void SetUp() override
    {
        MQ_REQUIRE_OPENPYXL();
        ASSERT_TRUE(sheets && sheets->size() == 2);
        ASSERT_GT(totals->rowCount(), 0);
        ASSERT_GT(details->rowCount(), 1);
    }

    static QJsonObject totalsSheet() { return sheets->at(0).toObject(); }
    static QJsonObject detailsSheet() { return sheets->at(1).toObject(); }

    static inline Orvane::_ifc2x3::IFC2x3Model* model = nullptr;
    static inline Orvane::MaterialTotalQuantitiesModel* totals = nullptr;
    static inline Orvane::MaterialQuantitiesProxyModel* details = nullptr;
    static inline QTemporaryDir* dir = nullptr;
    static inline QJsonArray* sheets = nullptr;
};

} // namespace

TEST_F(QuantitiesWorkbookFormat, TheHeaderRowIsBoldFrozenAndFiltersAllTheRows)
{
    const QList<QPair<QJsonObject, const QAbstractItemModel*>> cases = {{totalsSheet(), totals},
                                                                        {detailsSheet(), details}};
    for (const auto& [sheet, source] : cases) {
        SCOPED_TRACE(
            QString::fromUtf8(QJsonDocument(sheet.value("cells").toArray().at(0).toArray()).toJson()).toStdString());
        EXPECT_EQ(sheet.value("freeze").toString(), "A2");
        EXPECT_EQ(sheet.value("filter").toString(), "A1:" + sheet.value("lastCell").toString());
        EXPECT_EQ(sheet.value("cells").toArray().size(), source->rowCount() + 1);
        for (int column = 1; column <= source->columnCount(); ++column) {
            EXPECT_TRUE(cell(sheet, 1, column).value("bold").toBool()) << column;
            EXPECT_FALSE(cell(sheet, 2, column).value("bold").toBool()) << column;
        }
    }
}

TEST_F(QuantitiesWorkbookFormat, MassesAreNumbersShownInKilogramsWithThreeDecimals)
{
    // Totals: the material name, then the two masses.
    for (int row = 2; row <= totals->rowCount() + 1; ++row) {
        EXPECT_EQ(cell(totalsSheet(), row, 1).value("format").toString(), "General") << row;
        for (int column = 2; column <= 3; ++column) {
            EXPECT_EQ(cell(totalsSheet(), row, column).value("type").toString(), "n") << row << ", " << column;
            EXPECT_EQ(cell(totalsSheet(), row, column).value("format").toString(), massFormat) << row << ", " << column;
        }
    }
    // Details: the material columns lie between the type and the quantity
    // path, which the reason follows.
    int masses = 0;
    for (int row = 2; row <= details->rowCount() + 1; ++row) {
        EXPECT_EQ(cell(detailsSheet(), row, 2).value("format").toString(), "General") << row;
        for (int column = 4; column < details->columnCount() - 1; ++column) {
            const QJsonObject mass = cell(detailsSheet(), row, column);
            if (mass.value("value").isNull()) {
                continue;
            }
            EXPECT_EQ(mass.value("type").toString(), "n") << row << ", " << column;
            EXPECT_EQ(mass.value("format").toString(), massFormat) << row << ", " << column;
            ++masses;
        }
    }
    EXPECT_GT(masses, details->rowCount());
}

TEST_F(QuantitiesWorkbookFormat, TheStatusColumnIsHeadedAndNamesElementsWithoutQuantities)
{
    EXPECT_EQ(cell(detailsSheet(), 1, 1).value("value").toString(), "Status");
    for (int row = 0; row < details->rowCount(); ++row) {
        const bool withoutQuantities = details->data(details->index(row, 0), Qt::EditRole).toInt() == 1;
        const QJsonValue status = cell(detailsSheet(), row + 2, 1).value("value");
        if (withoutQuantities) {
            EXPECT_EQ(status.toString(), "Without quantities") << row;
        } else {
            EXPECT_TRUE(status.isNull()) << row;
        }
    }
}

TEST_F(QuantitiesWorkbookFormat, EachColumnIsAsWideAsItsLongestText)
{
    for (const QJsonValue& value : *sheets) {
        const QJsonObject sheet = value.toObject();
        const QJsonArray widths = sheet.value("widths").toArray();
        const QJsonArray rows = sheet.value("cells").toArray();
        for (int column = 0; column < widths.size(); ++column) {
            int longest = 0;
            for (const QJsonValue& row : rows) {
                longest = std::max(longest, int(row.toArray().at(column).toObject().value("value").toString().size()));
            }
            const double width = widths.at(column).toDouble();
            EXPECT_GE(width, std::min<double>(longest, XlsxColumnWidths::maxWidth)) << column;
            EXPECT_LE(width, XlsxColumnWidths::maxWidth) << column;
            if (longest > 12) {
                EXPECT_GT(width, XlsxColumnWidths::defaultWidth) << column;
            }
        }
    }
    // "Quantity property path" (before the reason) is longer than a default
    // column holds.
    const QJsonArray widths = detailsSheet().value("widths").toArray();
    EXPECT_GT(widths.at(widths.size() - 2).toDouble(), 22);
}

// Whatever unit the dock shows, the workbook holds kilograms under bare titles.
TEST(QuantitiesWorkbookOrder, MaterialsFollowTheFrenchCollationInKilograms)
{
    MQ_REQUIRE_OPENPYXL();
    const DefaultLocale french(DefaultLocale::french());
    ModelBuilder text;
    const int wall = text.element("IFCWALL", "Mur");
    auto model = text.open();
    ASSERT_TRUE(model);
    const Orvane::MaterialQuantitiesSettings settings;
    const std::vector<std::pair<QString, double>> masses = {
        {"Bois", 1.0}, {"C25/30", 2.0}, {"acier", 3.0}, {"C8/10", 4.0}, {"B\u00e9ton", 1500.0}};
    addMasses(*model, text.project(), settings.totalQuantitiesPropertySetName, masses);
    addMasses(*model, text.project(), settings.recoveredQuantitiesPropertySetName, masses);
    addMasses(*model, wall, settings.totalQuantitiesPropertySetName, masses);
    Orvane::MaterialTotalQuantitiesModel totals;
    totals.fillFromModel(model.get(), settings);
    totals.setMassUnit(Orvane::MassDisplayUnit::Tonne);
    Orvane::MaterialQuantitiesProxyModel details(settings.totalQuantitiesPropertySetName);
    details.setSourceModel(model.get());
    details.setMassUnit(Orvane::MassDisplayUnit::Tonne);

    const QTemporaryDir dir;
    const QString path = dir.filePath("order.xlsx");
    ASSERT_TRUE(QuantitiesWorkbookExport::exportQuantities(&totals, &details, path));
    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 2);
    const QVariantList collated = {"acier", "B\u00e9ton", "Bois", "C8/10", "C25/30"};
    QVariantList totalNames;
    for (int row = 2; row <= sheets[0].rows.size(); ++row) {
        totalNames.append(sheets[0].cell(row, 1));
    }
    EXPECT_EQ(totalNames, collated);
    EXPECT_EQ(sheets[0].row(1), QVariantList({"Name", "To recover", "Reused"}));
    EXPECT_EQ(sheets[0].cell(3, 2), QVariant(1500.0));
    EXPECT_EQ(sheets[1].row(1).mid(3, collated.size()), collated);
    EXPECT_EQ(sheets[1].cell(2, 5), QVariant(1500.0));
}

TEST(ModelToExcelExportLayout, ASheetWithoutLayoutStaysRaw)
{
    MQ_REQUIRE_OPENPYXL();
    QStandardItemModel model(1, 2);
    model.setHorizontalHeaderLabels({"A rather long header for a default column", "Mass"});
    model.setData(model.index(0, 1), 1234.5678);
    QTemporaryDir dir;
    const QString path = dir.filePath("raw.xlsx");
    ASSERT_TRUE(Orvane::modelToExcelExport(&model, path, "Raw", false));
    const QJsonObject sheet = readLayout(path).at(0).toObject();
    EXPECT_TRUE(sheet.value("freeze").isNull());
    EXPECT_TRUE(sheet.value("filter").isNull());
    EXPECT_FALSE(cell(sheet, 1, 1).value("bold").toBool());
    EXPECT_EQ(cell(sheet, 2, 2).value("format").toString(), "General");
    EXPECT_EQ(sheet.value("widths").toArray().at(0).toDouble(), 13.0); // openpyxl's default
}

TEST(XlsxColumnWidths, ANumberIsAsLongAsItsFormatShowsIt)
{
    const struct
    {
        double number;
        const char* format;
        int length;
    } cases[] = {
        {1234.5678, "#,##0.000\" kg\"", 12}, // 1,234.568 kg
        {0.0, "#,##0.000\" kg\"", 8},        // 0.000 kg
        {999.9996, "#,##0.000\" kg\"", 12},  // rounds up to 1,000.000 kg
        {-1e6, "#,##0.000\" kg\"", 17},      // -1,000,000.000 kg
        {1234.5, "0", 4},                    // 1235
        {7.979999999999999, "", 4},          // General: 7.98
        {1234567.891234, "", 11},            // General: 11 characters at most
        {48000.0, "", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XlsxColumnWidths::numberLength(c.number, c.format), c.length) << c.number << " " << c.format;
    }
}

#include "Sheet.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/QuantitiesWorkbookExport.h"

#include "Orvane/BooleanVariant.h"
#include "OrvaneXlsx/ModelToExcelExport.h"
#include "OrvaneXlsx/XlsxDocument.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QLocale>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using Orvane::BooleanVariant;
using Orvane::modelToExcelExport;
using Orvane::QuantitiesWorkbookExport;

namespace {

/// A table as the result models show one: the display role formats what
/// the edit role holds raw.
class FormattedModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& = QModelIndex()) const override { return 2; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 5; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        return QStringList{"", "Name", "Béton", "Réemployé", "Code"}.at(section);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const double mass = 1234.5 * (index.row() + 1);
        switch (index.column()) {
        case 0: // a status shown as an icon only
            return role == Qt::DecorationRole ? QVariant(QIcon()) : QVariant();
        case 1:
            return role == Qt::DisplayRole || role == Qt::EditRole
                       ? QVariant(QStringLiteral("Mur n°%1").arg(index.row()))
                       : QVariant();
        case 2:
            if (role == Qt::EditRole) {
                return mass;
            }
            return role == Qt::DisplayRole ? QVariant(QLocale(QLocale::French).toString(mass, 'f', 2) + " kg")
                                           : QVariant();
        case 3:
            return role == Qt::DisplayRole ? QVariant::fromValue(BooleanVariant(
                                                 index.row() == 0 ? BooleanVariant::True : BooleanVariant::Unknown))
                                           : QVariant();
        default: // the edit role holds a code that is no number: the display text goes out
            if (role == Qt::EditRole) {
                return QStringLiteral("raw-%1").arg(index.row());
            }
            return role == Qt::DisplayRole ? QVariant(QStringLiteral("Code %1").arg(index.row())) : QVariant();
        }
    }
};

/// Rows of values under headers, one item per cell (invalid values: no item data).
std::unique_ptr<QStandardItemModel> tableModel(const QStringList& headers, const QList<QVariantList>& rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), headers.size());
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].isValid()) {
                model->setData(model->index(r, c), rows[r][c], Qt::EditRole);
            }
        }
    }
    return model;
}

/// Claims more rows than a sheet holds.
class HugeModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& = QModelIndex()) const override { return Orvane::XlsxDocument::maxRows; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    QVariant data(const QModelIndex&, int) const override { return 1.0; }
};

/// Results as the dock shows them: totals per material, one row per element.
struct Results
{
    std::unique_ptr<QStandardItemModel> totals =
        tableModel({"Material", "Total", "Recovered", "Reused"},
                   {{"Acier", 120.5, 100.5, 20.0}, {"Béton", 48000.0, 48000.0, 0.0}});
    std::unique_ptr<QStandardItemModel> details =
        tableModel({"", "Name", "Type", "Acier", "Béton", "Quantity property path"},
                   {{QVariant(), "Mur 2", "Mur béton 20", 0.0, 24000.0, "Properties/BaseQuantities/NetVolume"},
                    {QVariant(), "Mur 1", "Mur béton 20", 120.5, 24000.0, "Properties/BaseQuantities/NetVolume"}});
};

} // namespace

TEST(ModelToExcelExport, WritesHeadersThenNumbersFromTheEditRole)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("formatted.xlsx");
    FormattedModel model;
    QString error;
    ASSERT_TRUE(modelToExcelExport(&model, path, "Détails", true, &error)) << error.toStdString();

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].name, "Détails");
    EXPECT_EQ(sheets[0].row(1), (QVariantList{QVariant(), "Name", "Béton", "Réemployé", "Code"}));
    EXPECT_EQ(sheets[0].row(2), (QVariantList{QVariant(), QString("Mur n°0"), 1234.5, true, "Code 0"}));
    EXPECT_EQ(sheets[0].row(3), (QVariantList{QVariant(), QString("Mur n°1"), 2469.0, QVariant(), "Code 1"}));
    EXPECT_EQ(sheets[0].cell(2, 3).userType(), QMetaType::Double);
}

TEST(ModelToExcelExport, AddingSheetsKeepsTheOthersIntactWhoeverWroteThem)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("book.xlsx");
    // openpyxl keeps texts in the shared strings table, unlike our writer.
    ASSERT_TRUE(Sheet::runPython(R"(
import sys, openpyxl
book = openpyxl.Workbook()
sheet = book.active
sheet.title = "Saisie"
sheet["A1"] = "Matériau"
sheet["B2"] = 2400
sheet["C3"] = True
sheet["D4"] = "Tab\tet\nretour"
sheet["E5"] = 3.25
sheet["A6"] = "Matériau"
book.create_sheet("Notes")["B2"] = "seul"
book.save(sys.argv[1])
)",
                                 {path}));
    const QList<Sheet> foreign = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(foreign), (QStringList{"Saisie", "Notes"}));

    const auto first = tableModel({"Matériau", "Masse", "Réemployé"}, {{"Béton", 1500.25, true},
                                                                       {"Laine de verre — 45 mm", QVariant(), false},
                                                                       {QVariant(), -0.5, QVariant()},
                                                                       {"Ligne\nsuivante", 1e-9, true}});
    ASSERT_TRUE(modelToExcelExport(first.get(), path, "Totaux", true));
    const QList<Sheet> before = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(before), (QStringList{"Saisie", "Notes", "Totaux"}));
    EXPECT_EQ(before[2].row(2), (QVariantList{"Béton", 1500.25, true}));
    EXPECT_EQ(before[2].row(5), (QVariantList{"Ligne\nsuivante", 1e-9, true}));

    const auto third = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(third.get(), path, "Troisième", true));
    const QList<Sheet> after = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(after), (QStringList{"Saisie", "Notes", "Totaux", "Troisième"}));
    for (int sheet = 0; sheet < 3; ++sheet) {
        EXPECT_EQ(after[sheet].rows, before[sheet].rows) << sheet;
    }
    EXPECT_EQ(before[0].rows, foreign[0].rows);
    EXPECT_EQ(before[1].rows, foreign[1].rows);
}

TEST(ModelToExcelExport, AFileThatIsNoWorkbookOrAModelTooLargeOrMissingLeavesTheFileAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.xlsx");
    ASSERT_TRUE(writeFile(path, "my notes"));
    const auto model = tableModel({"x"}, {{1}});
    QString error;
    EXPECT_FALSE(modelToExcelExport(model.get(), path, "Sheet", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), "my notes");

    const QString kept = dir.filePath("kept.xlsx");
    ASSERT_TRUE(modelToExcelExport(model.get(), kept, "Small", true));
    const QByteArray before = readFile(kept);
    HugeModel huge;
    error.clear();
    EXPECT_FALSE(modelToExcelExport(&huge, kept, "Huge", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(modelToExcelExport(nullptr, kept, "None", true));
    Results results;
    EXPECT_FALSE(QuantitiesWorkbookExport::exportQuantities(results.totals.get(), nullptr, kept, &error));
    EXPECT_EQ(readFile(kept), before);
}

TEST(QuantitiesWorkbookExport, ReplacesAWorkbookWithTheTwoSheets)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("Export_PMD.xlsx");
    // A workbook from an earlier export plus a sheet the user added.
    const auto notes = tableModel({"Note"}, {{"à garder ?"}});
    ASSERT_TRUE(modelToExcelExport(notes.get(), path, "Notes", true));
    ASSERT_TRUE(modelToExcelExport(notes.get(), path, "Total quantities", true));

    Results results;
    QString error;
    ASSERT_TRUE(QuantitiesWorkbookExport::exportQuantities(results.totals.get(), results.details.get(), path, &error))
        << error.toStdString();

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(sheets), (QStringList{"Total quantities", "Details quantities"}));
    EXPECT_EQ(sheets[0].row(1), (QVariantList{"Material", "Total", "Recovered", "Reused"}));
    EXPECT_EQ(sheets[0].row(3), (QVariantList{"Béton", 48000.0, 48000.0, 0.0}));
    EXPECT_EQ(sheets[1].row(1), (QVariantList{QVariant(), "Name", "Type", "Acier", "Béton", "Quantity property path"}));
    // Model order, numbers as numbers.
    EXPECT_EQ(sheets[1].cell(2, 2), QVariant("Mur 2"));
    EXPECT_EQ(sheets[1].cell(3, 2), QVariant("Mur 1"));
    EXPECT_EQ(sheets[1].cell(3, 4).userType(), QMetaType::Double);
    EXPECT_EQ(sheets[1].cell(3, 4).toDouble(), 120.5);
    EXPECT_EQ(sheets[1].rows.size(), 3);
}

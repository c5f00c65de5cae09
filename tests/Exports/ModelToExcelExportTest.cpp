#include "FileSizeLimit.h"
#include "HostModels.h"
#include "LogCapture.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/ModelToExcelExport.h"
#include "Orvane/Xlsx/XlsxDocument.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QLocale>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using Orvane::BooleanVariant;
using Orvane::modelToExcelExport;

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

/// Rows of values under headers, one item per cell.
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

TEST(ModelToExcelExport, AddingASheetKeepsTheOthersIntact)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("book.xlsx");
    const auto first = tableModel({"Matériau", "Masse", "Réemployé"}, {{"Béton", 1500.25, true},
                                                                       {"Laine de verre — 45 mm", QVariant(), false},
                                                                       {QVariant(), -0.5, QVariant()},
                                                                       {"Ligne\nsuivante", 1e-9, true}});
    const auto second = tableModel({"Élément"}, {{"Mur 1"}, {"Dalle étage"}});
    ASSERT_TRUE(modelToExcelExport(first.get(), path, "Totaux", true));
    ASSERT_TRUE(modelToExcelExport(second.get(), path, "Éléments", true));
    const QList<Sheet> before = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(before), (QStringList{"Totaux", "Éléments"}));
    EXPECT_EQ(before[0].row(2), (QVariantList{"Béton", 1500.25, true}));
    EXPECT_EQ(before[0].row(5), (QVariantList{"Ligne\nsuivante", 1e-9, true}));

    const auto third = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(third.get(), path, "Troisième", true));
    const QList<Sheet> after = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(after), (QStringList{"Totaux", "Éléments", "Troisième"}));
    EXPECT_EQ(after[0].rows, before[0].rows);
    EXPECT_EQ(after[1].rows, before[1].rows);
}

TEST(ModelToExcelExport, KeepsTheSheetsOfAWorkbookFromAnotherWriter)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.xlsx");
    // openpyxl keeps texts in the shared strings table, unlike our writer.
    ASSERT_TRUE(Sheet::runPython(R"(
import sys, openpyxl
book = openpyxl.Workbook()
sheet = book.active
sheet.title = "Saisie"
sheet["A1"] = "Matériau"
sheet["B1"] = "Masse"
sheet["A2"] = "Béton"
sheet["B2"] = 2400
sheet["C3"] = True
sheet["D4"] = "Tab\tet\nretour"
sheet["E5"] = 3.25
sheet["A6"] = "Béton"
other = book.create_sheet("Notes")
other["B2"] = "seul"
book.save(sys.argv[1])
)",
                                 {path}));
    const QList<Sheet> before = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(before), (QStringList{"Saisie", "Notes"}));

    const auto model = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(model.get(), path, "Ajout", true));
    const QList<Sheet> after = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(after), (QStringList{"Saisie", "Notes", "Ajout"}));
    EXPECT_EQ(after[0].rows, before[0].rows);
    EXPECT_EQ(after[1].rows, before[1].rows);
}

TEST(ModelToExcelExport, ASheetOfTheSameNameIsReplaced)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("replace.xlsx");
    const auto old = tableModel({"old"}, {{1}, {2}, {3}});
    const auto other = tableModel({"other"}, {{"kept"}});
    const auto fresh = tableModel({"new"}, {{4}});
    ASSERT_TRUE(modelToExcelExport(old.get(), path, "Data", true));
    ASSERT_TRUE(modelToExcelExport(other.get(), path, "Other", true));
    ASSERT_TRUE(modelToExcelExport(fresh.get(), path, "DATA", true));

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(sheets), (QStringList{"Other", "DATA"}));
    EXPECT_EQ(sheets[1].rows, (QList<QVariantList>{{"new"}, {4.0}}));
}

TEST(ModelToExcelExport, ASheetNameExcelRefusesIsCleaned)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("names.xlsx");
    const QString name = "Quantités [kg]: lot 1/2 *final* avec un nom bien trop long";
    const auto model = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(model.get(), path, name, true));
    // The same name again gives the same cleaned name, so it replaces.
    ASSERT_TRUE(modelToExcelExport(model.get(), path, name, true));

    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0].name, "Quantités _kg__ lot 1_2 _final_");
}

TEST(ModelToExcelExport, WithoutAddingTheFileHoldsTheNewSheetOnly)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("alone.xlsx");
    const auto model = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(model.get(), path, "One", true));
    ASSERT_TRUE(modelToExcelExport(model.get(), path, "Two", false));
    EXPECT_EQ(Sheet::names(Sheet::readWorkbook(path)), QStringList{"Two"});
}

TEST(ModelToExcelExport, AFileThatIsNoWorkbookIsLeftAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.xlsx");
    ASSERT_TRUE(writeFile(path, "my notes"));
    const auto model = tableModel({"x"}, {{1}});
    QString error;
    EXPECT_FALSE(modelToExcelExport(model.get(), path, "Sheet", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), "my notes");
}

TEST(ModelToExcelExport, AModelTooLargeForASheetKeepsThePreviousWorkbook)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.xlsx");
    const auto small = tableModel({"x"}, {{1}});
    ASSERT_TRUE(modelToExcelExport(small.get(), path, "Small", true));
    const QByteArray before = readFile(path);

    HugeModel huge;
    QString error;
    EXPECT_FALSE(modelToExcelExport(&huge, path, "Huge", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(modelToExcelExport(nullptr, path, "None", true));
    EXPECT_EQ(readFile(path), before);
}

TEST(ModelToExcelExport, ADamagedWorkbookIsLeftAlone)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.xlsx");
    QList<QVariantList> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.append({i * 1.5, QStringLiteral("Élément %1").arg(i)});
    }
    const auto model = tableModel({"Masse", "Nom"}, rows);
    ASSERT_TRUE(modelToExcelExport(model.get(), path, "Data", true));
    // One byte changed in the middle of the sheet's compressed data.
    ASSERT_TRUE(Sheet::runPython(R"(
import sys, zipfile, struct
path = sys.argv[1]
info = zipfile.ZipFile(path).getinfo("xl/worksheets/sheet1.xml")
data = bytearray(open(path, "rb").read())
name_length, extra_length = struct.unpack("<HH", data[info.header_offset + 26:info.header_offset + 30])
position = info.header_offset + 30 + name_length + extra_length + info.compress_size // 2
data[position] ^= 0x55
open(path, "wb").write(data)
)",
                                 {path}));
    const QByteArray damaged = readFile(path);

    const auto other = tableModel({"x"}, {{1}});
    QString error;
    EXPECT_FALSE(modelToExcelExport(other.get(), path, "Other", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), damaged);
}

#include "FileSizeLimit.h"
#include "ItemModels.h"
#include "ModalAnswer.h"
#include "ModelBuilder.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "QuantitiesWorkbookExport.h"

#include "Orvane/BooleanVariant.h"
#include "Orvane/FindFile.h"
#include "Orvane/ModelToExcelExport.h"
#include "Orvane/QtTools.h"
#include "Orvane/Xlsx/XlsxDocument.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QLocale>
#include <QSettings>
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

void setLastFolder(const QString& key, const QString& folder)
{
    QSettings().setValue(key, folder);
}

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

TEST(ModelToExcelExport, ASheetOfTheSameCleanedNameIsReplacedAndWithoutAddingItIsAlone)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("replace.xlsx");
    const auto old = tableModel({"old"}, {{1}, {2}, {3}});
    const auto other = tableModel({"other"}, {{"kept"}});
    const auto fresh = tableModel({"new"}, {{4}});
    const QString name = "Quantités [kg]: lot 1/2 *final* avec un nom bien trop long";
    ASSERT_TRUE(modelToExcelExport(old.get(), path, "Data", true));
    ASSERT_TRUE(modelToExcelExport(other.get(), path, name, true));
    ASSERT_TRUE(modelToExcelExport(fresh.get(), path, "DATA", true));
    ASSERT_TRUE(modelToExcelExport(other.get(), path, name, true));
    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(Sheet::names(sheets), (QStringList{"DATA", "Quantités _kg__ lot 1_2 _final_"}));
    EXPECT_EQ(sheets[0].rows, (QList<QVariantList>{{"new"}, {4.0}}));

    ASSERT_TRUE(modelToExcelExport(fresh.get(), path, "Two", false));
    EXPECT_EQ(Sheet::names(Sheet::readWorkbook(path)), QStringList{"Two"});
}

TEST(ModelToExcelExport, AFileThatIsNoWorkbookOrAModelTooLargeLeavesTheFileAlone)
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
    EXPECT_EQ(readFile(kept), before);
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

TEST(QuantitiesWorkbookExport, FailureKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Export_PMD.xlsx");
    ASSERT_TRUE(writeFile(path, "previous export"));
    Results results;
    QString error;
    EXPECT_FALSE(QuantitiesWorkbookExport::exportQuantities(results.totals.get(), nullptr, path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), "previous export");

    error.clear();
    {
        const FileSizeLimit diskFull;
        EXPECT_FALSE(
            QuantitiesWorkbookExport::exportQuantities(results.totals.get(), results.details.get(), path, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), "previous export");
}

TEST(QuantitiesWorkbookExport, ProposedFileNameNamesTheProject)
{
    const QString key = QuantitiesWorkbookExport::pmdSettingsKey();
    setLastFolder(key, "/data/exports");

    ModelBuilder withProject(ModelBuilder::Metres, QStringLiteral("Résidence Les Pins"));
    const auto model = withProject.open();
    ASSERT_TRUE(model);
    EXPECT_EQ(QuantitiesWorkbookExport::defaultExportFilePath(model.get(), key, "PMD"),
              "/data/exports/Export_PMD_Résidence Les Pins.xlsx");

    // No project: the name is still proposed, without a label.
    ModelBuilder withoutProject(ModelBuilder::Metres, QString());
    const auto bare = withoutProject.open();
    ASSERT_TRUE(bare);
    EXPECT_EQ(QuantitiesWorkbookExport::defaultExportFilePath(bare.get(), key, "PMD"), "/data/exports/Export_PMD.xlsx");
    EXPECT_EQ(QuantitiesWorkbookExport::defaultExportFilePath(nullptr, key, "PMD"), "/data/exports/Export_PMD.xlsx");

    // A label with a slash must not point into another folder.
    ModelBuilder slashed(ModelBuilder::Metres, QStringLiteral("Lot 2/3"));
    const auto lot = slashed.open();
    ASSERT_TRUE(lot);
    const QString components = QuantitiesWorkbookExport::componentsSettingsKey();
    setLastFolder(components, "/data/types");
    EXPECT_EQ(QuantitiesWorkbookExport::defaultExportFilePath(lot.get(), components, "par_type"),
              "/data/types/Export_par_type_Lot 2_3.xlsx");

    // Never used: a folder of the user's, not the root.
    QSettings().remove(key);
    const QString proposal = QuantitiesWorkbookExport::defaultExportFilePath(model.get(), key, "PMD");
    EXPECT_FALSE(proposal.startsWith("/Export"));
    EXPECT_TRUE(proposal.endsWith("/Export_PMD_Résidence Les Pins.xlsx"));
}

TEST(QtTools, SaveDialogRemembersTheChosenFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("chosen"));
    const QString key = "Tests/SaveDialog";
    setLastFolder(key, dir.path());

    // A name typed without extension gets the filter's.
    answerModal<QFileDialog>([&](QFileDialog* dialog) {
        typeFileName(dialog, dir.filePath("chosen/quantities"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const QString chosen = Orvane::QtTools::getSaveFileName(key, nullptr, "Excel output file",
                                                            dir.filePath("Export_PMD_P.xlsx"), "Excel files (*.xlsx)");
    EXPECT_EQ(chosen.toStdString(), dir.filePath("chosen/quantities.xlsx").toStdString());
    EXPECT_EQ(Orvane::QtTools::getLastOpenedPath(key), dir.filePath("chosen"));

    // Cancelling returns nothing and forgets nothing.
    QFileDialog* shown = nullptr;
    answerModal<QFileDialog>([&](QFileDialog* dialog) {
        shown = dialog;
        EXPECT_EQ(dialog->directory().absolutePath(), dir.filePath("chosen"));
        dialog->reject();
    });
    EXPECT_TRUE(Orvane::QtTools::getSaveFileName(key, nullptr, "Excel output file", QString(), "Excel files (*.xlsx)")
                    .isEmpty());
    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(Orvane::QtTools::getLastOpenedPath(key), dir.filePath("chosen"));
}

TEST(FindFile, UserTemplatesComeBeforeInstalledOnes)
{
    const QString name = "ExportComponentsPropertiesList.txt";
    const QString installed = Orvane::FindFile::templateFile(name);
    ASSERT_FALSE(installed.isEmpty()) << "the build copies the template beside the executables";
    EXPECT_EQ(readFile(installed), readFile(QStringLiteral(MQ_SOURCE_DIR "/share/orvane/templates/") + name));

    const QString userFolder = Orvane::FindFile::userTemplateFolder();
    ASSERT_TRUE(QDir().mkpath(userFolder));
    const QString own = QDir(userFolder).filePath(name);
    ASSERT_TRUE(writeFile(own, "Fields/Name\n"));
    EXPECT_EQ(Orvane::FindFile::templateFile(name), own);
    QFile::remove(own);
    EXPECT_EQ(Orvane::FindFile::templateFile(name), installed);

    EXPECT_TRUE(Orvane::FindFile::templateFile("NoSuchTemplate.txt").isEmpty());
}

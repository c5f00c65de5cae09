#include "FileSizeLimit.h"
#include "HostModels.h"
#include "LogCapture.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "TestFiles.h"

#include "QuantitiesWorkbookExport.h"

#include "Orvane/FindFile.h"
#include "Orvane/ModelToExcelExport.h"
#include "Orvane/QtTools.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace testsupport;
using Orvane::QuantitiesWorkbookExport;

namespace {

std::unique_ptr<QStandardItemModel> tableModel(const QStringList& headers, const QList<QVariantList>& rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), headers.size());
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            model->setData(model->index(r, c), rows[r][c], Qt::EditRole);
        }
    }
    return model;
}

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

TEST(QuantitiesWorkbookExport, ReplacesAWorkbookWithTheTwoSheets)
{
    MQ_REQUIRE_OPENPYXL();
    QTemporaryDir dir;
    const QString path = dir.filePath("Export_PMD.xlsx");
    // A workbook from an earlier export plus a sheet the user added.
    const auto notes = tableModel({"Note"}, {{"à garder ?"}});
    ASSERT_TRUE(Orvane::modelToExcelExport(notes.get(), path, "Notes", true));
    ASSERT_TRUE(Orvane::modelToExcelExport(notes.get(), path, "Total quantities", true));

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

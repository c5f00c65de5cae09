// The dock's two workbook exports: when they are offered, the folder they
// propose, and what the main window tells once a workbook is written.
#include "HostModels.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "ShownInDock.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "OrvaneWidgets/FileWrittenNotice.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesDockWidget;

const int patienceMs = 60000;
const char* const pmdButton = "exportPMDPushButton";
const char* const componentsButton = "exportComponentsPushButton";
const char* const inventoryButton = "exportInventoryPushButton";

/// Where the desktop was asked to open a file address.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class DockExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().remove("MaterialQuantities");
        window.statusBar();
        dock = new MaterialQuantitiesDockWidget(&window);
        window.addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->setSettings(Orvane::MaterialQuantitiesSettings());
        ASSERT_TRUE(QDir().mkpath(modelFolder));
        ASSERT_TRUE(QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", modelFolder + "/model.ifc"));
        model = openFile(modelFolder + "/model.ifc");
        ASSERT_TRUE(model);
    }

    void computeAndShow()
    {
        ASSERT_TRUE(Orvane::MaterialQuantitiesCalculator(model.get(), Orvane::MaterialQuantitiesSettings())
                        .computeQuantities());
        showInDock(*dock, nullptr);
        showInDock(*dock, model.get());
    }

    QPushButton* button(const char* name) const { return dock->findChild<QPushButton*>(name); }

    /// The folder the button's dialog proposes; the dialog is cancelled.
    QString proposedFolder(const char* name)
    {
        QString folder;
        answerModal<QFileDialog>([&folder](QFileDialog* dialog) {
            folder = dialog->directory().absolutePath();
            static_cast<QDialog*>(dialog)->reject();
        });
        QTest::mouseClick(button(name), Qt::LeftButton);
        return folder;
    }

    /// Exports through the button to path, and waits for the end.
    bool exportTo(const char* name, const QString& path)
    {
        answerModal<QFileDialog>([path](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(button(name), Qt::LeftButton);
        // Written on a worker: the click returns with the model busy.
        exportedMeanwhile = model->isBusy() && !button(name)->isEnabled();
        return QTest::qWaitFor([this] { return !model->isBusy(); }, patienceMs);
    }

    QTemporaryDir scratch;
    const QString modelFolder = scratch.filePath("models");
    QMainWindow window;
    MaterialQuantitiesDockWidget* dock = nullptr;
    std::unique_ptr<IFC2x3Model> model;
    bool exportedMeanwhile = false;
};

TEST_F(DockExport, TheButtonsWaitForResultsToExportAndSayWhy)
{
    const auto expectOffered = [this](bool offered, const QString& why) {
        for (const char* name : {pmdButton, componentsButton, inventoryButton}) {
            EXPECT_EQ(button(name)->isEnabled(), offered) << name;
            const QString tip = button(name)->toolTip();
            EXPECT_EQ(tip.isEmpty(), why.isEmpty()) << name;
            EXPECT_TRUE(tip.contains(why)) << tip.toStdString();
        }
    };
    expectOffered(false, "Open an IFC 2x3 model");
    showInDock(*dock, model.get());
    expectOffered(false, "compute them first");
    computeAndShow();
    expectOffered(true, QString());
    model->setBusy(true); // saved by the host, say
    expectOffered(false, "being computed, saved or exported");
    model->setBusy(false);
    expectOffered(true, QString());
}

TEST_F(DockExport, EachExportProposesItsLastFolderElseTheModelsFolder)
{
    computeAndShow();
    EXPECT_EQ(proposedFolder(pmdButton), modelFolder);
    EXPECT_EQ(proposedFolder(componentsButton), modelFolder);
    EXPECT_EQ(proposedFolder(inventoryButton), modelFolder);

    const QString chosen = scratch.filePath("chosen");
    ASSERT_TRUE(QDir().mkpath(chosen));
    ASSERT_TRUE(exportTo(pmdButton, chosen + "/quantities.xlsx"));
    EXPECT_EQ(proposedFolder(pmdButton), chosen);
    EXPECT_EQ(proposedFolder(componentsButton), modelFolder) << "each export keeps its own";
    EXPECT_EQ(proposedFolder(inventoryButton), modelFolder) << "each export keeps its own";
    ASSERT_TRUE(exportTo(inventoryButton, chosen + "/inventory.xlsx"));
    EXPECT_EQ(proposedFolder(inventoryButton), chosen);

    ASSERT_TRUE(QDir(chosen).removeRecursively());
    EXPECT_EQ(proposedFolder(pmdButton), modelFolder) << "a folder gone is not proposed";
}

TEST_F(DockExport, AWrittenWorkbookIsToldInTheStatusBarWithItsFolderToOpen)
{
    computeAndShow();
    const struct
    {
        const char* button;
        const char* file;
    } cases[] = {{pmdButton, "totals.xlsx"}, {componentsButton, "types.xlsx"}, {inventoryButton, "inventory.xlsx"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        const QString path = scratch.filePath(c.file);
        ASSERT_TRUE(exportTo(c.button, path));
        EXPECT_TRUE(exportedMeanwhile);
        EXPECT_TRUE(QFile::exists(path));
        const auto notices = window.statusBar()->findChildren<Orvane::FileWrittenNotice*>();
        ASSERT_EQ(notices.size(), 1) << "one notice, the last export's";
        EXPECT_EQ(notices[0]->text(), QString("Exported %1").arg(c.file));
        if (c.button == pmdButton && Sheet::readerAvailable()) {
            // The totals as the tree shows them, titled without a unit.
            const QList<Sheet> sheets = Sheet::readWorkbook(path);
            ASSERT_FALSE(sheets.isEmpty());
            EXPECT_EQ(sheets[0].row(1), QVariantList({"Name", "To recover", "Reused"}));
            const auto* totals = dock->findChild<QTreeView*>("totalMaterialQuantitiesTreeView")->model();
            EXPECT_EQ(sheets[0].rows.size(), totals->rowCount() + 1);
        }

        OpenedUrls opened;
        QTest::mouseClick(notices[0]->findChild<QPushButton*>("openFolderButton"), Qt::LeftButton);
        EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(scratch.path())});
        QTest::qWait(1); // the previous notice goes
    }
}

} // namespace

#include "DockExportTest.moc"

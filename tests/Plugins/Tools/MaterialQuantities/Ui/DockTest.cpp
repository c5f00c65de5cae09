// The material quantities dock, driven through its widgets on models read
// from files.
#include "FileSizeLimit.h"
#include "HostModels.h"
#include "ModalAnswer.h"
#include "RecordingSink.h"
#include "Sheet.h"
#include "ShownInDock.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSortProxyModel.h"
#include "Plugins/Tools/MaterialQuantities/Core/ModelComponentsExcelExport.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "Orvane/Model.h"
#include "OrvaneWidgets/InformationWidget.h"
#include "OrvaneWidgets/OperationStatus.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

using namespace testsupport;
using Orvane::InformationWidget;
using Orvane::MaterialQuantitiesCalculator;
using Orvane::MaterialQuantitiesCalculatorThread;
using Orvane::MaterialQuantitiesDockWidget;
using Orvane::_ifc2x3::IFC2x3Model;
using Level = InformationWidget::Level;

const QString noResults = "No material quantities information on current model.";
const QString running = "Material quantities computing is running.";

/// A document model of another kind than IFC 2x3.
class OtherKindModel : public Orvane::Model
{
public:
    QString modelTypeName() const override { return QStringLiteral("Point cloud"); }
    QModelIndex index(int, int, const QModelIndex& = QModelIndex()) const override { return {}; }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& = QModelIndex()) const override { return 0; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    QVariant data(const QModelIndex&, int = Qt::DisplayRole) const override { return {}; }
};

/// Waits, with the event loop running, until done returns true; false when it
/// never does within a generous bound.
bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 60000);
}

class Dock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dock = std::make_unique<MaterialQuantitiesDockWidget>();
        dock->setSettings(Orvane::MaterialQuantitiesSettings());
    }

    template <class T> T* widget(const char* name) const { return dock->findChild<T*>(name); }
    InformationWidget* information() const { return widget<InformationWidget>("informationWidget"); }
    InformationWidget* warning() const { return widget<InformationWidget>("detailedInformationWidget"); }
    QTableView* table() const { return widget<QTableView>("detailedMaterialQuantitiesTableView"); }
    QTreeView* tree() const { return widget<QTreeView>("totalMaterialQuantitiesTreeView"); }
    QWidget* content() const { return widget<QWidget>("content"); }
    QPushButton* button(const char* name) const { return widget<QPushButton>(name); }

    static std::unique_ptr<IFC2x3Model> openSample()
    {
        return openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
    }
    /// Opens the sample, computes it without the dock and shows it.
    bool showComputedSample()
    {
        model = openSample();
        if (!model ||
            !MaterialQuantitiesCalculator(model.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities()) {
            return false;
        }
        showInDock(*dock, model.get());
        return true;
    }

    bool computationRunning() const
    {
        return sink.current || !dock->findChildren<MaterialQuantitiesCalculatorThread*>().isEmpty();
    }
    /// Clicks the compute button and waits for the computation to end.
    bool compute()
    {
        QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);
        return waitFor([this] { return !computationRunning(); });
    }
    /// Holds the next computation on its first element until release() or
    /// an interruption.
    void holdComputation()
    {
        sink.onStarted = [this](Orvane::OperationStatus*) {
            auto* thread = dock->findChild<MaterialQuantitiesCalculatorThread*>();
            QObject::connect(
                thread, &MaterialQuantitiesCalculatorThread::calculatedItem, thread,
                [this] {
                    while (!released && !QThread::currentThread()->isInterruptionRequested()) {
                        QThread::msleep(1);
                    }
                },
                Qt::DirectConnection);
        };
    }
    void release() { released = true; }

    static int missingCount(IFC2x3Model* model)
    {
        return MaterialQuantitiesCalculator(model, Orvane::MaterialQuantitiesSettings()).getMissingQuantitiesCount();
    }

    QTemporaryDir scratch;
    std::atomic<bool> released{false};
    docktest::RecordingSink sink;
    std::unique_ptr<IFC2x3Model> model;
    std::unique_ptr<MaterialQuantitiesDockWidget> dock;
};

TEST_F(Dock, FollowsTheKindOfTheActiveModel)
{
    EXPECT_FALSE(content()->isEnabled());
    EXPECT_TRUE(information()->isHidden());
    EXPECT_TRUE(warning()->isHidden());

    OtherKindModel other;
    for (int activation = 0; activation < 2; ++activation) {
        showInDock(*dock, &other);
        EXPECT_FALSE(information()->isHidden());
        EXPECT_EQ(information()->level(), Level::Error);
        EXPECT_EQ(information()->message(),
                  "Material quantities is only available for IFC 2x3 models. Current model is a Point cloud model.");
        EXPECT_FALSE(content()->isEnabled());
    }

    model = openSample();
    ASSERT_TRUE(model);
    showInDock(*dock, model.get());
    EXPECT_TRUE(content()->isEnabled());
    EXPECT_EQ(information()->level(), Level::Information);
    EXPECT_EQ(information()->message(), noResults);
    EXPECT_EQ(table()->model(), nullptr);
    EXPECT_EQ(tree()->model(), nullptr);

    showInDock(*dock, nullptr);
    EXPECT_TRUE(information()->isHidden());
    EXPECT_TRUE(warning()->isHidden());
    EXPECT_FALSE(content()->isEnabled());

    // A model without project has no results either.
    ModelBuilder builder(ModelBuilder::Metres, QString());
    builder.element("IFCWALL", "Mur");
    auto noProject = builder.open();
    ASSERT_TRUE(noProject);
    showInDock(*dock, noProject.get());
    EXPECT_EQ(information()->message(), noResults);
    EXPECT_FALSE(information()->isHidden());
    EXPECT_EQ(table()->model(), nullptr);
}

TEST_F(Dock, ComputesWithProgressThenShowsTheResults)
{
    model = openSample();
    ASSERT_TRUE(model);
    showInDock(*dock, model.get());
    holdComputation();
    const int startedBefore = sink.started; // the reading of the model's results
    QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);

    // Computing: one computation, whatever the user clicks.
    EXPECT_EQ(information()->message(), running);
    EXPECT_FALSE(button("computeQuantitiesPushButton")->isEnabled());
    EXPECT_EQ(table()->model(), nullptr);
    QMetaObject::invokeMethod(dock.get(), "on_computeQuantitiesPushButton_clicked");
    EXPECT_EQ(sink.started, startedBefore + 1);
    EXPECT_EQ(dock->findChildren<MaterialQuantitiesCalculatorThread*>().size(), 1);
    EXPECT_EQ(sink.text, "Computing material quantities...");
    EXPECT_TRUE(sink.cancellable);
    release();
    ASSERT_TRUE(waitFor([this] { return !computationRunning(); }));

    ifc2x3::ExpressDataSet* dataSet = model->dataSet();
    const int rows = MaterialQuantitiesCalculator::getBuildingElementRows(model.get()).size();
    // The old results are removed in one step on a model this small.
    const qint64 steps = 1 + rows + static_cast<qint64>(dataSet->getAllIfcBuilding().size()) +
                         static_cast<qint64>(dataSet->getAllIfcTypeObject().size()) + 1;
    EXPECT_EQ(sink.steps, steps);
    EXPECT_EQ(sink.doneAtEnd, steps); // one step per item of the pass
    EXPECT_TRUE(button("computeQuantitiesPushButton")->isEnabled());

    EXPECT_TRUE(information()->isHidden());
    ASSERT_NE(table()->model(), nullptr);
    EXPECT_EQ(table()->model()->rowCount(), rows);
    ASSERT_NE(tree()->model(), nullptr);
    EXPECT_GT(tree()->model()->rowCount(), 0);
    EXPECT_EQ(table()->selectionModel(), static_cast<Orvane::FilterProxyModel*>(table()->model())->selectionModel());
    const int missing = missingCount(model.get());
    ASSERT_GT(missing, 1);
    EXPECT_FALSE(warning()->isHidden());
    EXPECT_EQ(warning()->level(), Level::Warning);
    EXPECT_EQ(warning()->message(), QString("%1 building elements have no material quantity").arg(missing));

    // The same model again keeps the views.
    QAbstractItemModel* shown = table()->model();
    showInDock(*dock, model.get());
    EXPECT_EQ(table()->model(), shown);
}

TEST_F(Dock, CancelOrQuitLeavesNoPartialResults)
{
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "cancel");
        SetUp();
        auto opened = openSample();
        ASSERT_TRUE(opened);
        showInDock(*dock, opened.get());
        holdComputation();
        MessageBoxWatcher boxes;
        QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);
        ASSERT_NE(sink.current, nullptr);
        if (quit) {
            dock.reset(); // waits for the computation to stop
            EXPECT_EQ(sink.current, nullptr);
        } else {
            sink.current->cancel();
            ASSERT_TRUE(waitFor([this] { return !computationRunning(); }));
            EXPECT_EQ(information()->message(), "Material quantities computation was cancelled.");
            EXPECT_TRUE(button("computeQuantitiesPushButton")->isEnabled());
            QTest::qWait(50); // no failure box follows
            EXPECT_TRUE(boxes.texts.isEmpty());
        }
        const int rows = MaterialQuantitiesCalculator::getBuildingElementRows(opened.get()).size();
        EXPECT_EQ(missingCount(opened.get()), rows);
        const QModelIndex project = opened->index(opened->dataSet()->getAllIfcProject().front().get());
        EXPECT_FALSE(opened->getProperty(project, QStringLiteral("Properties/TotalMaterialQuantities")));
        dock.reset();
        released = false;
    }
}

TEST_F(Dock, ResultsOfAModelLeftDuringTheComputationWaitForItsReturn)
{
    model = openSample();
    ASSERT_TRUE(model);
    auto other = openSample();
    ASSERT_TRUE(other);
    showInDock(*dock, model.get());
    holdComputation();
    QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);
    showInDock(*dock, other.get());
    EXPECT_EQ(information()->message(), noResults);
    release();
    ASSERT_TRUE(waitFor([this] { return !computationRunning(); }));
    EXPECT_EQ(information()->message(), noResults);
    EXPECT_EQ(table()->model(), nullptr);

    showInDock(*dock, model.get());
    ASSERT_NE(table()->model(), nullptr);
    EXPECT_TRUE(information()->isHidden());
}

TEST_F(Dock, AModelShownAgainUnchangedShowsItsResultsAtOnceAndAnEditedOneIsReadAgain)
{
    ASSERT_TRUE(showComputedSample());
    auto other = openSample();
    ASSERT_TRUE(other);
    auto* reasons = widget<QLabel>("missingReasonsLabel");
    const QString reasonsBefore = reasons->text();
    ASSERT_FALSE(reasonsBefore.isEmpty());

    // Unchanged since shown: nothing is read again, the results show at once.
    showInDock(*dock, other.get());
    dock->setModel(model.get());
    EXPECT_FALSE(dock->isReadingResults());
    EXPECT_FALSE(model->isBusy());
    EXPECT_NE(table()->model(), nullptr);
    EXPECT_EQ(reasons->text(), reasonsBefore);

    // Edited meanwhile: read again on a worker, the model busy and nothing
    // exported until then.
    showInDock(*dock, other.get());
    const QString resultSet = Orvane::MaterialQuantitiesSettings().totalQuantitiesPropertySetName;
    ifc2x3::IfcObjectDefinition* computed = nullptr;
    for (const int row : MaterialQuantitiesCalculator::getBuildingElementRows(model.get())) {
        const QModelIndex element = model->index(row, 0);
        if (!computed && MaterialQuantitiesCalculator::holdsQuantities(
                             model->getProperty(element, QStringList{"Properties", resultSet}).get())) {
            computed = model->ifcObjectDefinition(element);
        }
    }
    ASSERT_NE(computed, nullptr);
    Orvane::Ifc2x3CC::PropertySetUtils::removePropertySets(model->editContext(), {computed}, {resultSet.toStdString()});
    dock->setModel(model.get());
    EXPECT_TRUE(dock->isReadingResults());
    EXPECT_TRUE(model->isBusy());
    EXPECT_EQ(table()->model(), nullptr);
    EXPECT_EQ(information()->message(), "Reading the material quantities of the model...");
    EXPECT_FALSE(button("exportPMDPushButton")->isEnabled());
    EXPECT_EQ(button("exportPMDPushButton")->toolTip(),
              "The material quantities of the model are being read: export once they show.");
    ASSERT_TRUE(waitFor([this] { return !dock->isReadingResults(); }));
    EXPECT_FALSE(model->isBusy());
    EXPECT_NE(table()->model(), nullptr);
    EXPECT_TRUE(button("exportPMDPushButton")->isEnabled());

    // What shows is what a dock that never saw the model reads.
    MaterialQuantitiesDockWidget fresh;
    showInDock(fresh, model.get());
    const QString reasonsNow = fresh.findChild<QLabel*>("missingReasonsLabel")->text();
    EXPECT_NE(reasonsNow, reasonsBefore);
    EXPECT_EQ(reasons->text(), reasonsNow);

    // Shown while another operation (a save, say) holds the model: read
    // once that ends.
    MaterialQuantitiesDockWidget later;
    model->setBusy(true);
    later.setModel(model.get());
    EXPECT_FALSE(later.isReadingResults());
    EXPECT_EQ(later.findChild<InformationWidget*>("informationWidget")->message(),
              "The material quantities show once the operation on the model ends.");
    model->setBusy(false);
    EXPECT_TRUE(later.isReadingResults());
    ASSERT_TRUE(waitFor([&later] { return !later.isReadingResults(); }));
    EXPECT_NE(later.findChild<QTableView*>("detailedMaterialQuantitiesTableView")->model(), nullptr);

    // Paths changed while reading: what was read with the old ones is not
    // what shows.
    Orvane::MaterialQuantitiesSettings otherPaths;
    otherPaths.functionalUnitPropertyPath = "Type/Properties/Elsewhere/Unit";
    MaterialQuantitiesDockWidget changed;
    // An edit that changes no reason: the model is read again.
    addProperty(computed, "Notes", "Checked", 1.0, ifc2x3::IfcValue::IfcMassMeasure);
    changed.setModel(model.get());
    ASSERT_TRUE(changed.isReadingResults());
    changed.setSettings(otherPaths);
    ASSERT_TRUE(waitFor([&changed] { return !changed.isReadingResults(); }));
    MaterialQuantitiesDockWidget freshWithOtherPaths;
    freshWithOtherPaths.setSettings(otherPaths);
    showInDock(freshWithOtherPaths, model.get());
    const QString expected = freshWithOtherPaths.findChild<QLabel*>("missingReasonsLabel")->text();
    EXPECT_NE(expected, reasonsNow);
    EXPECT_EQ(changed.findChild<QLabel*>("missingReasonsLabel")->text(), expected);
}

TEST_F(Dock, EachExportButtonWritesItsWorkbookOrSaysWhyItCannot)
{
    MQ_REQUIRE_OPENPYXL();
    ASSERT_TRUE(showComputedSample());
    // The dialog proposes a file named after the project in the last folder.
    QSettings().setValue("MaterialQuantities/ExportPMD", scratch.path());
    QSettings().setValue("MaterialQuantities/ExportComponents", scratch.path());
    QSettings().setValue("MaterialQuantities/ExportInventory", scratch.path());
    const struct
    {
        const char* button;
        const char* prefix;
        QStringList sheets;    // the first ones
        std::vector<int> rows; // per sheet, header included
    } cases[] = {
        {"exportPMDPushButton",
         "Export_PMD_",
         {"Total quantities", "Details quantities"},
         {tree()->model()->rowCount() + 1, table()->model()->rowCount() + 1}},
        {"exportComponentsPushButton", "Export_par_type_", {}, {}},
        // One row per material of the totals.
        {"exportInventoryPushButton",
         "Export_Inventaire_",
         {"Materials", "Subtotals"},
         {tree()->model()->rowCount() + 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        answerModal<QFileDialog>([this](QFileDialog* dialog) {
            // As a user types it: selectFile() leaves the field alone once it has the focus.
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(scratch.filePath("full.xlsx"));
            static_cast<QDialog*>(dialog)->accept();
        });
        MessageBoxWatcher boxes;
        {
            const FileSizeLimit diskFull;
            QTest::mouseClick(button(c.button), Qt::LeftButton);
            ASSERT_TRUE(waitFor([&boxes] { return !boxes.texts.isEmpty(); }));
        }
        EXPECT_FALSE(model->isBusy());
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.icon, QMessageBox::Warning);
        EXPECT_FALSE(boxes.texts.first().isEmpty());
        EXPECT_FALSE(QFile::exists(scratch.filePath("full.xlsx")));

        QString chosen;
        answerModal<QFileDialog>([&chosen](QFileDialog* dialog) {
            chosen = dialog->selectedFiles().value(0);
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(button(c.button), Qt::LeftButton);
        ASSERT_TRUE(waitFor([this] { return !model->isBusy(); }));
        EXPECT_TRUE(chosen.startsWith(scratch.filePath(c.prefix))) << chosen.toStdString();
        const QList<Sheet> sheets = Sheet::readWorkbook(chosen);
        if (c.rows.empty()) { // one column per line of the shipped template
            ASSERT_EQ(sheets.size(), 1);
            QVariantList header;
            const QByteArray lines = readFile(Orvane::ModelComponentsExcelExport().getTemplateFile());
            for (const QString& line : QString::fromUtf8(lines).split('\n', Qt::SkipEmptyParts)) {
                header.append(line);
            }
            EXPECT_EQ(sheets[0].row(1), header);
            EXPECT_GT(sheets[0].rows.size(), 1);
            continue;
        }
        ASSERT_EQ(Sheet::names(sheets).mid(0, c.sheets.size()), c.sheets);
        for (std::size_t sheet = 0; sheet < c.rows.size(); ++sheet) {
            EXPECT_EQ(sheets[int(sheet)].rows.size(), c.rows[sheet]) << sheet;
        }
    }
}

} // namespace

namespace {

class DockRecompute : public Dock
{
protected:
    /// The computed sample, shown, and the text its data set would save.
    void SetUp() override
    {
        Dock::SetUp();
        ASSERT_TRUE(showComputedSample());
        computed = model->dataSet()->toText();
    }
    std::string computed;
};

TEST_F(DockRecompute, TheComputedModelIsBusyAndNotExportedUntilTheEnd)
{
    holdComputation();
    QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);
    EXPECT_TRUE(model->isBusy());
    for (const char* name : {"exportPMDPushButton", "exportComponentsPushButton", "exportInventoryPushButton",
                             "computeQuantitiesPushButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    // Another model is not held up by this one.
    auto other = openSample();
    ASSERT_TRUE(MaterialQuantitiesCalculator(other.get(), Orvane::MaterialQuantitiesSettings()).computeQuantities());
    showInDock(*dock, other.get());
    EXPECT_TRUE(button("exportComponentsPushButton")->isEnabled());
    showInDock(*dock, model.get());
    release();
    ASSERT_TRUE(waitFor([this] { return !computationRunning(); }));
    EXPECT_FALSE(model->isBusy());
    for (const char* name : {"exportPMDPushButton", "exportComponentsPushButton", "exportInventoryPushButton",
                             "computeQuantitiesPushButton"}) {
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    }
}

TEST_F(DockRecompute, AFailureKeepsAndShowsTheEarlierResultsAndSaysWhatWasFound)
{
    Orvane::MaterialQuantitiesSettings settings;
    settings.massPerFunctionalUnitPropertyPath = "Type/Properties/Nowhere/Mass";
    dock->setSettings(settings);
    QString text;
    QString informative;
    QString details;
    answerModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        informative = box->informativeText();
        details = box->detailedText();
        box->accept();
    });
    ASSERT_TRUE(compute());
    EXPECT_TRUE(text.contains("[Type/Properties/Nowhere/Mass]"));
    // The menu as the host's menu bar names it.
    EXPECT_TRUE(informative.contains("Tools > Settings... > Material quantities")) << informative.toStdString();
    const int rows = MaterialQuantitiesCalculator::getBuildingElementRows(model.get()).size();
    EXPECT_TRUE(details.contains(
        QString("Mass per functional unit [Type/Properties/Nowhere/Mass]: found on 0 of %1 building elements")
            .arg(rows)))
        << details.toStdString();
    EXPECT_EQ(model->dataSet()->toText(), computed);
    ASSERT_NE(table()->model(), nullptr) << "the earlier results are shown again";
    EXPECT_EQ(table()->model()->rowCount(), rows);
}

TEST_F(DockRecompute, ACancelledRecomputeKeepsTheEarlierResults)
{
    holdComputation();
    QTest::mouseClick(button("computeQuantitiesPushButton"), Qt::LeftButton);
    ASSERT_NE(sink.current, nullptr);
    sink.current->cancel();
    ASSERT_TRUE(waitFor([this] { return !computationRunning(); }));
    EXPECT_EQ(model->dataSet()->toText(), computed);
    EXPECT_NE(table()->model(), nullptr);
}

// The paths are not in the file: they are found again for a model opened
// with its results, and kept for a model computed here across switches.
TEST_F(DockRecompute, VerificationModeShowsEachElementsPathAfterSwitches)
{
    const auto firstPath = [this] {
        QAbstractItemModel* shown = table()->model();
        return shown->index(0, shown->columnCount() - 2).data().toString();
    };
    widget<QCheckBox>("debugModeCheckBox")->setChecked(true);
    const QString opened = firstPath();
    EXPECT_TRUE(opened.startsWith("Properties/BaseQuantities/") || opened == "UF_UNITE") << opened.toStdString();
    ASSERT_TRUE(compute());
    auto other = openSample();
    showInDock(*dock, other.get());
    showInDock(*dock, model.get());
    EXPECT_EQ(firstPath(), opened);
}

} // namespace

namespace {

TEST_F(DockRecompute, EachReasonOfMissingQuantitiesShowsItsElements)
{
    auto* reasons = widget<QLabel>("missingReasonsLabel");
    ASSERT_FALSE(reasons->isHidden());
    const QRegularExpressionMatch first = QRegularExpression("href=\"(reason:\\d+)\">(\\d+) ").match(reasons->text());
    ASSERT_TRUE(first.hasMatch()) << reasons->text().toStdString();
    QAbstractItemModel* shown = table()->model();
    const int all = shown->rowCount();
    emit reasons->linkActivated(first.captured(1));
    ASSERT_EQ(shown->rowCount(), first.captured(2).toInt());
    EXPECT_LT(shown->rowCount(), all);
    EXPECT_EQ(model->selectionModel()->selectedRows().size(), shown->rowCount());
    // Each element shown is one without quantities, and says why.
    widget<QCheckBox>("debugModeCheckBox")->setChecked(true);
    const int reasonColumn = shown->columnCount() - 1;
    ASSERT_EQ(shown->headerData(reasonColumn, Qt::Horizontal).toString(), "Reason");
    for (int row = 0; row < shown->rowCount(); ++row) {
        EXPECT_EQ(shown->index(row, 0).data(Qt::EditRole).toInt(), 1);
        const QString reason = shown->index(row, 0).data(Qt::ToolTipRole).toString();
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_EQ(shown->index(row, reasonColumn).data().toString(), reason);
    }
    emit reasons->linkActivated("reason:all");
    EXPECT_EQ(shown->rowCount(), all);
}

} // namespace

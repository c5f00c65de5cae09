// The material quantities tool loaded by the main window from the build tree,
// as the application runs it: its settings applied through the host's
// settings dialog, its settings page following the active model, and a model
// being computed that the user tries to close.
#include "BuildTreePlugins.h"
#include "ModalAnswer.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsModel.h"
#include "Plugins/Tools/MaterialQuantities/Ui/TypeInputsWidget.h"

#include "Orvane/Model.h"
#include "Orvane/_ifc2x3/IFC2x3Model.h"
#include "OrvaneWidgets/DockWidgetManager.h"
#include "OrvaneWidgets/MainWindow.h"
#include "OrvaneWidgets/ModelDocument.h"
#include "OrvaneWidgets/OperationStatus.h"
#include "OrvaneWidgets/ProgressSink.h"
#include "OrvaneWidgets/SettingsDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>

namespace {

const int patienceMs = 60000;

using Orvane::MaterialQuantitiesCalculator;
using Orvane::MaterialQuantitiesCalculatorThread;
using Orvane::MaterialQuantitiesDockWidget;

/// Sits between the operations and the window's progress display while
/// attached, and holds every computation the dock starts on its first element
/// until released or interrupted.
class HoldingSink : public Orvane::ProgressSink
{
public:
    void attach(MaterialQuantitiesDockWidget* watched)
    {
        dock = watched;
        display = Orvane::OperationStatus::progressSink();
        Orvane::OperationStatus::setProgressSink(this);
    }
    void detach()
    {
        if (Orvane::OperationStatus::progressSink() == this) {
            Orvane::OperationStatus::setProgressSink(display);
        }
    }

    void operationStarted(Orvane::OperationStatus* status) override
    {
        // The dock has made its worker, not started it yet.
        for (auto* thread : dock->findChildren<MaterialQuantitiesCalculatorThread*>()) {
            QObject::connect(
                thread, &MaterialQuantitiesCalculatorThread::calculatedItem, thread, [this] { hold(); },
                Qt::DirectConnection);
        }
        display->operationStarted(status);
    }
    void operationProgressed(Orvane::OperationStatus* status) override { display->operationProgressed(status); }
    void operationEnded(Orvane::OperationStatus* status) override { display->operationEnded(status); }

    void release() { released = true; }

private:
    void hold() const
    {
        while (!released && !QThread::currentThread()->isInterruptionRequested()) {
            QThread::msleep(1);
        }
    }

    MaterialQuantitiesDockWidget* dock = nullptr;
    Orvane::ProgressSink* display = nullptr;
    std::atomic<bool> released{false};
};

class ToolInHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<Orvane::Model*>("Orvane::Model*");
        QSettings().clear();
        buildTreePlugins();
        window.startPlugins();
        dock = qobject_cast<MaterialQuantitiesDockWidget*>(
            window.dockWidgetManager()->dockWidget("MaterialQuantitiesDockWidget"));
        ASSERT_NE(dock, nullptr);
        window.show();
    }
    void TearDown() override
    {
        sink.release();
        EXPECT_TRUE(!dock || computationsEnded());
        sink.detach();
        QSettings().clear();
    }
    bool computationsEnded()
    {
        return QTest::qWaitFor(
            [this] {
                return dock->findChildren<MaterialQuantitiesCalculatorThread*>().isEmpty() &&
                       window.runningOperationCount() == 0;
            },
            patienceMs);
    }

    bool openSample()
    {
        const QString fileName = folder.filePath("a.ifc");
        QSignalSpy opened(&window, &Orvane::MainWindow::fileOpened);
        if (!QFile::copy(MQ_SOURCE_DIR "/samples/small-building.ifc", fileName)) {
            return false;
        }
        window.openFile(fileName);
        // The dock then reads the model's results on a worker.
        return opened.wait(patienceMs) && opened.first().at(1).toBool() &&
               QTest::qWaitFor([this] { return !dock->isReadingResults(); }, patienceMs);
    }

    /// What the tool's settings page shows of the functional unit path: whether
    /// it can be picked, and where it was found once counted when asked to
    /// wait for that.
    struct PathFieldSeen
    {
        bool pickable = false;
        QString found;
    };
    PathFieldSeen seeFunctionalUnitField(bool waitForCount)
    {
        PathFieldSeen seen;
        testsupport::answerModal<Orvane::SettingsDialog>([&seen, waitForCount](Orvane::SettingsDialog* dialog) {
            auto* pages = dialog->findChild<QListWidget*>();
            const auto named = pages->findItems("Material quantities", Qt::MatchExactly);
            if (!named.isEmpty()) {
                pages->setCurrentItem(named.first());
            }
            auto* pick = dialog->findChild<QToolButton*>("functionalUnitPickButton");
            auto* found = dialog->findChild<QLabel*>("functionalUnitResolutionLabel");
            if (pick && found) {
                seen.pickable = pick->isEnabled();
                if (waitForCount) {
                    EXPECT_TRUE(QTest::qWaitFor([found] { return !found->text().isEmpty(); }, patienceMs));
                }
                seen.found = found->text();
            }
            dialog->reject();
        });
        window.showSettings();
        return seen;
    }

    QTemporaryDir folder;
    HoldingSink sink; // outlives the window, whose operations it may see end
    Orvane::MainWindow window;
    MaterialQuantitiesDockWidget* dock = nullptr;
};

TEST_F(ToolInHost, SettingsAppliedInTheSettingsDialogReachTheDock)
{
    // A new path each time: the tool object, loaded once, outlives the
    // window and keeps what an earlier run applied.
    static int runs = 0;
    const QString applied = QStringLiteral("Type/Properties/Applied/Reused %1").arg(++runs);
    ASSERT_NE(dock->getSettings().reusedMaterialsPropertyPath, applied);
    bool edited = false;
    testsupport::answerModal<Orvane::SettingsDialog>([&](Orvane::SettingsDialog* dialog) {
        auto* pages = dialog->findChild<QListWidget*>();
        const auto named = pages->findItems("Material quantities", Qt::MatchExactly);
        if (!named.isEmpty()) {
            pages->setCurrentItem(named.first());
        }
        if (auto* edit = dialog->findChild<QLineEdit*>("reusedMaterialsPropertyPathLineEdit")) {
            edit->setText(applied);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
            edited = true;
        }
        // Apply alone hands the settings on: Cancel afterwards keeps them.
        dialog->reject();
    });
    window.showSettings();
    ASSERT_TRUE(edited);
    EXPECT_EQ(dock->getSettings().reusedMaterialsPropertyPath, applied);
}

// The tool hands its settings page the active model: paths are picked from
// its selected element and looked for among its building elements, until the
// model is closed.
TEST_F(ToolInHost, TheSettingsPageFollowsTheActiveModelAndItsSelection)
{
    ASSERT_TRUE(openSample());
    auto* model = qobject_cast<Orvane::_ifc2x3::IFC2x3Model*>(window.activeModel());
    ASSERT_NE(model, nullptr);
    const QList<int> elements = MaterialQuantitiesCalculator::getBuildingElementRows(model);
    ASSERT_FALSE(elements.isEmpty());
    model->selectionModel()->select(model->index(elements.first(), 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    const PathFieldSeen open = seeFunctionalUnitField(true);
    EXPECT_TRUE(open.pickable);
    EXPECT_TRUE(open.found.startsWith("Found on")) << open.found.toStdString();

    ASSERT_TRUE(window.closeActiveDocument());
    const PathFieldSeen closed = seeFunctionalUnitField(false);
    EXPECT_FALSE(closed.pickable);
    EXPECT_EQ(closed.found, QString());
}

// Whether the host refuses at once or asks whether to stop the computation,
// the tab and its model stay while the user does not agree to stop it.
TEST_F(ToolInHost, AModelIsNotClosedUnderItsRunningComputation)
{
    ASSERT_TRUE(openSample());
    QPointer<Orvane::Model> model = window.activeModel();
    ASSERT_NE(model, nullptr);
    sink.attach(dock);
    QTest::mouseClick(window.findChild<QPushButton*>("computeQuantitiesPushButton"), Qt::LeftButton);
    ASSERT_FALSE(dock->findChildren<MaterialQuantitiesCalculatorThread*>().isEmpty());

    {
        // Unsaved changes may be dropped; a running computation may not be stopped.
        testsupport::MessageBoxWatcher boxes([](const QMessageBox& box) {
            for (const auto button : {QMessageBox::Discard, QMessageBox::No, QMessageBox::Cancel}) {
                if (box.button(button)) {
                    return button;
                }
            }
            return QMessageBox::Ok;
        });
        EXPECT_FALSE(window.closeActiveDocument());
    }
    EXPECT_EQ(window.documentCount(), 1);
    EXPECT_EQ(window.activeModel(), model);
    ASSERT_FALSE(model.isNull());

    sink.release();
    ASSERT_TRUE(computationsEnded());
    ASSERT_FALSE(model.isNull());
    EXPECT_EQ(window.documentCount(), 1);
    EXPECT_NE(dock->findChild<QTableView*>("detailedMaterialQuantitiesTableView")->model(), nullptr);
}

// An input typed in the dock's Type inputs page marks the document modified;
// the Edit menu's Undo (Ctrl+Z) takes it back, unmarks it, and Redo
// (Ctrl+Shift+Z) writes it again.
TEST_F(ToolInHost, EditUndoAndRedoTakeBackATypeInput)
{
    ASSERT_TRUE(openSample());
    Orvane::ModelDocument* document = window.activeDocument();
    ASSERT_NE(document, nullptr);
    auto* page = dock->findChild<Orvane::TypeInputsWidget*>("typeInputsTab");
    dock->findChild<QTabWidget*>("dockTabs")->setCurrentWidget(page);
    Orvane::TypeInputsModel* inputs = page->inputsModel();
    ASSERT_GT(inputs->rowCount(), 0);
    const QModelIndex mass = inputs->index(0, Orvane::TypeInputsModel::MassColumn);
    const QVariant before = mass.data(Qt::EditRole);
    ASSERT_TRUE(inputs->setData(mass, "4321"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return document->isModified(); }, patienceMs));

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(inputs->index(0, Orvane::TypeInputsModel::MassColumn).data(Qt::EditRole), before);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !document->isModified(); }, patienceMs));

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(inputs->index(0, Orvane::TypeInputsModel::MassColumn).data(Qt::EditRole), QVariant(4321.0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return document->isModified(); }, patienceMs));
}

} // namespace

namespace {

// Rows selected in the dock are selected in the host's table, which scrolls
// to them; the host's selection shows in the dock.
TEST_F(ToolInHost, TheDockAndTheHostsTableShareTheSelection)
{
    ASSERT_TRUE(openSample());
    auto* model = qobject_cast<Orvane::_ifc2x3::IFC2x3Model*>(window.activeModel());
    ASSERT_NE(model, nullptr);
    QTest::mouseClick(window.findChild<QPushButton*>("computeQuantitiesPushButton"), Qt::LeftButton);
    ASSERT_TRUE(computationsEnded());
    auto* table = dock->findChild<QTableView*>("detailedMaterialQuantitiesTableView");
    auto* sorted = qobject_cast<QSortFilterProxyModel*>(table->model());
    ASSERT_NE(sorted, nullptr);
    auto* detailed = qobject_cast<QAbstractProxyModel*>(sorted->sourceModel());
    ASSERT_NE(detailed, nullptr);
    auto* hostView = window.findChild<QTableView*>("modelView");
    ASSERT_NE(hostView, nullptr);
    window.resize(900, 500);
    const auto inView = [hostView](const QModelIndex& index) {
        return hostView->viewport()->rect().intersects(hostView->visualRect(index));
    };

    const QModelIndex last = model->index(MaterialQuantitiesCalculator::getBuildingElementRows(model).last(), 0);
    ASSERT_FALSE(inView(last)) << "the sample has more elements than the table shows at once";
    table->selectRow(sorted->mapFromSource(detailed->mapFromSource(last)).row());
    EXPECT_EQ(model->selectionModel()->selectedRows(), QModelIndexList({last}));
    EXPECT_TRUE(inView(last));

    const QModelIndex first = model->index(MaterialQuantitiesCalculator::getBuildingElementRows(model).first(), 0);
    model->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(detailed->mapToSource(sorted->mapToSource(rows.first())), first);
}

} // namespace

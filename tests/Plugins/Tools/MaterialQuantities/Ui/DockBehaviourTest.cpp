// What the dock shows and writes of computed results: the verification mode,
// the count of elements without quantities, the failure box and the order of
// the quantities workbook.
#include "HostModels.h"
#include "ModalAnswer.h"
#include "Sheet.h"
#include "ShownInDock.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include "OrvaneWidgets/InformationWidget.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testsupport;
using Orvane::InformationWidget;
using Orvane::MaterialQuantitiesCalculatorThread;
using Orvane::MaterialQuantitiesDockWidget;
using Orvane::MaterialQuantitiesSettings;

const int patienceMs = 60000;
const QString totalSet = QStringLiteral("TotalMaterialQuantities");

QStringList headers(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column) {
        texts.append(model.headerData(column, Qt::Horizontal).toString());
    }
    return texts;
}

/// Numbers to 12 digits: the workbook keeps 15 of them.
QString cellText(const QVariant& value)
{
    return value.userType() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 12) : value.toString();
}

QStringList columnTexts(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.append(cellText(model.index(row, column).data(Qt::EditRole)));
    }
    return texts;
}

QStringList sheetColumnTexts(const Sheet& sheet, int column)
{
    QStringList texts;
    for (int row = 2; row <= sheet.rows.size(); ++row) { // row 1 holds the headers
        texts.append(cellText(sheet.cell(row, column)));
    }
    return texts;
}

class DockBehaviour : public ::testing::Test
{
protected:
    template <class T> T* widget(const char* name) const { return dock.findChild<T*>(name); }
    QTableView* table() const { return widget<QTableView>("detailedMaterialQuantitiesTableView"); }
    QCheckBox* verification() const { return widget<QCheckBox>("debugModeCheckBox"); }
    InformationWidget* warning() const { return widget<InformationWidget>("detailedInformationWidget"); }

    /// Clicks the compute button and waits for the computation to end.
    bool compute()
    {
        QTest::mouseClick(widget<QPushButton>("computeQuantitiesPushButton"), Qt::LeftButton);
        return QTest::qWaitFor([this] { return dock.findChildren<MaterialQuantitiesCalculatorThread*>().isEmpty(); },
                               patienceMs);
    }
    bool showSample()
    {
        model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
        if (model) {
            showInDock(dock, model.get());
        }
        return model != nullptr;
    }
    bool openAndComputeSample() { return showSample() && compute() && table()->model(); }
    void clickVerification()
    {
        const bool wasChecked = verification()->isChecked();
        QTest::mouseClick(verification(), Qt::LeftButton);
        ASSERT_NE(verification()->isChecked(), wasChecked);
    }

    std::unique_ptr<IFC2x3Model> model;
    MaterialQuantitiesDockWidget dock;
};

TEST_F(DockBehaviour, VerificationModeShowsOnlyTheQuantityPathsBesideNameAndType)
{
    const QStringList verificationHeaders{"", "Name", "Type", "Quantity property path", "Reason"};
    ASSERT_TRUE(showSample());
    clickVerification(); // before the results: they show in that mode
    ASSERT_TRUE(compute());
    ASSERT_NE(table()->model(), nullptr);
    EXPECT_EQ(headers(*table()->model()), verificationHeaders);
    const QStringList paths = columnTexts(*table()->model(), 3);
    EXPECT_GT(paths.size() - paths.count("Not found"), 0) << "no quantity path shown";

    clickVerification();
    const QStringList all = headers(*table()->model());
    EXPECT_GT(all.size(), verificationHeaders.size());
    EXPECT_EQ(all.mid(0, 3), verificationHeaders.mid(0, 3));
    // The reason of an element without quantities shows in verification only.
    EXPECT_EQ(all.last(), "Quantity property path");

    clickVerification();
    EXPECT_EQ(headers(*table()->model()), verificationHeaders);
}

TEST_F(DockBehaviour, TheWarningCountsTheElementsWithoutQuantitiesInSingularOrPlural)
{
    const struct
    {
        int missing;
        QString text; // empty: no warning
    } cases[] = {
        {0, {}},
        {1, "1 building element has no material quantity"},
        {2, "2 building elements have no material quantity"},
    };
    const int walls = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        ModelBuilder builder;
        std::vector<int> keys;
        for (int i = 0; i < walls; ++i) {
            keys.push_back(builder.element("IFCWALL", QString("Wall %1").arg(i)));
        }
        auto built = builder.open();
        ASSERT_TRUE(built);
        addMasses(*built, builder.project(), totalSet, {{"beton", 1.0}});
        for (int i = c.missing; i < walls; ++i) {
            addMasses(*built, keys[i], totalSet, {{"beton", 1.0}});
        }
        showInDock(dock, built.get());
        ASSERT_NE(table()->model(), nullptr);
        EXPECT_EQ(warning()->isHidden(), c.text.isEmpty());
        if (!c.text.isEmpty()) {
            EXPECT_EQ(warning()->message(), c.text);
        }
        showInDock(dock, nullptr);
    }
}

TEST_F(DockBehaviour, TheFailureBoxNamesTheFunctionalUnitPathThenTheMassPath)
{
    MaterialQuantitiesSettings settings;
    settings.totalQuantitiesPropertySetName.clear(); // no set to write into: the computation fails
    settings.functionalUnitPropertyPath = "Type/Properties/UnitPathFirst";
    settings.massPerFunctionalUnitPropertyPath = "Type/Properties/MassPathSecond";
    dock.setSettings(settings);
    ASSERT_TRUE(showSample());

    MessageBoxWatcher boxes;
    ASSERT_TRUE(compute());
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return !boxes.texts.isEmpty(); }, patienceMs));
    EXPECT_EQ(boxes.icon, QMessageBox::Critical);
    const QString text = boxes.texts.first();
    const int unitPath = text.indexOf(settings.functionalUnitPropertyPath);
    const int massPath = text.indexOf(settings.massPerFunctionalUnitPropertyPath);
    ASSERT_GE(unitPath, 0) << text.toStdString();
    ASSERT_GE(massPath, 0) << text.toStdString();
    EXPECT_LT(unitPath, massPath) << text.toStdString();
    EXPECT_LT(text.indexOf("functional unit"), unitPath);
    EXPECT_LT(unitPath, text.indexOf("mass per functional"));
}

TEST_F(DockBehaviour, TheDetailsSheetFollowsTheModelsRowOrderNotTheTablesSort)
{
    MQ_REQUIRE_OPENPYXL();
    ASSERT_TRUE(openAndComputeSample());
    const int nameColumn = 1, materialColumn = 3;
    table()->sortByColumn(materialColumn, Qt::DescendingOrder);
    const auto* sorted = qobject_cast<const QSortFilterProxyModel*>(table()->model());
    ASSERT_NE(sorted, nullptr);
    const QAbstractItemModel& unsorted = *sorted->sourceModel();
    // The sort must have moved rows for the order to tell the models apart.
    ASSERT_NE(columnTexts(*sorted, materialColumn), columnTexts(unsorted, materialColumn));

    const QTemporaryDir scratch;
    const QString path = scratch.filePath("quantities.xlsx");
    answerModal<QFileDialog>([&path](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(widget<QPushButton>("exportPMDPushButton"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !model->isBusy(); }, patienceMs));
    const QList<Sheet> sheets = Sheet::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 2);
    const Sheet& details = sheets[1];
    // The workbook follows the model's order, not the view's sort.
    EXPECT_EQ(sheetColumnTexts(details, nameColumn + 1), columnTexts(unsorted, nameColumn));
    EXPECT_EQ(sheetColumnTexts(details, materialColumn + 1), columnTexts(unsorted, materialColumn));
}

} // namespace

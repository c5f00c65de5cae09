// How the dock's result views read: masses in the locale and the unit
// chosen, sorts and widths kept across computations, the selection shared
// with the host and hidden elements told apart.
#include "DefaultLocale.h"
#include "HostModels.h"
#include "ShownInDock.h"
#include "TestFiles.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "Plugins/Tools/MaterialQuantities/Ui/MaterialQuantitiesDockWidget.h"

#include <QAction>
#include <QFont>
#include <QHeaderView>
#include <QPushButton>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testsupport;
using Orvane::MaterialQuantitiesCalculatorThread;
using Orvane::MaterialQuantitiesDockWidget;

const QString totalSet = QStringLiteral("TotalMaterialQuantities");

/// What a view shows of a cell, through its delegate.
QString shown(const QAbstractItemView& view, int row, int column)
{
    const QModelIndex index = view.model()->index(row, column);
    auto* delegate = qobject_cast<QStyledItemDelegate*>(view.itemDelegate(index));
    return delegate ? delegate->displayText(index.data(), view.locale()) : QString();
}

QStringList headerTexts(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column) {
        texts.append(model.headerData(column, Qt::Horizontal).toString());
    }
    return texts;
}

class ResultViews : public ::testing::Test
{
protected:
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }

    template <class T> T* widget(const char* name) const { return dock->findChild<T*>(name); }
    QTableView* table() const { return widget<QTableView>("detailedMaterialQuantitiesTableView"); }
    QTreeView* tree() const { return widget<QTreeView>("totalMaterialQuantitiesTreeView"); }

    /// A wall of concrete and wood, and a door of nothing, with their totals.
    void showBuiltModel()
    {
        ModelBuilder builder;
        project = builder.project();
        wall = builder.element("IFCWALL", "Mur");
        door = builder.element("IFCDOOR", "Porte");
        model = builder.open();
        ASSERT_TRUE(model);
        const std::vector<std::pair<QString, double>> masses = {{"Bois", 28318.024}, {"B\u00e9ton", 1036.8}};
        addMasses(*model, builder.project(), totalSet, masses);
        addMasses(*model, builder.project(), "RecoveredMaterialQuantities", masses);
        addMasses(*model, wall, totalSet, masses);
        dock = std::make_unique<MaterialQuantitiesDockWidget>();
        showInDock(*dock, model.get());
        ASSERT_NE(table()->model(), nullptr);
    }
    bool showSample()
    {
        model = openFile(QString::fromStdString(sourcePath("samples/small-building.ifc")));
        dock = std::make_unique<MaterialQuantitiesDockWidget>();
        showInDock(*dock, model.get());
        dock->show();
        return model && compute();
    }
    bool compute()
    {
        QTest::mouseClick(widget<QPushButton>("computeQuantitiesPushButton"), Qt::LeftButton);
        return QTest::qWaitFor([this] { return dock->findChildren<MaterialQuantitiesCalculatorThread*>().isEmpty(); },
                               60000) &&
               table()->model();
    }
    /// The dock's row of an element.
    int rowOf(int key) const
    {
        const QModelIndexList rows = table()->model()->match(table()->model()->index(0, 1), Qt::DisplayRole,
                                                             model->data(indexOf(*model, key)), 1, Qt::MatchExactly);
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    QAction* unitAction(const QString& text) const
    {
        for (QAction* action : table()->horizontalHeader()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

    std::unique_ptr<IFC2x3Model> model;
    std::unique_ptr<MaterialQuantitiesDockWidget> dock;
    int project = 0, wall = 0, door = 0;
};

TEST_F(ResultViews, MassesShowInTheLocaleAndTheUnitChosenOnTheHeaders)
{
    const struct
    {
        QLocale locale;
        QStringList kilograms; // the wall's concrete, the total of wood
        QStringList tonnes;
    } cases[] = {
        {DefaultLocale::english(), {"1,036.800", "28,318.024"}, {"1.037", "28.318"}},
        {DefaultLocale::french(), {"1\u202f036,800", "28\u202f318,024"}, {"1,037", "28,318"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const DefaultLocale locale(c.locale);
        showBuiltModel();
        const auto texts = [this] { return QStringList{shown(*table(), rowOf(wall), 3), shown(*tree(), 1, 1)}; };
        // French groups digits with U+202F or U+00A0, as Qt's locale data has it.
        const QString group(c.locale.groupSeparator());
        const QStringList kilograms = QStringList(c.kilograms).replaceInStrings(QString(QChar(0x202f)), group);
        EXPECT_EQ(headerTexts(*table()->model()).mid(3, 2), QStringList({"B\u00e9ton (kg)", "Bois (kg)"}));
        EXPECT_EQ(headerTexts(*tree()->model()), QStringList({"Name", "To recover (kg)", "Reused (kg)"}));
        EXPECT_EQ(texts(), kilograms);
        EXPECT_EQ(shown(*table(), rowOf(door), 3), "") << "no material, no number";

        QAction* tonnes = unitAction("Show masses in t");
        ASSERT_NE(tonnes, nullptr);
        EXPECT_EQ(table()->horizontalHeader()->contextMenuPolicy(), Qt::ActionsContextMenu);
        EXPECT_EQ(tree()->header()->actions(), table()->horizontalHeader()->actions());
        tonnes->trigger();
        EXPECT_TRUE(tonnes->isChecked());
        EXPECT_FALSE(unitAction("Show masses in kg")->isChecked());
        EXPECT_EQ(texts(), c.tonnes);
        EXPECT_EQ(headerTexts(*tree()->model()), QStringList({"Name", "To recover (t)", "Reused (t)"}));
        EXPECT_EQ(table()->model()->headerData(3, Qt::Horizontal).toString(), "B\u00e9ton (t)");

        // Remembered: the next dock shows tonnes, then kilograms once asked.
        showBuiltModel();
        EXPECT_EQ(texts(), c.tonnes);
        unitAction("Show masses in kg")->trigger();
        EXPECT_EQ(texts(), kilograms);
    }
}

TEST_F(ResultViews, ARecomputeKeepsTheSortAndTheWidths)
{
    ASSERT_TRUE(showSample());
    QHeaderView* header = table()->horizontalHeader();
    const int material = 4;
    const QString title = table()->model()->headerData(material, Qt::Horizontal).toString();
    table()->sortByColumn(material, Qt::DescendingOrder);
    header->resizeSection(1, 123);
    const auto values = [this, material] {
        QVariantList column;
        for (int row = 0; row < table()->model()->rowCount(); ++row) {
            column.append(table()->model()->index(row, material).data(Qt::EditRole));
        }
        return column;
    };
    const QVariantList before = values();
    ASSERT_GT(before.count(QVariant()), 0) << "the sample has elements without that material";

    ASSERT_TRUE(compute());
    EXPECT_EQ(header->sortIndicatorSection(), material);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(table()->model()->headerData(material, Qt::Horizontal).toString(), title);
    EXPECT_EQ(values(), before);
    const QVariantList after = values();
    const int empty = after.indexOf(QVariant());
    for (int row = 1; row < after.size(); ++row) {
        if (row < empty) {
            EXPECT_GE(after[row - 1].toDouble(), after[row].toDouble()) << row;
        } else {
            EXPECT_FALSE(after[row].isValid()) << "empty cells last, row " << row;
        }
    }
    EXPECT_EQ(header->sectionSize(1), 123);
    // The totals are sorted by name until the user sorts them otherwise.
    EXPECT_EQ(tree()->header()->sortIndicatorSection(), 0);
    EXPECT_EQ(tree()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(ResultViews, FirstResultsFitTheirColumns)
{
    showBuiltModel();
    // Fitted once shown: a hidden table would measure every row.
    dock->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dock.get()));
    QHeaderView* header = table()->horizontalHeader();
    for (int column = 1; column < header->count() - 1; ++column) { // the last one may stretch
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
        EXPECT_GE(header->sectionSize(column), static_cast<QAbstractItemView*>(table())->sizeHintForColumn(column))
            << column;
    }
}

TEST_F(ResultViews, SelectionsGoBothWaysWithoutLosingTheHostsOtherItems)
{
    showBuiltModel();
    QItemSelectionModel* host = model->selectionModel();
    const QModelIndex projectRow = indexOf(*model, project);
    host->select(projectRow, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    host->select(indexOf(*model, door), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QModelIndexList dockRows = table()->selectionModel()->selectedRows();
    ASSERT_EQ(dockRows.size(), 1);
    EXPECT_EQ(dockRows.first().row(), rowOf(door));
    EXPECT_TRUE(host->isRowSelected(projectRow.row(), QModelIndex())) << "the project stays selected in the host";

    table()->selectRow(rowOf(wall));
    EXPECT_EQ(host->selectedRows(), QModelIndexList({indexOf(*model, wall)}));
    EXPECT_EQ(host->currentIndex().row(), indexOf(*model, wall).row()) << "the host's views scroll to it";
    EXPECT_EQ(table()->selectionModel()->selectedRows().size(), 1);
}

TEST_F(ResultViews, HiddenElementsLookHiddenInTheHostAndTheDock)
{
    showBuiltModel();
    const int row = rowOf(wall);
    QAbstractItemModel* shownModel = table()->model();
    ASSERT_TRUE(shownModel->setData(shownModel->index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
    ASSERT_FALSE(model->isVisible(indexOf(*model, wall)));
    for (int column = 0; column < IFC2x3Model::ColumnCount; ++column) {
        const QModelIndex hidden = model->index(indexOf(*model, wall).row(), column);
        EXPECT_TRUE(hidden.data(Qt::FontRole).value<QFont>().italic()) << column;
        EXPECT_TRUE(hidden.data(Qt::ForegroundRole).isValid()) << column;
    }
    for (int column : {1, 3}) {
        EXPECT_TRUE(shownModel->index(row, column).data(Qt::FontRole).value<QFont>().italic()) << column;
        EXPECT_EQ(shownModel->index(row, column).data(Qt::ForegroundRole),
                  model->index(indexOf(*model, wall).row(), 0).data(Qt::ForegroundRole));
        EXPECT_FALSE(shownModel->index(rowOf(door), column).data(Qt::FontRole).isValid()) << "a visible element";
    }
    ASSERT_TRUE(shownModel->setData(shownModel->index(row, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(shownModel->index(row, 1).data(Qt::FontRole).isValid());
    EXPECT_FALSE(model->index(indexOf(*model, wall).row(), 2).data(Qt::ForegroundRole).isValid());
}

} // namespace

#include "BuildingTest.h"

#include "MaterialQuantitiesSortProxyModel.h"

#include <QSignalSpy>

namespace resultmodels {
namespace {

using Orvane::MaterialQuantitiesProxyModel;
using Orvane::MaterialQuantitiesSortProxyModel;

/// Counts the column checks, that is the work of each re-filtering.
class CountingSortModel : public MaterialQuantitiesSortProxyModel
{
public:
    mutable int columnChecks = 0;

protected:
    bool filterAcceptsColumn(int column, const QModelIndex& parent) const override
    {
        ++columnChecks;
        return MaterialQuantitiesSortProxyModel::filterAcceptsColumn(column, parent);
    }
};

class SortTest : public BuildingTest
{
protected:
    void SetUp() override
    {
        BuildingTest::SetUp();
        sorted.setSourceModel(detailed.get());
    }
    CountingSortModel sorted;
};

TEST_F(SortTest, StaysConsistentWhileSortingFilteringAndToggling)
{
    CheckedModel checked(&sorted);
    EXPECT_EQ(sorted.sortRole(), int(Qt::EditRole));
    sorted.sort(3, Qt::DescendingOrder);
    sorted.setVerificationMode(true);
    sorted.sort(0, Qt::AscendingOrder);
    sorted.setData(sorted.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    sorted.setVerificationMode(false);
    EXPECT_EQ(sorted.columnCount(), 7);
}

TEST_F(SortTest, VerificationModeHidesTheMaterialColumnsOnce)
{
    addMasses(*model, project, totalSet, {{"verre", 2.0}, {"plastique", 1.0}});
    MaterialQuantitiesProxyModel five(totalSet);
    five.setSourceModel(model.get());
    sorted.setSourceModel(&five);
    ASSERT_EQ(sorted.columnCount(), 9); // as a view has shown it

    QSignalSpy removed(&sorted, &QAbstractItemModel::columnsRemoved);
    sorted.setVerificationMode(true);
    EXPECT_EQ(horizontalHeaders(sorted), QStringList({"", "Name", "Type", "Quantity property path"}));
    EXPECT_EQ(sorted.data(sorted.index(0, 3)), QVariant("Not found"));
    const int removals = removed.count();
    EXPECT_GT(removals, 0);

    sorted.columnChecks = 0;
    sorted.setVerificationMode(true);
    EXPECT_EQ(sorted.columnChecks, 0);
    EXPECT_EQ(removed.count(), removals);

    sorted.setVerificationMode(false);
    EXPECT_EQ(sorted.columnCount(), 9);
}

TEST_F(SortTest, StatusColumnSortsElementsWithoutQuantitiesLast)
{
    sorted.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(columnValues(sorted, 0), QVariantList({0, 0, 1, 1}));
    QStringList last = {sorted.data(sorted.index(2, 1)).toString(), sorted.data(sorted.index(3, 1)).toString()};
    last.sort();
    EXPECT_EQ(last, QStringList({"Beam", "Wall B"}));
}

TEST_F(SortTest, CheckBoxOfASortedRowTogglesThatRowsElement)
{
    sorted.sort(1, Qt::DescendingOrder); // Wall B, Wall A, Slab, Beam
    ASSERT_EQ(sorted.data(sorted.index(0, 1)), QVariant("Wall B"));
    EXPECT_TRUE(sorted.flags(sorted.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_TRUE(sorted.setData(sorted.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(model->isVisible(indexOf(*model, wallB)));
    EXPECT_TRUE(model->isVisible(indexOf(*model, wallA))) << "detailed row 0";
    const int tableRow = sorted.mapFromSource(detailed->index(proxyRow(wallB), 0)).row();
    EXPECT_EQ(sorted.data(sorted.index(tableRow, 0), Qt::CheckStateRole), QVariant(int(Qt::Unchecked)));
}

/// Twelve walls whose quantities sort differently as numbers and as text.
class ManyWallsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ModelBuilder text;
        for (int i = 0; i < 12; ++i) {
            walls.push_back(text.element("IFCWALL", QString("Wall %1").arg(i)));
        }
        model = text.open();
        ASSERT_TRUE(model);
        addMasses(*model, text.project(), totalSet, {{"beton", 1.0}});
        for (int i = 0; i < 12; ++i) {
            addMasses(*model, walls[i], totalSet, {{"beton", beton(i)}});
        }
        detailed.setSourceModel(model.get());
        sorted.setSourceModel(&detailed);
        sorted.sort(3, Qt::DescendingOrder); // table row t shows detailed row 11 - t
    }
    static double beton(int i) { return 1.0 + 10.0 * i * i; } // 1, 11, 41, 91, 161...

    std::vector<int> walls;
    std::unique_ptr<IFC2x3Model> model;
    MaterialQuantitiesProxyModel detailed{totalSet};
    MaterialQuantitiesSortProxyModel sorted;
};

TEST_F(ManyWallsTest, QuantitiesSortAsNumbers)
{
    QVariantList expected;
    for (int i = 11; i >= 0; --i) {
        expected.append(beton(i));
    }
    EXPECT_EQ(columnValues(sorted, 3), expected);
}

TEST_F(ManyWallsTest, SelectedRowsMapToWholeRunsOfSourceRows)
{
    EXPECT_TRUE(sorted.mapSelectionToSource(QItemSelection()).isEmpty());

    // Detailed rows 9, then 6 and 5, then 4, over various columns.
    QItemSelection selection;
    selection.select(sorted.index(11 - 9, 2), sorted.index(11 - 9, 3));
    selection.select(sorted.index(11 - 6, 0), sorted.index(11 - 5, 1));
    selection.select(sorted.index(11 - 4, 1), sorted.index(11 - 4, 1));
    QItemSelection expected(detailed.index(4, 0), detailed.index(6, 4));
    expected.select(detailed.index(9, 0), detailed.index(9, 4));
    EXPECT_EQ(sorted.mapSelectionToSource(selection), expected);

    // Through both layers the host gets the four walls.
    QItemSelection walls469(indexOf(*model, walls[4]), indexOf(*model, walls[6]));
    walls469.select(indexOf(*model, walls[9]), indexOf(*model, walls[9]));
    EXPECT_EQ(detailed.mapSelectionToSource(sorted.mapSelectionToSource(selection)), walls469);
}

} // namespace
} // namespace resultmodels

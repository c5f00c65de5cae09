#include "BuildingTest.h"

#include "MaterialQuantitiesSortProxyModel.h"

namespace resultmodels {
namespace {

using Orvane::MaterialQuantitiesProxyModel;
using Orvane::MaterialQuantitiesSortProxyModel;

class SortTest : public BuildingTest
{
protected:
    void SetUp() override
    {
        BuildingTest::SetUp();
        sorted.setSourceModel(detailed.get());
    }
    MaterialQuantitiesSortProxyModel sorted;
};

TEST_F(SortTest, VerificationModeHidesTheMaterialColumnsOnceAndStaysConsistent)
{
    addMasses(*model, project, totalSet, {{"verre", 2.0}, {"plastique", 1.0}});
    MaterialQuantitiesProxyModel five(totalSet);
    five.setSourceModel(model.get());
    sorted.setSourceModel(&five);
    CheckedModel checked(&sorted);
    EXPECT_EQ(sorted.sortRole(), int(Qt::EditRole));
    sorted.sort(3, Qt::DescendingOrder);
    ASSERT_EQ(sorted.columnCount(), 9); // as a view has shown it

    sorted.setVerificationMode(true);
    EXPECT_EQ(horizontalHeaders(sorted), QStringList({"", "Name", "Type", "Quantity property path"}));
    EXPECT_EQ(sorted.data(sorted.index(0, 3)), QVariant("Not found"));
    sorted.setVerificationMode(true);

    sorted.sort(0, Qt::AscendingOrder);
    sorted.setData(sorted.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    sorted.setVerificationMode(false);
    EXPECT_EQ(sorted.columnCount(), 9);
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
    // Table row t shows detailed row 11 - t; each selected row may cover any columns.
    const auto select = [this](const std::vector<int>& detailedRows) {
        QItemSelection selection;
        for (int row : detailedRows) {
            selection.select(sorted.index(11 - row, row % 3), sorted.index(11 - row, 3));
        }
        return selection;
    };
    const auto runs = [](QAbstractItemModel& model, const std::vector<std::pair<int, int>>& firstAndLast) {
        QItemSelection selection;
        for (const auto& [first, last] : firstAndLast) {
            selection.select(model.index(first, 0), model.index(last, model.columnCount() - 1));
        }
        return selection;
    };
    EXPECT_TRUE(sorted.mapSelectionToSource(QItemSelection()).isEmpty());
    const struct
    {
        std::vector<int> rows;
        std::vector<std::pair<int, int>> runs;
    } cases[] = {
        {{9, 6, 5, 4}, {{4, 6}, {9, 9}}},
        {{4, 6}, {{4, 4}, {6, 6}}}, // a gap of one row keeps two runs
        {{7, 6, 6}, {{6, 7}}},
        {{0, 11}, {{0, 0}, {11, 11}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sorted.mapSelectionToSource(select(c.rows)), runs(detailed, c.runs)) << c.rows.size();
    }

    // Through both layers the host gets the walls, in runs of its own rows.
    QItemSelection walls469(indexOf(*model, walls[4]), indexOf(*model, walls[6]));
    walls469.select(indexOf(*model, walls[9]), indexOf(*model, walls[9]));
    EXPECT_EQ(detailed.mapSelectionToSource(sorted.mapSelectionToSource(select({9, 6, 5, 4}))), walls469);
    QItemSelection walls46(indexOf(*model, walls[4]), indexOf(*model, walls[4]));
    walls46.select(indexOf(*model, walls[6]), indexOf(*model, walls[6]));
    EXPECT_EQ(detailed.mapSelectionToSource(sorted.mapSelectionToSource(select({4, 6}))), walls46);
}

} // namespace
} // namespace resultmodels

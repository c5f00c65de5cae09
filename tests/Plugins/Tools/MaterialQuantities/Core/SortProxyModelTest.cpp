#include "BuildingTest.h"

#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesSortProxyModel.h"

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
    sorted.sort(3, Qt::DescendingOrder);
    ASSERT_EQ(sorted.columnCount(), 9); // as a view has shown it

    sorted.setVerificationMode(true);
    EXPECT_EQ(horizontalHeaders(sorted), QStringList({"", "Name", "Type", "Quantity property path", "Reason"}));
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
        std::vector<int> walls;
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
    const auto runs = [this](const std::vector<std::pair<int, int>>& firstAndLast) {
        QItemSelection selection;
        for (const auto& [first, last] : firstAndLast) {
            selection.select(detailed.index(first, 0), detailed.index(last, detailed.columnCount() - 1));
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
        EXPECT_EQ(sorted.mapSelectionToSource(select(c.rows)), runs(c.runs)) << c.rows.size();
    }
}

} // namespace
} // namespace resultmodels

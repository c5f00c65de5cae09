// The packed index of a data set: values beyond the packed fields (files
// beyond 1 TB, records beyond 16 MB, keys beyond 2^40) must come back whole.
#include "StepText.h"

#include "Step/SlotTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using Step::SlotState;
using Step::SlotTable;

constexpr std::uint64_t tb = std::uint64_t(1) << 40;
constexpr std::uint64_t mb16 = std::uint64_t(1) << 24;

struct Entry
{
    std::uint64_t offset;
    std::uint64_t length;
    Step::Id key;
    std::uint16_t typeId;
};

TEST(SlotTable, FieldsAtAndBeyondTheirPackedWidthComeBackWhole)
{
    const Entry entries[] = {
        {0, 0, 0, 0},
        {123, 45, 7, 1},
        {tb - 2, mb16 - 2, tb - 2, 0xffff},                               // largest packed
        {tb - 1, 10, 1, 2},                                               // offset field full
        {tb, 10, 2, 3},                                                   // offset beyond
        {(tb << 3) + 5, mb16 - 1, 3, 4},                                  // both beyond
        {77, mb16, 4, 5},                                                 // length beyond
        {78, (std::uint64_t(1) << 32) + 3, 5, 6},                         // beyond 32 bits
        {79, 1, tb - 1, 7},                                               // key field full
        {80, 1, tb, 8},                                                   // key beyond
        {81, 1, std::numeric_limits<Step::Id>::max(), 0xffff},            // largest key
        {SlotTable::noOffset, 0, 9, 10},                                  // created instance
        {SlotTable::noOffset, 12, 10, 11},                                // not a created one
        {tb + 1, mb16 + 1, std::numeric_limits<Step::Id>::max() - 1, 12}, // all beyond
    };
    SlotTable table;
    for (const Entry& e : entries) {
        table.append(e.offset, e.length, e.key, e.typeId, SlotState::Unloaded);
    }
    ASSERT_EQ(table.size(), std::size(entries));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table.offset(i), entries[i].offset) << i;
        EXPECT_EQ(table.length(i), entries[i].length) << i;
        EXPECT_EQ(table.key(i), entries[i].key) << i;
        EXPECT_EQ(table.typeId(i), entries[i].typeId) << i;
    }
}

TEST(SlotTable, HugeRecordAndKeyRoundTrip)
{
    const std::string longName(mb16 + 100, 'x');
    const std::string wall =
        "#1099511627776=IFCWALLSTANDARDCASE('2O2Fr$t4X7Zf8NOew3FLOH',$,'" + longName + "',$,$,$,$,'T1');\n";
    const std::string text =
        ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.,0.));\n" + wall +
                          "#3=IFCRELVOIDSELEMENT('0b2Fr$t4X7Zf8NOew3FLOH',$,$,$,#1099511627776,$);\n");
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(text)) << dataSet.lastError().toString();
    ASSERT_EQ(dataSet.slotCount(), 3u);
    EXPECT_EQ(dataSet.slotKey(1), Step::Id(1) << 40);
    EXPECT_EQ(dataSet.slotKey(2), 3u);

    auto* loaded = dynamic_cast<ifc2x3::IfcRoot*>(dataSet.get(Step::Id(1) << 40));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->argument(2).text(), longName);
    EXPECT_NE(dataSet.get(3), nullptr);
    EXPECT_EQ(dataSet.toText(), text);
}

// Keys far apart are indexed through a map instead of a table: a repeated
// one must be found there too, wide or not.
TEST(SlotTable, RepeatedKeysFarApartAreRefused)
{
    for (const std::string key : {"5000000", "1099511627776"}) {
        ifc2x3::ExpressDataSet dataSet;
        EXPECT_FALSE(
            dataSet.openFromText(ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.,0.));\n#" + key +
                                                   "=IFCDIRECTION((1.,0.));\n#" + key + "=IFCDIRECTION((0.,1.));\n")));
        EXPECT_EQ(dataSet.lastError().toString(), "line 10, column 1: duplicate instance name #" + key);
        EXPECT_EQ(dataSet.slotCount(), 0u);
    }
}

} // namespace

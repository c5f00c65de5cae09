// Round trips: the real sample models, their counts checked against the
// files, and records and keys beyond what the packed index holds.
#include "ReaderCheck.h"
#include "StepText.h"

#include "Step/SlotTable.h"
#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numeric>

namespace {

// Counted with grep over "^#n= NAME(" and the supertype chains of the
// schema tables, not with this library.
const char* const countedTypes = "IFCWALLSTANDARDCASE IFCWALL IFCWINDOW IFCDOOR IFCSLAB IFCSPACE IFCOPENINGELEMENT "
                                 "IFCRELVOIDSELEMENT IFCRELFILLSELEMENT IFCRELDEFINESBYPROPERTIES IFCRELDEFINESBYTYPE "
                                 "IFCPROPERTYSET IFCPROPERTYSINGLEVALUE IFCELEMENTQUANTITY IFCWALLTYPE IFCWINDOWSTYLE "
                                 "IFCDOORSTYLE IFCCARTESIANPOINT";

struct SampleFacts
{
    const char* file;
    std::size_t records;
    std::vector<std::size_t> exactType; // instances of exactly each counted type
    std::size_t objectDefinitions;      // IfcObjectDefinition with subtypes
    std::size_t elements;               // IfcElement with subtypes
    std::size_t typeObjects;            // IfcTypeObject with subtypes
};

const SampleFacts ac11{"AC11-Institute-Var-2-IFC.ifc",
                       49664,
                       {119, 0, 206, 77, 26, 82, 287, 287, 283, 890, 288, 661, 1970, 229, 2, 206, 77, 13260},
                       1489,
                       989,
                       288};
const SampleFacts duplex{
    "duplex.ifc", 38898, {56, 1, 24, 14, 21, 21, 50, 50, 38, 1480, 37, 1459, 5213, 21, 0, 6, 6, 8520}, 333, 268, 37};

class SampleTest : public ::testing::TestWithParam<const SampleFacts*>
{
protected:
    void SetUp() override
    {
        m_path = ifctest::samplePath(GetParam()->file);
        if (m_path.empty()) {
            GTEST_SKIP() << "sample not available: " << GetParam()->file;
        }
        ASSERT_TRUE(m_dataSet.open(m_path)) << m_dataSet.lastError().toString();
    }

    std::string m_path;
    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_P(SampleTest, CountsMatchTheFile)
{
    const SampleFacts& facts = *GetParam();
    EXPECT_EQ(m_dataSet.instanceCount(), facts.records);

    const std::vector<std::size_t> counts = m_dataSet.countByType();
    EXPECT_EQ(counts[0], 0u) << "instances of types unknown to IFC2X3";
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::size_t(0)), facts.records);
    std::istringstream names(countedTypes);
    std::string name;
    for (std::size_t i = 0; names >> name; ++i) {
        const std::uint16_t id = ifc2x3::schema().findEntity(name);
        ASSERT_NE(id, 0) << name;
        EXPECT_EQ(counts[id], facts.exactType.at(i)) << name;
    }

    // The typed lists gather the subtypes.
    EXPECT_EQ(m_dataSet.getAllIfcObjectDefinition().size(), facts.objectDefinitions);
    EXPECT_EQ(m_dataSet.getAllIfcElement().size(), facts.elements);
    EXPECT_EQ(m_dataSet.getAllIfcTypeObject().size(), facts.typeObjects);
    EXPECT_EQ(m_dataSet.getAllIfcProject().size(), 1u);
    EXPECT_EQ(m_dataSet.getAllIfcBuilding().size(), 1u);
}

// Then the checks every input of the reader goes through: written back
// byte for byte, and changed, saved and read again.
TEST_P(SampleTest, EveryInstanceDecodesWithoutWarningsAndSurvivesRoundTrips)
{
    for (std::size_t slot = 0; slot < m_dataSet.slotCount(); ++slot) {
        ASSERT_NE(m_dataSet.getBySlot(slot), nullptr) << "#" << m_dataSet.slotKey(slot);
    }
    const std::vector<std::string> warnings = m_dataSet.takeWarnings();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_EQ(ReaderCheck::run(ifctest::readFile(m_path)), "");
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTest, ::testing::Values(&ac11, &duplex),
                         [](const ::testing::TestParamInfo<const SampleFacts*>& info) {
                             return info.param == &ac11 ? std::string("AC11") : std::string("Duplex");
                         });

// The packed index of a data set: values beyond the packed fields (files
// beyond 1 TB, records beyond 16 MB, keys beyond 2^40) must come back whole.
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

} // namespace

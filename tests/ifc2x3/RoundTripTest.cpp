// The real sample models: counts checked against the files and round trips.
#include "ReaderCheck.h"
#include "StepText.h"

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

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

    std::size_t countWithSubtypes(const Step::ClassType& type) const
    {
        const std::vector<std::size_t> counts = m_dataSet.countByType();
        std::size_t total = 0;
        for (std::uint16_t id = 1; id < counts.size(); ++id) {
            if (ifc2x3::schema().classType(id).isDerivedFrom(type)) {
                total += counts[id];
            }
        }
        return total;
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

    EXPECT_EQ(countWithSubtypes(ifc2x3::IfcObjectDefinition::getClassType()), facts.objectDefinitions);
    EXPECT_EQ(countWithSubtypes(ifc2x3::IfcElement::getClassType()), facts.elements);
    EXPECT_EQ(countWithSubtypes(ifc2x3::IfcTypeObject::getClassType()), facts.typeObjects);

    // The typed lists decode the same instances.
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

} // namespace

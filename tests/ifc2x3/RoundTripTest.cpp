// The real sample models: counts checked against the files, round trips,
// and inverse relations that must agree with the relation counts.
#include "TestSupport.h"

#include "ifc2x3/ExpressDataSet.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

namespace {

using ifc2x3::InverseRelation;

struct SampleFacts
{
    const char* file;
    std::size_t records;
    std::map<std::string, std::size_t> exactType; // instances of exactly this type
    std::size_t objectDefinitions;                // IfcObjectDefinition with subtypes
    std::size_t elements;                         // IfcElement with subtypes
    std::size_t typeObjects;                      // IfcTypeObject with subtypes
};

// Counted from the files with grep over "^#n= NAME(" and the supertype
// chains of the schema tables, not with this library.
const SampleFacts ac11{"AC11-Institute-Var-2-IFC.ifc",
                       49664,
                       {{"IfcWallStandardCase", 119},
                        {"IfcWall", 0},
                        {"IfcWindow", 206},
                        {"IfcDoor", 77},
                        {"IfcSlab", 26},
                        {"IfcSpace", 82},
                        {"IfcBuildingStorey", 5},
                        {"IfcProject", 1},
                        {"IfcOpeningElement", 287},
                        {"IfcRelVoidsElement", 287},
                        {"IfcRelFillsElement", 283},
                        {"IfcRelDefinesByProperties", 890},
                        {"IfcRelDefinesByType", 288},
                        {"IfcRelContainedInSpatialStructure", 55},
                        {"IfcRelAggregates", 8},
                        {"IfcPropertySet", 661},
                        {"IfcPropertySingleValue", 1970},
                        {"IfcElementQuantity", 229},
                        {"IfcWallType", 2},
                        {"IfcWindowStyle", 206},
                        {"IfcDoorStyle", 77},
                        {"IfcCartesianPoint", 13260}},
                       1489,
                       989,
                       288};

const SampleFacts duplex{"duplex.ifc",
                         38898,
                         {{"IfcWallStandardCase", 56},
                          {"IfcWall", 1},
                          {"IfcWindow", 24},
                          {"IfcDoor", 14},
                          {"IfcSlab", 21},
                          {"IfcSpace", 21},
                          {"IfcBuildingStorey", 4},
                          {"IfcProject", 1},
                          {"IfcOpeningElement", 50},
                          {"IfcRelVoidsElement", 50},
                          {"IfcRelFillsElement", 38},
                          {"IfcRelDefinesByProperties", 1480},
                          {"IfcRelDefinesByType", 37},
                          {"IfcRelContainedInSpatialStructure", 15},
                          {"IfcRelAggregates", 9},
                          {"IfcPropertySet", 1459},
                          {"IfcPropertySingleValue", 5213},
                          {"IfcElementQuantity", 21},
                          {"IfcWallType", 0},
                          {"IfcWindowStyle", 6},
                          {"IfcDoorStyle", 6},
                          {"IfcCartesianPoint", 8520}},
                         333,
                         268,
                         37};

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

    std::size_t inverseTotal(const Step::ClassType& type, InverseRelation relation)
    {
        std::size_t total = 0;
        for (std::size_t slot = 0; slot < m_dataSet.slotCount(); ++slot) {
            Step::BaseEntity* entity = m_dataSet.getBySlot(slot);
            if (entity && entity->isOfType(type)) {
                total += m_dataSet.inverse(*entity, relation).size();
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
    EXPECT_EQ(m_dataSet.slotCount(), facts.records);

    const std::vector<std::size_t> counts = m_dataSet.countByType();
    EXPECT_EQ(counts[0], 0u) << "instances of types unknown to IFC2X3";
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::size_t(0)), facts.records);
    for (const auto& [name, expected] : facts.exactType) {
        std::string upper = name;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        const std::uint16_t id = ifc2x3::schema().findEntity(upper);
        ASSERT_NE(id, 0) << name;
        EXPECT_EQ(counts[id], expected) << name;
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

TEST_P(SampleTest, EveryInstanceDecodesWithoutWarnings)
{
    for (std::size_t slot = 0; slot < m_dataSet.slotCount(); ++slot) {
        ASSERT_NE(m_dataSet.getBySlot(slot), nullptr) << "#" << m_dataSet.slotKey(slot);
    }
    const std::vector<std::string> warnings = m_dataSet.takeWarnings();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST_P(SampleTest, ByteIdenticalAfterDecodingEverything)
{
    const std::string original = ifctest::readFile(m_path);
    EXPECT_EQ(m_dataSet.toText(), original) << "indexed only";

    for (const auto& object : m_dataSet.getAllIfcObjectDefinition()) {
        for (int r = 0; r < static_cast<int>(InverseRelation::Count); ++r) {
            m_dataSet.inverse(*object, static_cast<InverseRelation>(r));
        }
    }
    EXPECT_FALSE(m_dataSet.isModified());
    EXPECT_EQ(m_dataSet.toText(), original) << "after object definitions and inverses";

    for (std::size_t slot = 0; slot < m_dataSet.slotCount(); ++slot) {
        m_dataSet.getBySlot(slot);
    }
    EXPECT_EQ(m_dataSet.toText(), original) << "after every instance";

    ifctest::TempDir dir;
    ASSERT_TRUE(m_dataSet.save(dir.file("copy.ifc")));
    EXPECT_TRUE(ifctest::readFile(dir.file("copy.ifc")) == original);
}

TEST_P(SampleTest, InverseRelationsAgreeWithTheRelations)
{
    const std::vector<std::size_t> counts = m_dataSet.countByType();
    auto count = [&](const Step::ClassType& type) { return counts[type.id()]; };

    // Each of these relations names exactly one element on each side.
    EXPECT_EQ(inverseTotal(ifc2x3::IfcElement::getClassType(), InverseRelation::HasOpenings),
              count(ifc2x3::IfcRelVoidsElement::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcOpeningElement::getClassType(), InverseRelation::VoidsElements),
              count(ifc2x3::IfcRelVoidsElement::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcElement::getClassType(), InverseRelation::FillsVoids),
              count(ifc2x3::IfcRelFillsElement::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcOpeningElement::getClassType(), InverseRelation::HasFillings),
              count(ifc2x3::IfcRelFillsElement::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcTypeObject::getClassType(), InverseRelation::ObjectTypeOf),
              count(ifc2x3::IfcRelDefinesByType::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcSpatialStructureElement::getClassType(), InverseRelation::ContainsElements),
              count(ifc2x3::IfcRelContainedInSpatialStructure::getClassType()));
    EXPECT_EQ(inverseTotal(ifc2x3::IfcPropertySetDefinition::getClassType(), InverseRelation::PropertyDefinitionOf),
              count(ifc2x3::IfcRelDefinesByProperties::getClassType()));

    // One project at the top of the decomposition, nothing above it.
    ifc2x3::IfcProject* project = m_dataSet.getAllIfcProject().front().get();
    EXPECT_TRUE(project->getDecomposes().empty());
    ASSERT_EQ(project->getIsDecomposedBy().size(), 1u);
}

TEST(AC11Sample, WallsAreTypedAndQuantified)
{
    const std::string path = ifctest::samplePath("AC11-Institute-Var-2-IFC.ifc");
    if (path.empty()) {
        GTEST_SKIP() << "sample not available";
    }
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    std::size_t walls = 0;
    for (const auto& element : dataSet.getAllIfcElement()) {
        auto* wall = dynamic_cast<ifc2x3::IfcWallStandardCase*>(element.get());
        if (!wall) {
            continue;
        }
        ++walls;
        std::size_t types = 0;
        bool baseQuantities = false;
        for (const auto& relation : wall->getIsDefinedBy()) {
            if (auto* byType = dynamic_cast<ifc2x3::IfcRelDefinesByType*>(relation.get())) {
                ++types;
                EXPECT_NE(dynamic_cast<ifc2x3::IfcWallType*>(byType->getRelatingType()), nullptr);
            } else if (auto* byProperties = dynamic_cast<ifc2x3::IfcRelDefinesByProperties*>(relation.get())) {
                auto* quantities =
                    dynamic_cast<ifc2x3::IfcElementQuantity*>(byProperties->getRelatingPropertyDefinition());
                baseQuantities = baseQuantities || (quantities && quantities->getName() == "BaseQuantities");
            }
        }
        EXPECT_EQ(types, 1u) << "#" << wall->getKey();
        EXPECT_TRUE(baseQuantities) << "#" << wall->getKey();
        EXPECT_EQ(wall->getContainedInStructure().size(), 1u) << "#" << wall->getKey();
    }
    EXPECT_EQ(walls, 119u);

    // The file spells umlauts with \S\ (Geb\S\dude, B\S\|roarbeit).
    std::size_t gebaeude = 0;
    std::size_t bueroarbeit = 0;
    for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
        Step::BaseEntity* entity = dataSet.getBySlot(slot);
        for (std::size_t i = 0; entity && i < entity->argumentCount(); ++i) {
            const std::string_view text = entity->argument(i).plain().text();
            gebaeude += text.find("Geb\xC3\xA4ude") != std::string_view::npos;
            bueroarbeit += text.find("B\xC3\xBCroarbeit") != std::string_view::npos;
        }
    }
    EXPECT_EQ(gebaeude, 3u);
    EXPECT_EQ(bueroarbeit, 1u);
    // ... and the header keeps its \X\0A line break and \\ backslashes.
    ASSERT_EQ(dataSet.header().fileDescription.size(), 2u);
    EXPECT_EQ(dataSet.header().fileDescription[0].items().at(1).text().back(), '\n');
    EXPECT_EQ(dataSet.header().fileName.at(0).text().substr(0, 9), "S:\\[IFC]\\");
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTest, ::testing::Values(&ac11, &duplex),
                         [](const ::testing::TestParamInfo<const SampleFacts*>& info) {
                             return info.param == &ac11 ? std::string("AC11") : std::string("Duplex");
                         });

} // namespace

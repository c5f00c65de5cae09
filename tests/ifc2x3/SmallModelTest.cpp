// Typed lists, labels and inverse relations of the small model: every
// relation kind, file order, forward references, and upkeep across
// creations, changes and deletions.
#include "StepText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using ifc2x3::InverseRelation;
using ifctest::Keys;
using ifctest::keysOf;

class SmallModelTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dataSet.openFromText(ifctest::smallModel())); }

    template <class T> T* entity(Step::Id key)
    {
        T* typed = dynamic_cast<T*>(m_dataSet.get(key));
        EXPECT_NE(typed, nullptr) << "#" << key;
        return typed;
    }

    Keys inverse(Step::Id key, InverseRelation relation)
    {
        Keys keys;
        if (Step::BaseEntity* target = m_dataSet.get(key)) {
            for (Step::BaseEntity* source : m_dataSet.inverse(*target, relation)) {
                keys.push_back(source->getKey());
            }
        }
        return keys;
    }

    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_F(SmallModelTest, EveryInverseRelationInFileOrder)
{
    // #9 has the lowest key but comes last in the file; #7 names #60
    // before #60 is defined.
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcWallStandardCase>(20)->getIsDefinedBy()), (Keys{56, 57, 9}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcWallStandardCase>(21)->getIsDefinedBy()), (Keys{56, 57}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcWall>(60)->getIsDefinedBy()), (Keys{7}));

    EXPECT_EQ(keysOf(entity<ifc2x3::IfcProject>(1)->getIsDecomposedBy()), (Keys{50}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcSite>(10)->getDecomposes()), (Keys{50}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcSite>(10)->getIsDecomposedBy()), (Keys{51}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcBuildingStorey>(12)->getDecomposes()), (Keys{52}));

    EXPECT_EQ(keysOf(entity<ifc2x3::IfcBuildingStorey>(12)->getContainsElements()), (Keys{53}));
    for (Step::Id element : {20, 21, 23, 24, 60}) {
        EXPECT_EQ(inverse(element, InverseRelation::ContainedInStructure), (Keys{53})) << element;
    }
    EXPECT_TRUE(entity<ifc2x3::IfcOpeningElement>(22)->getContainedInStructure().empty());

    EXPECT_EQ(keysOf(entity<ifc2x3::IfcWallStandardCase>(20)->getHasOpenings()), (Keys{54}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcOpeningElement>(22)->getVoidsElements()), (Keys{54}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcOpeningElement>(22)->getHasFillings()), (Keys{55}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcWindow>(23)->getFillsVoids()), (Keys{55}));

    EXPECT_EQ(keysOf(entity<ifc2x3::IfcPropertySet>(40)->getPropertyDefinitionOf()), (Keys{7, 56}));
    EXPECT_EQ(keysOf(entity<ifc2x3::IfcPropertySet>(41)->getDefinesType()), (Keys{30}));
    EXPECT_TRUE(entity<ifc2x3::IfcPropertySet>(40)->getDefinesType().empty());

    // Walks see what the lists hold and stop when asked.
    Keys walked;
    m_dataSet.forEachInverse(*m_dataSet.get(20), InverseRelation::IsDefinedBy, [&](Step::BaseEntity* source) {
        walked.push_back(source->getKey());
        return source->getKey() == 57;
    });
    EXPECT_EQ(walked, (Keys{56, 57}));
}

TEST_F(SmallModelTest, ListsHoldSubtypesInFileOrderAndFollowEditsWhileSnapshotsStay)
{
    const auto elements = m_dataSet.getAllIfcElement();
    const auto walls = m_dataSet.allOf<ifc2x3::IfcWall>();
    EXPECT_EQ(keysOf(elements), (Keys{20, 21, 22, 23, 24, 60}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcObjectDefinition()), (Keys{1, 10, 11, 12, 20, 21, 22, 23, 24, 30, 60}));
    EXPECT_EQ(keysOf(walls), (Keys{20, 21, 60}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcRelDefines>()), (Keys{7, 56, 57, 9}));

    auto* wall = m_dataSet.createEntity<ifc2x3::IfcWallStandardCase>();
    auto* door = m_dataSet.createEntity<ifc2x3::IfcDoor>();
    ASSERT_TRUE(m_dataSet.remove(21));
    ASSERT_TRUE(m_dataSet.remove(22));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcElement()), (Keys{20, 23, 24, 60, wall->getKey(), door->getKey()}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcWall>()), (Keys{20, 60, wall->getKey()}));
    // A list taken before stays as it was for its reader.
    EXPECT_EQ(keysOf(elements), (Keys{20, 21, 22, 23, 24, 60}));
    EXPECT_EQ(keysOf(walls), (Keys{20, 21, 60}));
    // Lists made after the edits agree.
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcDoor>()), (Keys{door->getKey()}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcBuildingElement>()),
              (Keys{20, 23, 24, 60, wall->getKey(), door->getKey()}));
}

TEST_F(SmallModelTest, LabelFallsBackFromNameToLongNameToGlobalId)
{
    using ifc2x3::ExpressDataSet;
    auto root = [&](Step::Id key) { return dynamic_cast<ifc2x3::IfcRoot*>(m_dataSet.get(key)); };
    EXPECT_EQ(ExpressDataSet::label(*root(1)), Step::String("Project"));
    EXPECT_EQ(ExpressDataSet::label(*root(11)), Step::String("Building long name"));
    EXPECT_EQ(ExpressDataSet::label(*root(60)), Step::String("0060wallC00000000000000"));

    // An empty Name counts as none; a typed LongName is unwrapped.
    auto* space = m_dataSet.createEntity<ifc2x3::IfcSpace>();
    space->setGlobalId("0space0000000000000000");
    space->setName("");
    EXPECT_EQ(ExpressDataSet::label(*space), Step::String("0space0000000000000000"));
    space->setLongNameValue(Step::Value::typed("IFCLABEL", Step::Value::string("R\xC3\xA4ume")));
    EXPECT_EQ(ExpressDataSet::label(*space), Step::String("R\xC3\xA4ume"));
    space->setName("1.01");
    EXPECT_EQ(ExpressDataSet::label(*space), Step::String("1.01"));
}

// Edits made before the inverses are first asked for, or after: the
// answers must be the same.
class InverseUpkeepTest : public SmallModelTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(InverseUpkeepTest, FollowsCreationsChangesAndDeletions)
{
    if (GetParam()) {
        EXPECT_EQ(inverse(20, InverseRelation::IsDefinedBy), (Keys{56, 57, 9}));
    }

    // Creation: a new property relation for wall B, filled before it joins
    // the data set.
    auto* relation = m_dataSet.createEntity<ifc2x3::IfcRelDefinesByProperties>([&](auto& filled) {
        filled.setRelatedObjects({entity<ifc2x3::IfcObject>(21)});
        filled.setRelatingPropertyDefinition(entity<ifc2x3::IfcPropertySetDefinition>(45));
    });
    const Step::Id created = relation->getKey();

    // Changes: the type now applies to wall B only, the opening moves to
    // wall B, the storey hands its elements to the building.
    entity<ifc2x3::IfcRelDefinesByType>(57)->setRelatedObjects({entity<ifc2x3::IfcObject>(21)});
    entity<ifc2x3::IfcRelVoidsElement>(54)->setRelatingBuildingElement(entity<ifc2x3::IfcElement>(21));
    entity<ifc2x3::IfcRelContainedInSpatialStructure>(53)->setRelatingStructure(
        entity<ifc2x3::IfcSpatialStructureElement>(11));

    // Deletions: a relation, and an object that relations name.
    ASSERT_TRUE(m_dataSet.remove(56));
    ASSERT_TRUE(m_dataSet.remove(41));

    EXPECT_EQ(inverse(20, InverseRelation::IsDefinedBy), (Keys{9}));
    EXPECT_EQ(inverse(21, InverseRelation::IsDefinedBy), (Keys{57, created}));
    EXPECT_EQ(inverse(45, InverseRelation::PropertyDefinitionOf), (Keys{9, created}));
    EXPECT_EQ(inverse(40, InverseRelation::PropertyDefinitionOf), (Keys{7}));
    EXPECT_EQ(inverse(30, InverseRelation::ObjectTypeOf), (Keys{57}));
    EXPECT_EQ(inverse(20, InverseRelation::HasOpenings), Keys{});
    EXPECT_EQ(inverse(21, InverseRelation::HasOpenings), (Keys{54}));
    EXPECT_EQ(inverse(12, InverseRelation::ContainsElements), Keys{});
    EXPECT_EQ(inverse(11, InverseRelation::ContainsElements), (Keys{53}));
    EXPECT_EQ(inverse(41, InverseRelation::DefinesType), Keys{}) << "deleted";

    // Deleting the new relation and unsetting a single reference.
    ASSERT_TRUE(m_dataSet.remove(created));
    entity<ifc2x3::IfcRelFillsElement>(55)->setRelatedBuildingElement(nullptr);
    EXPECT_EQ(inverse(21, InverseRelation::IsDefinedBy), (Keys{57}));
    EXPECT_EQ(inverse(45, InverseRelation::PropertyDefinitionOf), (Keys{9}));
    EXPECT_EQ(inverse(23, InverseRelation::FillsVoids), Keys{});
    EXPECT_EQ(inverse(22, InverseRelation::HasFillings), (Keys{55}));

    // A fill that fails leaves no instance behind, and the lists of the
    // data set as they were.
    const std::size_t slots = m_dataSet.slotCount();
    const std::size_t walls = m_dataSet.allOf<ifc2x3::IfcWall>().size();
    EXPECT_THROW(m_dataSet.createEntity<ifc2x3::IfcWall>([](auto&) { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_EQ(m_dataSet.slotCount(), slots);
    EXPECT_EQ(m_dataSet.allOf<ifc2x3::IfcWall>().size(), walls);

    // A reference to a key far beyond the last one, which is only made
    // later: its relation is found once an instance has that key.
    const Step::Id ahead = 100060;
    auto* early = m_dataSet.createEntity<ifc2x3::IfcRelDefinesByProperties>();
    early->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(ahead)}));
    early->setRelatingPropertyDefinition(entity<ifc2x3::IfcPropertySetDefinition>(45));
    Step::BaseEntity* reached = nullptr;
    while (!reached || reached->getKey() < ahead) {
        reached = m_dataSet.createEntity<ifc2x3::IfcWall>();
    }
    ASSERT_EQ(reached->getKey(), ahead);
    EXPECT_EQ(inverse(ahead, InverseRelation::IsDefinedBy), (Keys{early->getKey()}));
    EXPECT_EQ(inverse(ahead - 1, InverseRelation::IsDefinedBy), Keys{});
    EXPECT_EQ(inverse(45, InverseRelation::PropertyDefinitionOf), (Keys{9, early->getKey()}));
}

INSTANTIATE_TEST_SUITE_P(Inverses, InverseUpkeepTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("BuiltFirst") : std::string("BuiltAfterEdits");
                         });

} // namespace

// Typed lists, type tests, visitors and labels on the small model.
#include "TestSupport.h"

#include "ifc2x3/generated/Visitor.h"

#include <gtest/gtest.h>

namespace {

using Keys = std::vector<Step::Id>;

template <class T> Keys keysOf(const std::vector<Step::RefPtr<T>>& list)
{
    Keys keys;
    for (const auto& item : list) {
        keys.push_back(item->getKey());
    }
    return keys;
}

class ListsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dataSet.openFromText(ifctest::smallModel())); }
    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_F(ListsTest, ListsHoldSubtypesInFileOrder)
{
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcElement()), (Keys{20, 21, 22, 23, 24, 60}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcObjectDefinition()), (Keys{1, 10, 11, 12, 20, 21, 22, 23, 24, 30, 60}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcTypeObject()), (Keys{30}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcProject()), (Keys{1}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcBuilding()), (Keys{11}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcWall>()), (Keys{20, 21, 60}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcRelDefines>()), (Keys{7, 56, 57, 9}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcProperty>()), (Keys{42, 43, 44}));
    EXPECT_TRUE(m_dataSet.allOf<ifc2x3::IfcDoor>().empty());
    // The same list object is handed out again.
    EXPECT_EQ(&m_dataSet.getAllIfcElement(), &m_dataSet.getAllIfcElement());
}

TEST_F(ListsTest, ListsFollowCreationAndDeletion)
{
    auto& elements = m_dataSet.getAllIfcElement();
    auto& walls = m_dataSet.allOf<ifc2x3::IfcWall>();
    auto* wall = m_dataSet.createEntity<ifc2x3::IfcWallStandardCase>();
    auto* door = m_dataSet.createEntity<ifc2x3::IfcDoor>();
    ASSERT_TRUE(m_dataSet.remove(21));
    ASSERT_TRUE(m_dataSet.remove(22));
    EXPECT_EQ(keysOf(elements), (Keys{20, 23, 24, 60, wall->getKey(), door->getKey()}));
    EXPECT_EQ(keysOf(walls), (Keys{20, 60, wall->getKey()}));
    // Lists made after the edits agree.
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcDoor>()), (Keys{door->getKey()}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcBuildingElement>()),
              (Keys{20, 23, 24, 60, wall->getKey(), door->getKey()}));
}

TEST_F(ListsTest, TypeTests)
{
    Step::BaseEntity* wall = m_dataSet.get(20);
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->isOfType(ifc2x3::IfcWallStandardCase::getClassType()));
    EXPECT_TRUE(wall->isOfType(ifc2x3::IfcWall::getClassType()));
    EXPECT_TRUE(wall->isOfType(ifc2x3::IfcElement::getClassType()));
    EXPECT_TRUE(wall->isOfType(ifc2x3::IfcObjectDefinition::getClassType()));
    EXPECT_TRUE(wall->isOfType(ifc2x3::IfcRoot::getClassType()));
    EXPECT_TRUE(wall->isOfType(Step::BaseEntity::getClassType()));
    EXPECT_FALSE(wall->isOfType(ifc2x3::IfcSlab::getClassType()));
    EXPECT_FALSE(wall->isOfType(ifc2x3::IfcTypeObject::getClassType()));
    EXPECT_STREQ(wall->getType().getName(), "IfcWallStandardCase");

    Step::BaseEntity* plainWall = m_dataSet.get(60);
    EXPECT_TRUE(plainWall->isOfType(ifc2x3::IfcWall::getClassType()));
    EXPECT_FALSE(plainWall->isOfType(ifc2x3::IfcWallStandardCase::getClassType()));

    Step::BaseEntity* type = m_dataSet.get(30);
    EXPECT_TRUE(type->isOfType(ifc2x3::IfcTypeObject::getClassType()));
    EXPECT_TRUE(type->isOfType(ifc2x3::IfcObjectDefinition::getClassType()));
    EXPECT_FALSE(type->isOfType(ifc2x3::IfcObject::getClassType()));
}

class ObjectDefinitionCollector : public ifc2x3::InheritVisitor
{
public:
    bool visitIfcObjectDefinition(ifc2x3::IfcObjectDefinition* object) override
    {
        seen.push_back(object->getKey());
        return true;
    }
    bool visitBaseEntity(Step::BaseEntity*) override
    {
        ++others;
        return false;
    }
    Keys seen;
    int others = 0;
};

TEST_F(ListsTest, InheritVisitorSeesEverySubtype)
{
    ObjectDefinitionCollector visitor;
    int accepted = 0;
    for (std::size_t slot = 0; slot < m_dataSet.slotCount(); ++slot) {
        accepted += m_dataSet.getBySlot(slot)->acceptVisitor(&visitor) ? 1 : 0;
    }
    EXPECT_EQ(visitor.seen, (Keys{1, 10, 11, 12, 20, 21, 22, 23, 24, 30, 60}));
    EXPECT_EQ(accepted, 11);
    EXPECT_EQ(static_cast<std::size_t>(visitor.others), m_dataSet.slotCount() - 11);
}

// The plain visitor does not climb the hierarchy: an override for IfcWall
// sees IfcWall instances only.
class WallOnlyVisitor : public ifc2x3::Visitor
{
public:
    bool visitIfcWall(ifc2x3::IfcWall* wall) override
    {
        seen.push_back(wall->getKey());
        return true;
    }
    Keys seen;
};

TEST_F(ListsTest, PlainVisitorDispatchesOnTheExactType)
{
    WallOnlyVisitor visitor;
    for (const auto& element : m_dataSet.getAllIfcElement()) {
        element->acceptVisitor(&visitor);
    }
    EXPECT_EQ(visitor.seen, (Keys{60}));
}

TEST_F(ListsTest, LabelFallsBackFromNameToLongNameToGlobalId)
{
    using ifc2x3::ExpressDataSet;
    auto root = [&](Step::Id key) { return dynamic_cast<ifc2x3::IfcRoot*>(m_dataSet.get(key)); };
    EXPECT_EQ(ExpressDataSet::label(*root(1)), Step::String("Project"));
    EXPECT_EQ(ExpressDataSet::label(*root(11)), Step::String("Building long name"));
    EXPECT_EQ(ExpressDataSet::label(*root(22)), Step::String("0022opening000000000000"));
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

} // namespace

// Typed lists and labels on the small model.
#include "StepText.h"

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

TEST_F(ListsTest, ListsHoldSubtypesInFileOrderAndFollowEdits)
{
    auto& elements = m_dataSet.getAllIfcElement();
    auto& walls = m_dataSet.allOf<ifc2x3::IfcWall>();
    EXPECT_EQ(keysOf(elements), (Keys{20, 21, 22, 23, 24, 60}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcObjectDefinition()), (Keys{1, 10, 11, 12, 20, 21, 22, 23, 24, 30, 60}));
    EXPECT_EQ(keysOf(m_dataSet.getAllIfcTypeObject()), (Keys{30}));
    EXPECT_EQ(keysOf(walls), (Keys{20, 21, 60}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcRelDefines>()), (Keys{7, 56, 57, 9}));
    EXPECT_EQ(keysOf(m_dataSet.allOf<ifc2x3::IfcProperty>()), (Keys{42, 43, 44}));
    EXPECT_TRUE(m_dataSet.allOf<ifc2x3::IfcDoor>().empty());

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

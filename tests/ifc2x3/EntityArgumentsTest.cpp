// Values of an instance: held in the instance's own block up to the room it
// was made with, in a block of their own beyond it.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Step::Value;

TEST(EntityArguments, MadeInstancesKeepTheirValuesWhenGrowingBeyondTheirRoom)
{
    ifc2x3::ExpressDataSet dataSet;
    auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>([](ifc2x3::IfcPropertySingleValue& single) {
        single.setNameValue(Value::string(std::string(40, 'n')));
        single.setNominalValueValue(Value::typed("IFCREAL", Value::real(2.5)));
    });
    ASSERT_TRUE(property);
    ASSERT_EQ(property->argumentCount(), 4u);

    // Past the schema's attributes: the values move, none is lost.
    property->setArgument(6, Value::string("beyond"));
    ASSERT_EQ(property->argumentCount(), 7u);
    EXPECT_EQ(property->argument(0).text(), std::string(40, 'n'));
    EXPECT_EQ(property->argument(2), Value::typed("IFCREAL", Value::real(2.5)));
    EXPECT_TRUE(property->argument(4).isNull());
    EXPECT_EQ(property->argument(6).text(), "beyond");
    property->setArgument(9, Value::integer(3));
    EXPECT_EQ(property->argument(6).text(), "beyond");
    EXPECT_EQ(property->argument(9), Value::integer(3));
    EXPECT_TRUE(property->argument(12).isNull()) << "out of range reads as unset";
}

TEST(EntityArguments, InstancesMadeWithoutRoomGrowAsSet)
{
    ifc2x3::IfcWall wall(nullptr, 7);
    EXPECT_EQ(wall.argumentCount(), 0u);
    wall.setArgument(2, Value::string("Wall"));
    wall.setArgument(0, Value::string(std::string(30, 'g')));
    wall.setArgument(5, Value::reference(3));
    ASSERT_EQ(wall.argumentCount(), 6u);
    EXPECT_EQ(wall.argument(0).text(), std::string(30, 'g'));
    EXPECT_EQ(wall.argument(2).text(), "Wall");
    EXPECT_EQ(wall.argument(5).referenceKey(), 3u);
}

TEST(EntityArguments, DecodedInstancesReadAndWriteBackTheirValues)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    // Every instance decoded, then the file written from the decoded values
    // alone: what was read is what is held.
    for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
        if (Step::BaseEntity* entity = dataSet.getBySlot(slot)) {
            entity->setArgument(0, Value(entity->argument(0)));
        }
    }
    ifc2x3::ExpressDataSet reloaded;
    ASSERT_TRUE(reloaded.openFromText(dataSet.toText()));
    ASSERT_EQ(reloaded.slotCount(), dataSet.slotCount());
    for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
        Step::BaseEntity* original = dataSet.getBySlot(slot);
        Step::BaseEntity* read = reloaded.getBySlot(slot);
        ASSERT_EQ(!original, !read);
        if (!original) {
            continue;
        }
        ASSERT_EQ(read->argumentCount(), original->argumentCount());
        for (std::size_t i = 0; i < original->argumentCount(); ++i) {
            EXPECT_EQ(read->argument(i), original->argument(i)) << "#" << original->getKey() << " attribute " << i;
        }
    }
}

} // namespace

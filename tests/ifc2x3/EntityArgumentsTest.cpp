// Values of an instance set beyond the room it was made with, or with no
// room at all, must keep the values already held.
#include "StepText.h"

#include <gtest/gtest.h>

namespace {

using Step::Value;

TEST(EntityArguments, ValuesSurviveGrowingBeyondTheRoomAnInstanceWasMadeWith)
{
    ifc2x3::ExpressDataSet dataSet;
    auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>([](ifc2x3::IfcPropertySingleValue& single) {
        single.setNameValue(Value::string(std::string(40, 'n')));
        single.setNominalValueValue(Value::typed("IFCREAL", Value::real(2.5)));
    });
    ASSERT_TRUE(property);
    ASSERT_EQ(property->argumentCount(), 4u);
    ifc2x3::IfcWall wall(nullptr, 7);
    EXPECT_EQ(wall.argumentCount(), 0u);
    for (Step::BaseEntity* entity : {static_cast<Step::BaseEntity*>(property), static_cast<Step::BaseEntity*>(&wall)}) {
        entity->setArgument(6, Value::string("beyond"));
        entity->setArgument(0, Value::string(std::string(40, 'n')));
        entity->setArgument(9, Value::reference(3));
        ASSERT_EQ(entity->argumentCount(), 10u);
        EXPECT_EQ(entity->argument(0).text(), std::string(40, 'n'));
        EXPECT_EQ(entity->argument(6).text(), "beyond");
        EXPECT_EQ(entity->argument(9).referenceKey(), 3u);
        EXPECT_TRUE(entity->argument(4).isNull());
        EXPECT_TRUE(entity->argument(12).isNull()) << "out of range reads as unset";
    }
    EXPECT_EQ(property->argument(2), Value::typed("IFCREAL", Value::real(2.5)));
}

} // namespace

// Instances and decoded values live in their data set's arena: edits in any
// order, instances that outlive their data set, and bounded growth.
#include "StepText.h"

#include "Step/RefPtr.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Step::Value;

TEST(ArenaTest, EditsInAnyOrderSaveAndReloadToTheSameFile)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    std::vector<Step::Id> created;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 20; ++i) {
            auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
            property->setName("P" + std::to_string(round) + "_" + std::to_string(i));
            property->setNominalValueValue(Value::typed("IFCLABEL", Value::string(std::string(40 + i, 'x'))));
            created.push_back(property->getKey());
        }
        // Deleting every other one, decoded and created alike, frees blocks
        // that the next round's instances reuse.
        for (std::size_t i = round; i < created.size(); i += 2) {
            dataSet.remove(created[i]);
        }
        dataSet.get(42)->setArgument(0, Value::string("Renamed " + std::to_string(round)));
    }
    ASSERT_TRUE(dataSet.remove(43));
    const std::string saved = dataSet.toText();
    ASSERT_FALSE(saved.empty());

    ifc2x3::ExpressDataSet reloaded;
    ASSERT_TRUE(reloaded.openFromText(saved));
    for (std::size_t slot = 0; slot < reloaded.slotCount(); ++slot) {
        ASSERT_NE(reloaded.getBySlot(slot), nullptr) << "#" << reloaded.slotKey(slot);
    }
    reloaded.get(42)->setArgument(0, Value::string("Renamed 2")); // written anew, as the first was
    EXPECT_EQ(reloaded.toText(), saved);
    EXPECT_EQ(reloaded.get(42)->argument(0).text(), "Renamed 2");
}

TEST(ArenaTest, InstancesAndCopiesOutliveTheirDataSet)
{
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    ASSERT_TRUE(dataSet->openFromText(ifctest::smallModel()));
    Step::RefPtr<Step::BaseEntity> wall = dataSet->get(20);
    Step::RefPtr<Step::BaseEntity> property = dataSet->get(43);
    ASSERT_TRUE(wall && property);
    const Value copied = property->argument(2);
    Step::RefPtr<Step::BaseEntity> created = dataSet->create(wall->getType().id());
    created->setArgument(2, Value::string("Made here"));

    // Reopening and destroying both drop the data set's hold on the arena.
    ASSERT_TRUE(dataSet->openFromText(ifctest::smallModel()));
    dataSet.reset();

    EXPECT_EQ(wall->getExpressDataSet(), nullptr);
    EXPECT_EQ(wall->argument(2).text(), "Wall A");
    EXPECT_EQ(property->argument(2).text(), "IFCIDENTIFIER");
    EXPECT_EQ(property->argument(2).inner().text(), "W-01");
    EXPECT_EQ(copied, property->argument(2));
    EXPECT_EQ(created->argument(2).text(), "Made here");
}

TEST(ArenaTest, CreatingAndDeletingOverAndOverDoesNotGrow)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    for (int i = 0; i < 1000; ++i) {
        dataSet.remove(dataSet.createEntity<ifc2x3::IfcWallStandardCase>()->getKey());
    }
    const std::size_t reserved = dataSet.arena().reservedBytes();
    for (int i = 0; i < 200000; ++i) {
        auto* wall = dataSet.createEntity<ifc2x3::IfcWallStandardCase>();
        wall->setArgument(2, Value::string("Temporary wall with a long enough name"));
        dataSet.remove(wall->getKey());
    }
    EXPECT_EQ(dataSet.arena().reservedBytes(), reserved);
}

} // namespace

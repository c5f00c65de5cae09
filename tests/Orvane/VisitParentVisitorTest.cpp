#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CV/VisitParentVisitor.h"

#include <tuple>

using namespace orvanetest;
using Orvane::Ifc2x3CV::VisitParentVisitor;

namespace {

/// Records every object it is called on, the start object first, and stops
/// at an object of the given key.
class RecordingVisitor : public VisitParentVisitor
{
public:
    explicit RecordingVisitor(Step::Id stopAt = 0) : m_stopAt(stopAt) {}

    bool visitIfcObjectDefinition(ifc2x3::IfcObjectDefinition* object) override
    {
        visited.push_back(object->getKey());
        if (object->getKey() == m_stopAt) {
            return true;
        }
        return VisitParentVisitor::visitIfcObjectDefinition(object);
    }

    std::vector<Step::Id> visited;

private:
    Step::Id m_stopAt;
};

// Project #1 > building #10 > storeys #11, #12; wall #20 in storey #11 with
// opening #30 filled by door #40; wall #22 is both part of assembly #50
// (the earlier relation in the file) and in storey #11; assembly #50 is in
// storey #12. #60 and #61 aggregate each other.
const std::string buildingModel = fixture("parents.ifc");

std::vector<Step::Id> walkFrom(const IFC2x3Model& model, Step::Id key, Step::Id stopAt = 0)
{
    RecordingVisitor visitor(stopAt);
    model.dataSet()->get(key)->acceptVisitor(&visitor);
    return visitor.visited;
}

} // namespace

// One generation at a time, parents in relation order: wall 22's assembly
// (relation #72) before its storey (#73), then their own parents.
TEST(VisitParentVisitor, WalksUpOneGenerationAtATimeAndEndsOnCyclesOrWhenAsked)
{
    using Keys = std::vector<Step::Id>;
    auto model = openText(buildingModel);
    ASSERT_TRUE(model);
    const std::tuple<Step::Id, Step::Id, Keys> cases[] = {
        {20, 0, {20, 11, 10, 1}},
        {12, 0, {12, 10, 1}},
        {1, 0, {1}},
        {40, 0, {40, 30, 20, 11, 10, 1}},
        {22, 0, {22, 50, 11, 12, 10, 1}},
        {40, 11, {40, 30, 20, 11}},
        {60, 0, {60, 61}},
    };
    for (const auto& [start, stopAt, expected] : cases) {
        EXPECT_EQ(walkFrom(*model, start, stopAt), expected) << start;
    }
    const auto parents = VisitParentVisitor::parentsOf(entityOf<ifc2x3::IfcObjectDefinition>(*model, 22));
    ASSERT_EQ(parents.size(), 2u);
    EXPECT_EQ(parents[0]->getKey(), 50u);
    EXPECT_EQ(parents[1]->getKey(), 11u);

    // A visitor can walk again once a walk has ended, stopped or not.
    RecordingVisitor visitor(20);
    model->dataSet()->get(40)->acceptVisitor(&visitor);
    visitor.visited.clear();
    model->dataSet()->get(12)->acceptVisitor(&visitor);
    EXPECT_EQ(visitor.visited, (Keys{12, 10, 1}));
}

// Parents nested 50 000 deep (proxies aggregated one in the next) are walked
// one generation after the other, without recursing as deep.
TEST(VisitParentVisitor, WalksChainsOfAnyDepth)
{
    constexpr int depth = 50000;
    std::string data = projectWithUnits("");
    for (int key = 100; key <= 100 + depth; ++key) {
        data += "#" + std::to_string(key) + "=IFCBUILDINGELEMENTPROXY('2p6Zk4Oyv7jRIX6m0z1Tqh',$,$,$,$,$,$,$,$);\n";
    }
    for (int key = 100; key < 100 + depth; ++key) {
        data += "#" + std::to_string(key + depth + 1) + "=IFCRELAGGREGATES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,#" +
                std::to_string(key + 1) + ",(#" + std::to_string(key) + "));\n";
    }
    auto model = openText(data);
    ASSERT_TRUE(model);
    const std::vector<Step::Id> visited = walkFrom(*model, 100);
    ASSERT_EQ(visited.size(), std::size_t(depth + 1));
    EXPECT_EQ(visited.back(), Step::Id(100 + depth));
}

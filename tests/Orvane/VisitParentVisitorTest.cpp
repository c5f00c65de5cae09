#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CV/VisitParentVisitor.h"

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
const std::string buildingModel =
    projectWithUnits("") +
    "#10=IFCBUILDING('3nyCmbL0T1Uf$9sO1U8RqX',$,'Building',$,$,$,$,$,.ELEMENT.,$,$,$);\n"
    "#11=IFCBUILDINGSTOREY('1aUjTkPfn5ZR7C$6ixlT8x',$,'Level 0',$,$,$,$,$,.ELEMENT.,0.);\n"
    "#12=IFCBUILDINGSTOREY('0v5Rh1XJ53Bh8s2n0TXy9f',$,'Level 1',$,$,$,$,$,.ELEMENT.,3.);\n"
    "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n"
    "#22=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Assembled wall',$,$,$,$,$);\n"
    "#30=IFCOPENINGELEMENT('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Opening',$,$,$,$,$);\n"
    "#40=IFCDOOR('3KnS8aD0b3ywAE8ioIyQvz',$,'Door',$,$,$,$,$,2.1,0.9);\n"
    "#50=IFCELEMENTASSEMBLY('1gGeGk1xb2mQ6XZ7x5MC_h',$,'Assembly',$,$,$,$,$,.NOTDEFINED.,.NOTDEFINED.);\n"
    "#60=IFCBUILDINGELEMENTPROXY('2p6Zk4Oyv7jRIX6m0z1Tqh',$,'Loop A',$,$,$,$,$,$);\n"
    "#61=IFCBUILDINGELEMENTPROXY('0Hs9dOlcnFNe6wH3RPsSxC',$,'Loop B',$,$,$,$,$,$);\n"
    "#70=IFCRELAGGREGATES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,#1,(#10));\n"
    "#71=IFCRELAGGREGATES('3Zq7Kx3W59JfQbI6h9Q5uQ',$,$,$,#10,(#11,#12));\n"
    "#72=IFCRELAGGREGATES('2hHkQ9dZT7yRkq0u2K9Yt8',$,$,$,#50,(#22));\n"
    "#73=IFCRELCONTAINEDINSPATIALSTRUCTURE('1Jq3q0r1j6vQeR6VxVd0Ad',$,$,$,(#20,#22),#11);\n"
    "#74=IFCRELCONTAINEDINSPATIALSTRUCTURE('0eA6m4fELI9QBIhP3wiLAp',$,$,$,(#50),#12);\n"
    "#75=IFCRELVOIDSELEMENT('0xj2Zx3C57Wv1WkT4Qd3J9',$,$,$,#20,#30);\n"
    "#76=IFCRELFILLSELEMENT('1bN4cT0bTC7hXJ3zZ1K4n9',$,$,$,#30,#40);\n"
    "#77=IFCRELAGGREGATES('0m5dYS1iP1aB6Y0ZtNPiHs',$,$,$,#60,(#61));\n"
    "#78=IFCRELAGGREGATES('1nRz0x2Zf3B8XJq3fY8YhC',$,$,$,#61,(#60));\n";

std::vector<Step::Id> walkFrom(const IFC2x3Model& model, Step::Id key, Step::Id stopAt = 0)
{
    RecordingVisitor visitor(stopAt);
    model.dataSet()->get(key)->acceptVisitor(&visitor);
    return visitor.visited;
}

} // namespace

TEST(VisitParentVisitor, WalksFromAnElementUpThroughStoreyAndBuilding)
{
    auto model = openText(buildingModel);
    ASSERT_TRUE(model);
    EXPECT_EQ(walkFrom(*model, 20), (std::vector<Step::Id>{20, 11, 10, 1}));
    EXPECT_EQ(walkFrom(*model, 12), (std::vector<Step::Id>{12, 10, 1}));
    EXPECT_EQ(walkFrom(*model, 1), (std::vector<Step::Id>{1}));
}

TEST(VisitParentVisitor, GoesFromADoorThroughItsOpeningAndWall)
{
    auto model = openText(buildingModel);
    ASSERT_TRUE(model);
    EXPECT_EQ(walkFrom(*model, 40), (std::vector<Step::Id>{40, 30, 20, 11, 10, 1}));
}

TEST(VisitParentVisitor, VisitsOneGenerationAtATimeParentsInRelationOrder)
{
    auto model = openText(buildingModel);
    ASSERT_TRUE(model);
    // Assembly (relation #72) before storey (relation #73); then their own
    // parents: storey 12 of the assembly, building 10 of storey 11.
    EXPECT_EQ(walkFrom(*model, 22), (std::vector<Step::Id>{22, 50, 11, 12, 10, 1}));
    const auto parents = VisitParentVisitor::parentsOf(entityOf<ifc2x3::IfcObjectDefinition>(*model, 22));
    ASSERT_EQ(parents.size(), 2u);
    EXPECT_EQ(parents[0]->getKey(), 50u);
    EXPECT_EQ(parents[1]->getKey(), 11u);
}

TEST(VisitParentVisitor, StopsWhenAVisitAsksAndEndsOnCycles)
{
    auto model = openText(buildingModel);
    ASSERT_TRUE(model);
    EXPECT_EQ(walkFrom(*model, 40, 11), (std::vector<Step::Id>{40, 30, 20, 11}));
    EXPECT_EQ(walkFrom(*model, 60), (std::vector<Step::Id>{60, 61}));

    // A visitor can walk again once a walk has ended, stopped or not.
    RecordingVisitor visitor(20);
    model->dataSet()->get(40)->acceptVisitor(&visitor);
    visitor.visited.clear();
    model->dataSet()->get(12)->acceptVisitor(&visitor);
    EXPECT_EQ(visitor.visited, (std::vector<Step::Id>{12, 10, 1}));
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

// A pass that fails or is stopped leaves the model as it found it; a pass
// in which no element had its inputs fails; totals that cannot be stored
// fail rather than go missing.

#include "HostModels.h"
#include "LogCapture.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculatorThread.h"
#include "ResultSets.h"

#include "ifc2x3/ExpressDataSet.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Settings = Orvane::MaterialQuantitiesSettings;

class AllOrNothing : public ::testing::Test
{
protected:
    /// Two walls of a concrete type in a building, and a door of a type
    /// without inputs.
    void SetUp() override
    {
        building = builder.building("Building");
        builder.typedWalls({"volume", mass(100), {{beton, number(90)}, {"Acier", number(10)}}, ""},
                           {{qVolume("GrossVolume", 2.0)}, {qVolume("GrossVolume", 3.0)}}, walls, building);
        door = builder.element("IFCDOOR", "Door", building);
        model = builder.open();
        ASSERT_TRUE(model);
    }
    bool compute(const Settings& with) { return Calculator(model.get(), with).computeQuantities(); }
    std::string text() const { return model->dataSet()->toText(); }

    ModelBuilder builder;
    int building = 0;
    int door = 0;
    std::vector<int> walls;
    std::unique_ptr<IFC2x3Model> model;
    LogCapture log{calculatorLog};
};

struct BrokenSettings
{
    const char* name;
    std::function<void(Settings&)> breakIt;
};

const BrokenSettings brokenSettings[] = {
    {"functional unit path", [](Settings& s) { s.functionalUnitPropertyPath = "Type/Properties/Nowhere/Type"; }},
    {"mass path", [](Settings& s) { s.massPerFunctionalUnitPropertyPath = "Type/Properties/Nowhere/Mass"; }},
    {"composition path", [](Settings& s) { s.materialCompositionPropertyPath = "Type/Properties/Nowhere"; }},
    {"quantity paths", [](Settings& s) { s.volumeQuantitiesPropPaths = QStringList{"Properties/Nowhere/Volume"}; }},
    {"result set name", [](Settings& s) { s.totalQuantitiesPropertySetName.clear(); }},
};

// Zero sets are written for elements whose inputs are missing; a pass that
// wrote nothing else reported success and, before that, deleted the
// results the model had.
TEST_F(AllOrNothing, AFailedRecomputeKeepsTheEarlierResultsByteForByte)
{
    ASSERT_TRUE(compute(Settings()));
    ASSERT_EQ(setValues(*model, walls[0], total), (QMap<QString, double>{{"Acier", 20.0}, {beton, 180.0}}));
    const std::string computed = text();
    for (const BrokenSettings& broken : brokenSettings) {
        SCOPED_TRACE(broken.name);
        Settings settings;
        broken.breakIt(settings);
        EXPECT_FALSE(compute(settings));
        EXPECT_EQ(text(), computed);
    }
}

TEST_F(AllOrNothing, AFailedFirstRunLeavesAnUnmodifiedModelUnmodified)
{
    const std::string read = text();
    Settings settings;
    settings.massPerFunctionalUnitPropertyPath = "Type/Properties/Nowhere/Mass";
    Calculator calculator(model.get(), settings);
    EXPECT_FALSE(calculator.computeQuantities());
    EXPECT_FALSE(model->dataSet()->isModified());
    EXPECT_EQ(text(), read);
    const Calculator::InputCounts counts = calculator.getInputCounts();
    EXPECT_EQ(counts.elements, 3);
    EXPECT_EQ(counts.functionalUnit, 2);
    EXPECT_EQ(counts.functionalUnitValue, 2);
    EXPECT_EQ(counts.materialComposition, 2);
    EXPECT_EQ(counts.massPerFunctionalUnit, 0);
}

TEST_F(AllOrNothing, ElementsWithZeroSetsCountAsWithoutQuantities)
{
    std::vector<int> more;
    ModelBuilder& b = builder;
    b.typedWalls({"volume", "", {{beton, number(100)}}, ""}, {{qVolume("GrossVolume", 1.0)}}, more, building);
    model = b.open();
    Calculator calculator(model.get(), Settings());
    ASSERT_TRUE(calculator.computeQuantities());
    // Kept as stored files have them, but no quantity: 0 kg is no result.
    EXPECT_EQ(setValues(*model, more[0], total), (QMap<QString, double>{{beton, 0.0}}));
    EXPECT_EQ(calculator.getMissingQuantitiesCount(), 2); // the door and that wall
}

// Stopped in each phase: removal of the old results, elements, types.
TEST_F(AllOrNothing, AStoppedRecomputeKeepsTheEarlierResults)
{
    ASSERT_TRUE(compute(Settings()));
    const std::string computed = text();
    const int steps = static_cast<int>(Calculator::progressSteps(model.get()));
    for (int stopAfter : {1, 2, steps - 2}) {
        SCOPED_TRACE(stopAfter);
        Orvane::MaterialQuantitiesCalculatorThread thread(model.get(), Settings(), nullptr);
        int items = 0;
        bool interrupted = false;
        QObject::connect(
            &thread, &Orvane::MaterialQuantitiesCalculatorThread::calculatedItem, &thread,
            [&] {
                if (++items == stopAfter) {
                    thread.requestInterruption();
                }
            },
            Qt::DirectConnection);
        QObject::connect(
            &thread, &Orvane::MaterialQuantitiesCalculatorThread::calculationInterrupted, &thread,
            [&] { interrupted = true; }, Qt::DirectConnection);
        thread.start();
        ASSERT_TRUE(thread.wait(60000));
        EXPECT_TRUE(interrupted);
        EXPECT_EQ(text(), computed);
    }
}

TEST_F(AllOrNothing, QuantitiesBeyondAProductOfInputsStillFit)
{
    std::vector<int> huge;
    builder.typedWalls({"volume", mass(1e200), {{"A", number(1e-100)}}, ""}, {{qVolume("GrossVolume", 1e200)}}, huge,
                       building);
    model = builder.open();
    ASSERT_TRUE(compute(Settings()));
    EXPECT_DOUBLE_EQ(setValues(*model, huge[0], total).value("A"), 1e300);
}

TEST_F(AllOrNothing, ATotalBeyondTheLargestNumberFailsNamingItsObject)
{
    std::vector<int> huge;
    builder.typedWalls({"volume", mass(1e300), {{"A", number(1)}}, ""},
                       {{qVolume("GrossVolume", 1e8)}, {qVolume("GrossVolume", 1e8)}}, huge, building);
    model = builder.open();
    const std::string read = text();
    EXPECT_FALSE(compute(Settings()));
    EXPECT_EQ(log.count(error("MaterialQuantitiesCalculator::computeQuantities: The total of material A on item : " +
                              std::to_string(building) + " is beyond the largest number and cannot be stored")),
              1);
    EXPECT_EQ(text(), read);
}

} // namespace
} // namespace mqtest

// The computation pass and what it writes: element, building, type and
// project sets, the reuse split, repeated runs and progress counts.

#include "HostModels.h"
#include "LogCapture.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "ResultSets.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Values = QMap<QString, double>;

std::string noReuse(int key)
{
    return warn("Element : " + std::to_string(key) + " has no reused property. False is use as default value.");
}

std::string cantAggregate(int key)
{
    return error("MaterialQuantitiesCalculator::computeQuantities: Can't aggregate unity functional for product: " +
                 std::to_string(key) + ". One of the component has invalid value");
}

class Pass : public ::testing::Test
{
protected:
    const TypeInputs concrete{"volume", mass(100), {{beton, number(90)}, {"Acier", number(10)}}, ""};

    void open()
    {
        model = builder.open();
        ASSERT_TRUE(model);
        calculator = std::make_unique<Calculator>(model.get(), settings);
    }
    /// Runs the pass, checking the number of progress signals when given.
    bool compute(int expectedItems = -1)
    {
        QSignalSpy items(calculator.get(), &Calculator::calculatedItem);
        const bool result = calculator->computeQuantities();
        if (expectedItems >= 0) {
            EXPECT_EQ(items.count(), expectedItems);
        }
        return result;
    }
    Values values(int key, const QString& set = total) const { return setValues(*model, key, set); }
    int row(int key) const { return indexOf(*model, key).row(); }

    ModelBuilder builder;
    Orvane::MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings();
    std::unique_ptr<IFC2x3Model> model;
    std::unique_ptr<Calculator> calculator;
    LogCapture log{calculatorLog};
};

TEST_F(Pass, WallsOfOneTypeAddUpOnElementsTypeBuildingAndProject)
{
    const int building = builder.building("Building");
    const int storey = builder.storey(building, "Ground floor");
    std::vector<int> walls;
    const int type =
        builder.typedWalls(concrete, {{qVolume("GrossVolume", 2.0)}, {qVolume("GrossVolume", 3.0)}}, walls, storey);
    open();
    // The old results, 2 elements, 1 building, 1 type, the project.
    ASSERT_TRUE(compute(6));

    EXPECT_EQ(values(walls[0]), (Values{{"Acier", 20.0}, {beton, 180.0}}));
    EXPECT_EQ(values(walls[1]), (Values{{"Acier", 30.0}, {beton, 270.0}}));
    EXPECT_EQ(values(building), (Values{{"Acier", 50.0}, {beton, 450.0}}));
    EXPECT_EQ(values(type), (Values{{"Instances", 2.0}, {"Quantity", 5.0}, {"TotalWeight", 500.0}}));
    EXPECT_EQ(values(builder.project()), (Values{{"Acier", 50.0}, {beton, 450.0}}));
    EXPECT_EQ(values(builder.project(), recovered), (Values{{"Acier", 50.0}, {beton, 450.0}}));
    EXPECT_EQ(setCount(*model, builder.project(), reused), 0);
    EXPECT_EQ(setCount(*model, storey, total), 0);

    const StoredValue instances = storedValue(*model, type, total, "Instances");
    const StoredValue quantity = storedValue(*model, type, total, "Quantity");
    const StoredValue weight = storedValue(*model, type, total, "TotalWeight");
    const StoredValue material = storedValue(*model, walls[0], total, beton);
    EXPECT_EQ(instances.valueType, "IFCINTEGER");
    EXPECT_EQ(instances.unitName, "");
    EXPECT_EQ(quantity.valueType, "IFCVOLUMEMEASURE");
    EXPECT_EQ(quantity.unitName, ""); // the project's cubic metre
    for (const StoredValue& massValue : {weight, material}) {
        EXPECT_EQ(massValue.valueType, "IFCMASSMEASURE");
        EXPECT_EQ(massValue.unitPrefix + " " + massValue.unitName, "KILO GRAM");
    }

    const QString grossVolume = "Properties/BaseQuantities/GrossVolume";
    EXPECT_EQ(calculator->getQuantitiesPropPathMap(),
              (QMap<int, QString>{{row(walls[0]), grossVolume}, {row(walls[1]), grossVolume}}));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{noReuse(walls[0]), noReuse(walls[1])}));
}

TEST_F(Pass, ElementsWithoutValueOrMassStillCountOnTheirType)
{
    std::vector<int> noValue, noMass, mixed, notFinite;
    const int noValueType = builder.typedWalls(concrete, {{}, {}}, noValue);
    const int noMassType =
        builder.typedWalls({"volume", "", {{"A", number(1)}}, ""}, {{qVolume("Volume", 2.0)}}, noMass);
    const int mixedType = builder.typedWalls(concrete, {{qVolume("Volume", 2.0)}, {}, {qVolume("Volume", 0.0)}}, mixed);
    // Values that are no finite numbers are taken as not found.
    const int overflowing = builder.typedWalls(concrete, {{"IFCQUANTITYVOLUME('Volume',$,$,1.E400)"}}, notFinite);
    const int nanMass =
        builder.typedWalls({"volume", label("nan"), {{"A", number(1)}}, ""}, {{qVolume("Volume", 2.0)}}, notFinite);
    open();
    ASSERT_TRUE(compute());
    EXPECT_EQ(values(noValue[0]), (Values{{"Acier", 0.0}, {beton, 0.0}}));
    EXPECT_EQ(values(notFinite[0]), (Values{{"Acier", 0.0}, {beton, 0.0}}));
    EXPECT_EQ(values(notFinite[1]), (Values{{"A", 0.0}}));
    EXPECT_EQ(values(noValueType), (Values{{"Instances", 2.0}, {"Quantity", 0.0}, {"TotalWeight", 0.0}}));
    EXPECT_EQ(values(overflowing), (Values{{"Instances", 1.0}, {"Quantity", 0.0}, {"TotalWeight", 0.0}}));
    // A missing mass gives no weight rather than a wrong one.
    EXPECT_EQ(values(noMassType), (Values{{"Instances", 1.0}, {"Quantity", 2.0}}));
    EXPECT_EQ(values(nanMass), (Values{{"Instances", 1.0}, {"Quantity", 2.0}}));
    EXPECT_EQ(values(mixedType), (Values{{"Instances", 3.0}, {"Quantity", 2.0}, {"TotalWeight", 200.0}}));
    for (int key : {noValue[0], noValue[1], mixed[1], mixed[2]}) { // zero is no value either
        EXPECT_EQ(log.count(cantAggregate(key)), 1) << key;
    }
    EXPECT_EQ(log.count(cantAggregate(mixed[0])), 0);
    EXPECT_EQ(log.count(cantAggregate(noMass[0])), 0);
    // Once per element whose quantities are missing or not finite.
    EXPECT_EQ(log.count(error("MaterialQuantitiesCalculator::getFunctionalUnitValue: quantities not found")), 4);
    EXPECT_FALSE(calculator->getQuantitiesPropPathMap().contains(row(notFinite[0])));
}

TEST_F(Pass, UnitAndUndefinedTypesGetInstancesOnlyAndUnusedTypesNothing)
{
    std::vector<int> units, undefined, unused;
    const int unitType =
        builder.typedWalls({"unite", mass(50), {{"A", number(1)}}, ""}, {{qVolume("Volume", 2.0)}, {}}, units);
    const int undefinedType = builder.typedWalls({"kg", mass(50), {{"A", number(1)}}, ""}, {{}}, undefined);
    const int unusedType = builder.typedWalls({"volume", mass(50), {}, ""}, {{qVolume("Volume", 2.0)}}, unused);
    const int bareType = builder.type("IFCTYPEOBJECT", "Bare", {}, {});
    open();
    // The old results, 4 elements, no building, 4 types, the project.
    ASSERT_TRUE(compute(10));
    EXPECT_EQ(values(units[0]), (Values{{"A", 50.0}}));
    EXPECT_EQ(values(units[1]), (Values{{"A", 50.0}}));
    EXPECT_EQ(values(unitType), (Values{{"Instances", 2.0}}));
    EXPECT_EQ(values(undefined[0]), (Values{{"A", 0.0}}));
    EXPECT_EQ(values(undefinedType), (Values{{"Instances", 1.0}}));
    EXPECT_EQ(setCount(*model, unusedType, total), 0);
    EXPECT_EQ(setCount(*model, bareType, total), 0);
    // The unused type's element had its value read before its empty
    // composition left it out.
    EXPECT_EQ(calculator->getQuantitiesPropPathMap(),
              (QMap<int, QString>{{row(units[0]), "UF_UNITE"},
                                  {row(units[1]), "UF_UNITE"},
                                  {row(unused[0]), "Properties/BaseQuantities/Volume"}}));
    EXPECT_EQ(log.count(warn("Quantities not found for item : " + std::to_string(unused[0]))), 1);
}

TEST_F(Pass, ReuseFlagSplitsTheProjectTotals)
{
    const std::vector<std::pair<std::string, bool>> flags = {
        {boolean('T'), false}, {boolean('F'), false}, {boolean('U'), true}, {"", true}, {label("oui"), true}};
    std::vector<int> walls;
    for (const auto& [flag, warned] : flags) {
        builder.typedWalls({"volume", mass(100), {{"A", number(1)}}, flag}, {{qVolume("Volume", 1.0)}}, walls);
    }
    open();
    ASSERT_TRUE(compute());
    EXPECT_EQ(values(builder.project()), (Values{{"A", 500.0}}));
    EXPECT_EQ(values(builder.project(), reused), (Values{{"A", 100.0}}));
    EXPECT_EQ(values(builder.project(), recovered), (Values{{"A", 400.0}}));
    std::vector<std::string> warnings;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (flags[i].second) {
            warnings.push_back(noReuse(walls[i]));
        }
    }
    EXPECT_EQ(log.lines(), warnings);
}

TEST_F(Pass, ElementsCountInTheFirstBuildingAmongTheirParents)
{
    const int first = builder.building("First");
    const int storey = builder.storey(first, "Ground floor");
    const int second = builder.building("Second");
    const int empty = builder.building("Empty");
    builder.storey(empty, "Nothing here");
    std::vector<int> elements;
    const TypeInputs inputs{"volume", mass(100), {{"A", number(1)}}, ""};
    builder.typedWalls(inputs, {{qVolume("Volume", 1.0)}}, elements, storey);
    const int opening = builder.element("IFCOPENINGELEMENT", "Opening");
    builder.voids(elements[0], opening);
    const int door = builder.element("IFCDOOR", "Door");
    builder.fills(opening, door);
    builder.baseQuantities(door, {qVolume("Volume", 2.0)});
    const int assembly = builder.element("IFCELEMENTASSEMBLY", "Frame", second);
    const int column = builder.element("IFCCOLUMN", "Column");
    builder.aggregate(assembly, {column});
    builder.baseQuantities(column, {qVolume("Volume", 4.0)});
    builder.typeWith("Door and column", inputs, {door, column});
    builder.typedWalls(inputs, {{qVolume("Volume", 8.0)}}, elements); // in no building
    // Two parents, in either order: the nearer building wins, else the
    // one met first.
    const int beam = builder.element("IFCBEAM", "Beam", storey);
    builder.aggregate(assembly, {beam});
    const int plate = builder.element("IFCPLATE", "Plate");
    builder.aggregate(assembly, {plate});
    builder.contain(first, {plate});
    builder.baseQuantities(beam, {qVolume("Volume", 16.0)});
    builder.baseQuantities(plate, {qVolume("Volume", 32.0)});
    builder.typeWith("Beam and plate", inputs, {beam, plate});
    open();
    // The old results, 6 elements, 2 buildings with quantities, 4 types, the project.
    ASSERT_TRUE(compute(14));
    EXPECT_EQ(values(first), (Values{{"A", 5100.0}}));
    EXPECT_EQ(values(second), (Values{{"A", 400.0}}));
    EXPECT_EQ(setCount(*model, empty, total), 0);
    EXPECT_EQ(setCount(*model, opening, total), 0);
    EXPECT_EQ(setCount(*model, assembly, total), 0);
    EXPECT_EQ(values(builder.project()), (Values{{"A", 6300.0}}));
}

TEST_F(Pass, ASecondRunHoldsOnlyItsOwnResults)
{
    std::vector<int> walls;
    const TypeInputs reusedConcrete{"volume", mass(100), concrete.shares, boolean('T')};
    const int first = builder.typedWalls(concrete, {{qVolume("Volume", 2.0)}}, walls);
    const int second = builder.typedWalls(reusedConcrete, {{qVolume("Volume", 1.0)}}, walls);
    open();
    ASSERT_TRUE(compute());
    EXPECT_EQ(values(builder.project(), reused), (Values{{"Acier", 10.0}, {beton, 90.0}}));

    // Steel leaves the first type; the second type loses its composition.
    addProperty(objectOf(*model, first), "Pourcentage_PMIB", "Acier", 0.0, ifc2x3::IfcValue::IfcReal);
    ASSERT_TRUE(Orvane::Ifc2x3CC::PropertySetUtils::removePropertySet(objectOf(*model, second), "Pourcentage_PMIB"));
    ASSERT_TRUE(compute());
    EXPECT_EQ(values(walls[0]), (Values{{beton, 180.0}}));
    EXPECT_EQ(setCount(*model, walls[0], total), 1);
    EXPECT_EQ(setCount(*model, walls[1], total), 0);
    EXPECT_EQ(values(first), (Values{{"Instances", 1.0}, {"Quantity", 2.0}, {"TotalWeight", 200.0}}));
    EXPECT_EQ(setCount(*model, second, total), 0);
    for (const QString& set : {total, recovered, reused}) {
        EXPECT_EQ(setCount(*model, builder.project(), set), set == reused ? 0 : 1) << set.toStdString();
    }
    EXPECT_EQ(values(builder.project()), (Values{{beton, 180.0}}));
    EXPECT_EQ(values(builder.project(), recovered), (Values{{beton, 180.0}}));
}

// An earlier run's set holding complex properties nested 50 000 deep (or
// in a cycle) is removed without recursing as deep as the nesting.
TEST_F(Pass, DeeplyNestedPropertiesOfAnOldResultSetAreRemoved)
{
    std::vector<int> walls;
    builder.typedWalls(concrete, {{qVolume("Volume", 2.0)}}, walls);
    const int leaf = builder.add("IFCPROPERTYSINGLEVALUE('Leaf',$,IFCLABEL('x'),$)");
    int outer = leaf;
    for (int level = 0; level < 50000; ++level) {
        outer = builder.add("IFCCOMPLEXPROPERTY('Level',$,'Level',(#" + std::to_string(outer) + "))");
    }
    // Keys follow one another: A lists B, added right after it.
    const int cycle = builder.add("IFCCOMPLEXPROPERTY('A',$,'A',(#" + std::to_string(outer + 2) + "))");
    builder.add("IFCCOMPLEXPROPERTY('B',$,'B',(#" + std::to_string(cycle) + "))");
    const int old = builder.add("IFCPROPERTYSET('" + builder.guid() + "',$,'TotalMaterialQuantities',$,(#" +
                                std::to_string(outer) + ",#" + std::to_string(cycle) + "))");
    builder.defineBy(old, {walls[0]});
    open();
    ASSERT_TRUE(compute());
    EXPECT_EQ(values(walls[0]), (Values{{"Acier", 20.0}, {beton, 180.0}}));
    for (int key : {old, outer, leaf}) {
        EXPECT_FALSE(model->dataSet()->contains(key)) << key;
    }
    // Listed by the set and by each other, the pair counts as shared: kept.
    EXPECT_TRUE(model->dataSet()->contains(cycle));
}

TEST_F(Pass, NothingFoundOrStorableFailsAfterEveryElementAndType)
{
    const int building = builder.building("Building");
    std::vector<int> walls;
    builder.typedWalls({"volume", mass(100), {}, ""}, {{qVolume("Volume", 2.0)}}, walls, building);
    // The product of finite inputs overflows: nothing can be stored.
    builder.typedWalls({"volume", mass(1e300), {{"A", number(1)}}, ""}, {{qVolume("Volume", 1e10)}}, walls, building);
    const int untyped = builder.element("IFCSLAB", "Slab", building);
    open();
    // The old results, 3 elements; then it stops: no building, type or project item.
    EXPECT_FALSE(compute(4));
    for (int key : {walls[0], walls[1], untyped}) {
        EXPECT_EQ(log.count(warn("Quantities not found for item : " + std::to_string(key))), 1) << key;
    }
    EXPECT_EQ(log.count(warn("Element has no type : " + std::to_string(untyped))), 1);
    EXPECT_EQ(
        log.count(error("MaterialQuantitiesCalculator::getQuantities: Quantity is not a finite number for item : " +
                        std::to_string(walls[1]) + ", material A")),
        1);
    EXPECT_EQ(setCount(*model, walls[1], total), 0);
    EXPECT_EQ(setCount(*model, building, total), 0);
    EXPECT_EQ(setCount(*model, builder.project(), total), 0);
    EXPECT_EQ(calculator->getMissingQuantitiesCount(), 3);
}

TEST_F(Pass, LengthsInMillimetresAreStoredInMetresAndMassesUnderGramsTakenAsKilograms)
{
    builder = ModelBuilder(ModelBuilder::Millimetres | ModelBuilder::Grams);
    std::vector<int> walls, beams;
    builder.typedWalls(concrete, {{qVolume("Volume", 2.0)}, {qVolume("Volume", 1.0)}}, walls);
    const int type = builder.typedWalls({"length", mass(100), {{"Acier", number(1)}}, boolean('F')},
                                        {{qLength("Length", 5000.0)}, {qLength("Length", 2500.0)}}, beams);
    open();
    // Said once per pass.
    const std::string note = warn("MaterialQuantitiesCalculator::getMassPerFunctionalUnit: The project's mass unit is "
                                  "g: mass per functional unit values are taken as kilograms");
    for (int pass = 0; pass < 2; ++pass) {
        log.clear();
        ASSERT_TRUE(compute());
        EXPECT_EQ(log.count(note), 1);
    }
    EXPECT_EQ(calculator->getMassUnitTakenAsKilograms(), "g");
    EXPECT_EQ(values(walls[0]), (Values{{"Acier", 20.0}, {beton, 180.0}}));
    EXPECT_EQ(values(beams[0]), (Values{{"Acier", 500.0}}));
    EXPECT_EQ(values(type), (Values{{"Instances", 2.0}, {"Quantity", 7.5}, {"TotalWeight", 750.0}}));
    // Written in metres with the unit said, so read back as 7.5 m.
    const StoredValue quantity = storedValue(*model, type, total, "Quantity");
    EXPECT_EQ(quantity.valueType, "IFCLENGTHMEASURE");
    EXPECT_EQ(quantity.unitPrefix + quantity.unitName, "METRE");
    EXPECT_DOUBLE_EQ(valueAt(*model, type, "Properties/TotalMaterialQuantities/Quantity").toDouble(), 7.5);
}

} // namespace
} // namespace mqtest

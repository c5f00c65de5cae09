// Per-element readers: functional unit, its value, mass per unit,
// composition, quantities and the list of building elements.

#include "HostModels.h"
#include "LogCapture.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "ResultSets.h"

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Shares = std::vector<std::pair<QString, std::string>>;

const std::string fuNotFound =
    "MaterialQuantitiesCalculator::getFunctionalUnitValue: Functional unit property not found";
const std::string quantitiesNotFound = "MaterialQuantitiesCalculator::getFunctionalUnitValue: quantities not found";
const std::string massNotFound =
    "MaterialQuantitiesCalculator::getMassPerFunctionalUnit: Mass per functional unit property not found";
const std::string compositionNotFound =
    "MaterialQuantitiesCalculator::getMaterialComposition: Material composition property not found";
const std::string quantitiesIncomplete = "MaterialQuantitiesCalculator::getQuantities: Composition map is good but "
                                         "functional unit and/or mass per functional unit not found";

class Readers : public ::testing::Test
{
protected:
    /// A wall typed to a new type with these inputs and base quantities.
    int wall(const TypeInputs& inputs, const std::vector<std::string>& quantities = {})
    {
        const int key = builder.element("IFCWALL", "Wall");
        builder.typeWith("Type", inputs, {key});
        if (!quantities.empty()) {
            builder.baseQuantities(key, quantities);
        }
        return key;
    }
    void open()
    {
        model = builder.open();
        ASSERT_TRUE(model);
        calculator = std::make_unique<Calculator>(model.get(), settings);
    }
    QModelIndex at(int key) const { return indexOf(*model, key); }

    ModelBuilder builder;
    Orvane::MaterialQuantitiesSettings settings = Orvane::MaterialQuantitiesSettings();
    std::unique_ptr<IFC2x3Model> model;
    std::unique_ptr<Calculator> calculator;
    LogCapture log{calculatorLog};
};

TEST_F(Readers, FunctionalUnitKeywordsAreFoundAnywhereInAnyCase)
{
    const std::vector<std::pair<std::string, Calculator::FunctionalUnit>> cases = {
        {label("volume"), Calculator::Volume},
        {label("area or volume"), Calculator::Volume}, // volume is tested first
        {label("AREA"), Calculator::Area},
        {label("SURFACE"), Calculator::Area},
        {label("Longueur"), Calculator::Length},
        {label("length (m)"), Calculator::Length},
        {label("unite de longueur"), Calculator::Length},
        {label("Par UNITE"), Calculator::Unit},
        // Accents count only where the text as written matched nothing.
        {label(QString::fromUtf8("Unité")), Calculator::Unit},
        {label(QString::fromUtf8("PAR UNITÉ")), Calculator::Unit},
        {label(QString::fromUtf8("unité de surface")), Calculator::Area},
        {label(QString::fromUtf8("Vólume, unite")), Calculator::Unit},
        {label(QString::fromUtf8("Vólume")), Calculator::Volume},
        {label("kg"), Calculator::Undefined},
        {label(""), Calculator::Undefined},
        {number(3.0), Calculator::Undefined},
        {boolean('T'), Calculator::Undefined},
    };
    std::vector<int> keys;
    for (const auto& [value, unit] : cases) {
        const int key = builder.element("IFCWALL", "Wall");
        builder.type("IFCWALLTYPE", "Type", {builder.propertySet("Unite_Fonctionnelle", {{"Type", value}})}, {key});
        keys.push_back(key);
    }
    open();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(calculator->getFunctionalUnit(at(keys[i])), cases[i].second) << cases[i].first;
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Readers, FirstPathOfTheUnitsListHoldingANumberGivesTheValue)
{
    const TypeInputs area{"surface", "", {}, ""};
    const int onlyGross = wall(area, {qArea("GrossArea", 12.5)});
    const int both = wall(area, {qArea("GrossArea", 7.0), qArea("Area", 3.0)});
    const int zero = wall(area, {qArea("Area", 0.0)});
    // A set that happens to be named BaseQuantities, whose Volume is text.
    const int textFirst = builder.element("IFCWALL", "Wall");
    builder.typeWith("Type", {"volume", "", {}, ""}, {textFirst});
    builder.defineBy(
        builder.propertySet("BaseQuantities", {{"Volume", label("n/a")}, {"GrossVolume", "IFCVOLUMEMEASURE(4.)"}}),
        {textFirst});
    open();

    EXPECT_DOUBLE_EQ(calculator->getFunctionalUnitValue(at(onlyGross)), 12.5);
    EXPECT_DOUBLE_EQ(calculator->getFunctionalUnitValue(at(both)), 3.0);
    EXPECT_DOUBLE_EQ(calculator->getFunctionalUnitValue(at(zero)), 0.0);
    EXPECT_DOUBLE_EQ(calculator->getFunctionalUnitValue(at(textFirst)), 4.0);
    const QMap<int, QString> paths = calculator->getQuantitiesPropPathMap();
    EXPECT_EQ(paths.value(at(onlyGross).row()), "Properties/BaseQuantities/GrossArea");
    EXPECT_EQ(paths.value(at(both).row()), "Properties/BaseQuantities/Area");
    EXPECT_EQ(paths.value(at(zero).row()), "Properties/BaseQuantities/Area");
    EXPECT_EQ(paths.value(at(textFirst).row()), "Properties/BaseQuantities/GrossVolume");
    EXPECT_EQ(paths.size(), 4);
    EXPECT_TRUE(log.lines().empty());

    // The user's order decides, and the path is recorded as the list holds
    // it; a path with an empty component finds nothing.
    settings.areaQuantitiesPropPaths =
        QStringList{"Properties/BaseQuantities/GrossArea/", "Properties/BaseQuantities/GrossArea",
                    "Properties/BaseQuantities/Area"};
    Calculator reordered(model.get(), settings);
    EXPECT_DOUBLE_EQ(reordered.getFunctionalUnitValue(at(both)), 7.0);
    EXPECT_EQ(reordered.getQuantitiesPropPathMap().value(at(both).row()), "Properties/BaseQuantities/GrossArea");
}

TEST_F(Readers, MassPerFunctionalUnitIsAFiniteNumberOrNotFoundAndNamed)
{
    // The STEP value, and the mass read or the text the record names.
    const std::vector<std::pair<std::string, std::string>> cases = {{mass(2400.0), "2400"},
                                                                    {number(12.5), "12.5"},
                                                                    {label("100,5"), "'100,5"},
                                                                    {label("abc"), "'abc"},
                                                                    {label("nan"), "'nan"},
                                                                    {label("inf"), "'inf"},
                                                                    {"IFCMASSMEASURE(1.E400)", "'inf"},
                                                                    {boolean('T'), "'True"},
                                                                    {"$", "'"}};
    std::vector<int> keys;
    for (const auto& value : cases) {
        keys.push_back(wall({"volume", value.first, {{"A", number(1)}}, ""}, {qVolume("GrossVolume", 2.0)}));
    }
    const int missing = wall({"volume", "", {}, ""});
    open();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        log.clear();
        const double read = calculator->getMassPerFunctionalUnit(at(keys[i]));
        if (cases[i].second.front() != '\'') {
            EXPECT_EQ(read, std::stod(cases[i].second)) << cases[i].first;
            EXPECT_TRUE(log.lines().empty()) << cases[i].first;
            continue;
        }
        EXPECT_EQ(read, -1.0) << cases[i].first;
        ASSERT_EQ(log.lines().size(), 1u) << cases[i].first;
        const std::string line = log.lines().front();
        EXPECT_EQ(line.rfind(error(massNotFound), 0), 0u) << line;
        EXPECT_NE(line.find(std::to_string(keys[i])), std::string::npos) << line;
        EXPECT_NE(line.find(cases[i].second), std::string::npos) << line;
        // The stored results are those of a missing mass.
        EXPECT_EQ(calculator->getQuantities(at(keys[i])), (QMap<QString, double>{{"A", 0.0}})) << cases[i].first;
    }
    log.clear();
    EXPECT_EQ(calculator->getMassPerFunctionalUnit(at(missing)), -1.0);
    EXPECT_EQ(log.lines(), std::vector<std::string>{error(massNotFound)});
    log.clear();
    settings.massPerFunctionalUnitPropertyPath.clear(); // not the element itself
    EXPECT_EQ(Calculator(model.get(), settings).getMassPerFunctionalUnit(at(keys[0])), -1.0);
    EXPECT_EQ(log.lines(), std::vector<std::string>{error(massNotFound)});
}

TEST_F(Readers, CompositionInPercentOrFractions)
{
    struct Case
    {
        const char* what;
        Shares shares;
        QMap<QString, double> expected;
        std::vector<std::string> log;
    };
    const std::string notADouble =
        warn("MaterialQuantitiesCalculator::getMaterialComposition: Child property is not a double");
    // The records name the element: "@" stands for its key.
    const std::string about = "WARN MaterialQuantitiesCalculator::getMaterialComposition: ";
    const auto dropped = [&](const std::string& share) {
        return about + "Share dropped for item : @, material " + share;
    };
    const auto sum = [&](const std::string& total) {
        return about + "Shares of item : @ add up to " + total + ", neither 1 nor 100";
    };
    const auto twice = [&](const std::string& name) {
        return about + "Material named twice for item : @, material " + name + "; its last share is kept";
    };
    const std::vector<Case> cases = {
        {"percent", {{"B", number(60)}, {"A", number(40)}}, {{"A", 0.4}, {"B", 0.6}}, {}},
        {"integers", {{"A", "IFCINTEGER(75)"}, {"B", "IFCINTEGER(25)"}}, {{"A", 0.75}, {"B", 0.25}}, {}},
        {"fractions", {{"A", number(0.7)}, {"B", number(0.3)}}, {{"A", 0.7}, {"B", 0.3}}, {}},
        {"one up to rounding",
         {{"A", number(0.34)}, {"B", number(0.56)}, {"C", number(0.1)}},
         {{"A", 0.34}, {"B", 0.56}, {"C", 0.1}},
         {}},
        {"zero and negative dropped",
         {{"A", number(100)}, {"B", number(0)}, {"C", number(-5)}},
         {{"A", 1.0}},
         {dropped("C (-5)")}},
        {"non-finite dropped",
         {{"A", number(1)}, {"B", "IFCREAL(1.E400)"}, {"C", label("nan")}},
         {{"A", 1.0}},
         {notADouble, dropped("B (inf)"), notADouble, dropped("C (nan)")}},
        {"neither 1 nor 100", {{"A", number(0.5)}, {"B", number(0.2)}}, {{"A", 0.5}, {"B", 0.2}}, {sum("0.7")}},
        {"within 1 % of 100", {{"A", number(50.5)}, {"B", number(50)}}, {{"A", 0.505}, {"B", 0.5}}, {}},
        {"beyond 1 % of 100", {{"A", number(60)}, {"B", number(50)}}, {{"A", 0.6}, {"B", 0.5}}, {sum("110")}},
        {"text skipped",
         {{"A", number(80)}, {"B", label("lots")}, {"C", number(20)}},
         {{"A", 0.8}, {"C", 0.2}},
         {notADouble}},
        {"later name wins",
         {{"A", number(0.2)}, {"B", number(0.5)}, {"A", number(0.5)}},
         {{"A", 0.5}, {"B", 0.5}},
         {twice("A")}},
        {"names as given",
         {{QString::fromUtf8("Béton"), number(0.9)}, {"acier", number(0.1)}},
         {{QString::fromUtf8("Béton"), 0.9}, {"acier", 0.1}},
         {}},
    };
    std::vector<int> keys;
    for (const Case& c : cases) {
        keys.push_back(wall({"volume", "", c.shares, ""}));
    }
    const int missing = wall({"volume", "", {}, ""});
    open();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        log.clear();
        const QMap<QString, double> composition = calculator->getMaterialComposition(at(keys[i]));
        EXPECT_EQ(composition.keys(), cases[i].expected.keys()) << cases[i].what;
        for (const QString& name : cases[i].expected.keys()) {
            EXPECT_NEAR(composition.value(name), cases[i].expected.value(name), 1e-12) << cases[i].what;
        }
        std::vector<std::string> expected = cases[i].log;
        for (std::string& line : expected) {
            if (const auto at = line.find('@'); at != std::string::npos) {
                line.replace(at, 1, std::to_string(keys[i]));
            }
        }
        EXPECT_EQ(log.lines(), expected) << cases[i].what;
    }
    log.clear();
    EXPECT_TRUE(calculator->getMaterialComposition(at(missing)).isEmpty());
    EXPECT_EQ(log.lines(), std::vector<std::string>{error(compositionNotFound)});
}

TEST_F(Readers, QuantitiesAreValueTimesMassTimesShare)
{
    const Shares concreteSteel = {{QString::fromUtf8("Béton"), number(0.9)}, {"Acier", number(0.1)}};
    const int complete = wall({"volume", mass(500), concreteSteel, ""}, {qVolume("GrossVolume", 2.0)});
    const int noMass = wall({"volume", "", concreteSteel, ""}, {qVolume("GrossVolume", 2.0)});
    const int noQuantity = wall({"volume", mass(500), concreteSteel, ""});
    const int nothing = wall({"volume", "", {}, ""}, {qVolume("GrossVolume", 2.0)});
    open();

    const QMap<QString, double> quantities = calculator->getQuantities(at(complete));
    EXPECT_EQ(quantities.keys(), (QStringList{"Acier", QString::fromUtf8("Béton")}));
    EXPECT_DOUBLE_EQ(quantities.value(QString::fromUtf8("Béton")), 900.0);
    EXPECT_DOUBLE_EQ(quantities.value("Acier"), 100.0);
    EXPECT_TRUE(log.lines().empty());

    const QMap<QString, double> zeros{{"Acier", 0.0}, {QString::fromUtf8("Béton"), 0.0}};
    EXPECT_EQ(calculator->getQuantities(at(noMass)), zeros);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{error(massNotFound), error(quantitiesIncomplete)}));
    log.clear();
    EXPECT_EQ(calculator->getQuantities(at(noQuantity)), zeros);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{error(quantitiesNotFound), error(quantitiesIncomplete)}));
    log.clear();
    EXPECT_TRUE(calculator->getQuantities(at(nothing)).isEmpty());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{error(compositionNotFound), error(massNotFound)}));
}

} // namespace
} // namespace mqtest

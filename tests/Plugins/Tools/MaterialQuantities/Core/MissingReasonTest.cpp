// Why an element has no material quantity: one element per reason, each
// named once, in the order the computation needs its inputs.

#include "HostModels.h"
#include "LogCapture.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "ResultSets.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mqtest {
using namespace testsupport;
namespace {

using Calculator = Orvane::MaterialQuantitiesCalculator;
using Reason = Calculator::MissingReason;

TEST(MissingReasons, EachElementGetsTheFirstInputItLacks)
{
    const std::string volume = qVolume("GrossVolume", 2.0);
    const struct
    {
        TypeInputs inputs; // without a type when the unit is null and nothing else is set
        std::vector<std::string> quantities;
        Reason::Kind expected;
        QString detail;
    } cases[] = {
        {{QString(), "", {}, ""}, {volume}, Reason::NoType, {}},
        {{QString(), mass(100), {{"A", number(1)}}, ""}, {volume}, Reason::NoFunctionalUnit, {}},
        {{"kg", mass(100), {{"A", number(1)}}, ""}, {volume}, Reason::UnrecognisedFunctionalUnit, "kg"},
        {{"volume", mass(100), {{"A", number(1)}}, ""}, {}, Reason::NoQuantity, {}},
        {{"volume", "", {{"A", number(1)}}, ""}, {volume}, Reason::NoMass, {}},
        {{"volume", label("heavy"), {{"A", number(1)}}, ""}, {volume}, Reason::MassNotANumber, "heavy"},
        {{"volume", mass(100), {}, ""}, {volume}, Reason::NoComposition, {}},
        {{"volume", mass(100), {{"A", number(0)}}, ""}, {volume}, Reason::NoPositiveShare, {}},
        {{"volume", mass(100), {{"A", number(1)}}, ""}, {volume}, Reason::None, {}},
    };
    ModelBuilder builder;
    std::vector<int> elements;
    for (const auto& c : cases) {
        if (c.expected == Reason::NoType) {
            elements.push_back(builder.element("IFCWALL", "Untyped"));
            builder.baseQuantities(elements.back(), c.quantities);
            continue;
        }
        std::vector<int> walls;
        builder.typedWalls(c.inputs, {c.quantities}, walls);
        elements.push_back(walls.front());
    }
    const auto model = builder.open();
    ASSERT_TRUE(model);
    LogCapture log{calculatorLog};
    Calculator calculator(model.get(), Orvane::MaterialQuantitiesSettings());
    ASSERT_TRUE(calculator.computeQuantities());

    // The rows the pass wrote need not be read again: the reasons are those
    // read from the model.
    const QHash<int, Reason> reasons = calculator.getMissingReasons(calculator.rowsHoldingQuantities());
    EXPECT_EQ(calculator.rowsHoldingQuantities(), (std::vector<int>{indexOf(*model, elements.back()).row()}));
    const auto sortedRows = [](QList<int> rows) {
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    EXPECT_EQ(sortedRows(reasons.keys()), sortedRows(calculator.getMissingReasons().keys()));
    EXPECT_EQ(reasons.size(), static_cast<int>(std::size(cases)) - 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const int row = indexOf(*model, elements[i]).row();
        EXPECT_EQ(reasons.value(row).kind, cases[i].expected);
        if (!cases[i].detail.isEmpty()) {
            EXPECT_TRUE(Calculator::reasonText(reasons.value(row)).contains(cases[i].detail));
        }
    }
    EXPECT_TRUE(Calculator::reasonText(reasons.value(indexOf(*model, elements[3]).row()))
                    .contains("Properties/BaseQuantities/"));
}

} // namespace
} // namespace mqtest

// The inputs of element types as the type inputs table reads them, and
// written back: what is written is read back by the computation as written.

#include "HostModels.h"
#include "LogCapture.h"
#include "Plugins/Tools/MaterialQuantities/Core/MaterialQuantitiesCalculator.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsReader.h"
#include "Plugins/Tools/MaterialQuantities/Core/TypeInputsWriter.h"
#include "ResultSets.h"

#include <gtest/gtest.h>

namespace mqtest {
using namespace testsupport;
namespace {

using Orvane::TypeInputsReader;
using Orvane::TypeInputsWriter;
using Calculator = Orvane::MaterialQuantitiesCalculator;

TEST(TypeInputsTable, OneRowPerTypeWithItsInputsAndInstances)
{
    ModelBuilder builder;
    std::vector<int> walls;
    const std::string volume = qVolume("GrossVolume", 2.0);
    const int complete =
        builder.typedWalls({"Volume", mass(100), {{"Concrete", number(60)}, {"Steel", number(40)}}, "IFCBOOLEAN(.T.)"},
                           {{volume}, {volume}}, walls);
    const int bare = builder.typedWalls({}, {{volume}}, walls);
    const int odd = builder.typedWalls({"kg", label("heavy"), {{"Wood", number(0)}}, ""}, {{volume}}, walls);
    builder.element("IFCWALL", "Untyped");
    const auto model = builder.open();
    ASSERT_TRUE(model);

    const Orvane::TypeInputsTable table = TypeInputsReader(model.get(), Orvane::MaterialQuantitiesSettings()).read();
    ASSERT_EQ(table.types.size(), 3);
    EXPECT_EQ(table.materials, (QStringList{"Concrete", "Steel", "Wood"}));
    const auto& first = table.types[0];
    EXPECT_EQ(first.row, indexOf(*model, complete).row());
    EXPECT_EQ(first.instances, 2);
    EXPECT_EQ(first.unit, Calculator::Volume);
    EXPECT_EQ(first.massPerFunctionalUnit, QVariant(100.0));
    EXPECT_EQ(first.reused, 1);
    EXPECT_EQ(first.shareOf("Steel"), QVariant(40.0));
    EXPECT_TRUE(first.sharesArePercentages());
    EXPECT_TRUE(first.isComplete());

    const auto& empty = table.types[1];
    EXPECT_EQ(empty.row, indexOf(*model, bare).row());
    EXPECT_EQ(empty.missing().size(), 3) << empty.status().toStdString();
    EXPECT_EQ(empty.reused, -1);

    const auto& wrong = table.types[2];
    EXPECT_EQ(wrong.row, indexOf(*model, odd).row());
    EXPECT_EQ(wrong.massPerFunctionalUnit, QVariant("heavy"));
    EXPECT_EQ(wrong.missing().size(), 3) << wrong.status().toStdString();
    EXPECT_TRUE(wrong.status().contains("\"kg\""));
}

// Each input written on a type without any, then computed: the computation
// reads what was written, and the type's row reads it back.
TEST(TypeInputsWriter, WrittenInputsAreWhatTheComputationReads)
{
    ModelBuilder builder;
    std::vector<int> walls;
    const int type = builder.typedWalls({}, {{qVolume("GrossVolume", 2.0)}}, walls);
    const auto model = builder.open();
    ASSERT_TRUE(model);
    const Orvane::MaterialQuantitiesSettings settings;
    const TypeInputsWriter writer(model.get(), settings);
    auto* typeObject = objectOf(*model, type);
    ASSERT_TRUE(writer.setFunctionalUnit(typeObject, QString::fromUtf8("Volume")));
    ASSERT_TRUE(writer.setMassPerFunctionalUnit(typeObject, 250.0));
    ASSERT_TRUE(writer.setReused(typeObject, true));
    ASSERT_TRUE(writer.setShare(typeObject, "Concrete", 0.75));
    ASSERT_TRUE(writer.setShare(typeObject, QString::fromUtf8("Acier é"), 0.25));
    ASSERT_TRUE(writer.setShare(typeObject, "Gone", 0.5));
    ASSERT_TRUE(writer.setShare(typeObject, "Gone", std::nullopt));

    const auto table = TypeInputsReader(model.get(), settings).read();
    ASSERT_EQ(table.types.size(), 1);
    EXPECT_TRUE(table.types[0].isComplete()) << table.types[0].status().toStdString();
    EXPECT_EQ(table.types[0].reused, 1);
    EXPECT_EQ(table.materials, (QStringList{"Concrete", QString::fromUtf8("Acier é")}));

    LogCapture log{calculatorLog};
    Calculator calculator(model.get(), settings);
    ASSERT_TRUE(calculator.computeQuantities());
    EXPECT_EQ(setValues(*model, walls.front(), settings.totalQuantitiesPropertySetName),
              (QMap<QString, double>{{"Concrete", 375.0}, {QString::fromUtf8("Acier é"), 125.0}}));
}

TEST(TypeInputsWriter, PathsOutsideATypesSetsAreNotWritten)
{
    const struct
    {
        QString path;
        bool writable;
    } cases[] = {
        {"Type/Properties/Set/Property", true}, {"Properties/Set/Property", false},
        {"Type/Properties/Set", false},         {"Type/Properties/Set/Property/Deeper", false},
        {"Type/Properties//Property", false},
    };
    ModelBuilder builder;
    std::vector<int> walls;
    const int type = builder.typedWalls({}, {{}}, walls);
    const auto model = builder.open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Orvane::MaterialQuantitiesSettings settings;
        settings.massPerFunctionalUnitPropertyPath = c.path;
        const TypeInputsWriter writer(model.get(), settings);
        EXPECT_EQ(writer.pathOf(TypeInputsWriter::MassPerFunctionalUnit).isWritable(), c.writable);
        EXPECT_EQ(writer.pathOf(TypeInputsWriter::MassPerFunctionalUnit).reason().isEmpty(), c.writable);
        EXPECT_EQ(writer.setMassPerFunctionalUnit(objectOf(*model, type), 1.0), c.writable);
    }
}

} // namespace
} // namespace mqtest

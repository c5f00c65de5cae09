#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CC/PropertySetUtils.h"

using namespace orvanetest;
using ifc2x3::IfcValue;
using Orvane::Ifc2x3CC::PropertySetUtils;

namespace {

std::string ref(int key)
{
    return "#" + std::to_string(key);
}

// Wall #20 with set #30 "Composition" of `count` reals "M0"... from #100.
std::string wallWithProperties(int count)
{
    std::string data = projectWithUnits("") + "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n";
    std::string list;
    for (int i = 0; i < count; ++i) {
        data += ref(100 + i) + "=IFCPROPERTYSINGLEVALUE('M" + std::to_string(i) + "',$,IFCREAL(" + std::to_string(i) +
                ".),$);\n";
        list += (i ? "," : "") + ref(100 + i);
    }
    return data + "#30=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Composition',$,(" + list +
           "));\n#31=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#20),#30);\n";
}

} // namespace

TEST(LargeSets, ManyPropertiesAreReadInOrderAndWrittenOncePerName)
{
    constexpr int count = 3000;
    auto model = openText(wallWithProperties(count));
    ASSERT_TRUE(model);
    const auto set = model->getProperty(indexOf(*model, 20), QStringLiteral("Properties/Composition"));
    ASSERT_TRUE(set);
    ASSERT_EQ(set->childCount(), count);
    for (int i = 0; i < count; i += 7) {
        const Step::RefPtr<Orvane::CoreProperty> child(set->getChildProperty(i));
        ASSERT_TRUE(child);
        EXPECT_EQ(child->name(), QStringLiteral("M%1").arg(i));
        EXPECT_EQ(child->value().toDouble(), i);
    }

    // Every name again, then new ones; a name given twice keeps its last value.
    std::vector<std::string> names;
    for (int i = 0; i < count + 10; ++i) {
        names.push_back("M" + std::to_string(i));
    }
    std::vector<PropertySetUtils::SingleValue> values;
    for (const std::string& name : names) {
        values.push_back({name, QVariant(-1.0), IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET});
    }
    values.push_back({names[5], QVariant(5.5), IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET});
    EXPECT_EQ(
        PropertySetUtils::addProperties(entityOf<ifc2x3::IfcObjectDefinition>(*model, 20), "Composition", values, true),
        count + 11);
    // The node read before the write sees what the set holds now.
    ASSERT_EQ(set->childCount(), count + 10);
    EXPECT_EQ(Step::RefPtr<Orvane::CoreProperty>(set->getChildProperty(5))->value().toDouble(), 5.5);
    EXPECT_EQ(Step::RefPtr<Orvane::CoreProperty>(set->getChildProperty(count + 9))->name(),
              QStringLiteral("M%1").arg(count + 9));
}

TEST(LargeSets, ASetSharedByThousandsLeavesThemAllAndStaysWhereStillUsed)
{
    constexpr int walls = 5000; // more than one batch of the removal
    std::string data = projectWithUnits("") +
                       "#30=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Old',$,(#32));\n"
                       "#32=IFCPROPERTYSINGLEVALUE('Steel',$,IFCMASSMEASURE(1.),$);\n"
                       "#24=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Kept',$,$,$,$,$);\n"
                       "#36=IFCRELDEFINESBYPROPERTIES('3Zq7Kx3W59JfQbI6h9Q5uQ',$,$,$,(#24),#30);\n";
    std::string list;
    std::vector<int> keys;
    for (int i = 0; i < walls; ++i) {
        keys.push_back(1000 + i);
        data += ref(keys.back()) + "=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n";
        list += (i ? "," : "") + ref(keys.back());
    }
    data += "#35=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(" + list + "),#30);\n";
    auto model = openText(data);
    ASSERT_TRUE(model);
    std::vector<ifc2x3::IfcObjectDefinition*> objects;
    for (int key : keys) {
        objects.push_back(entityOf<ifc2x3::IfcObjectDefinition>(*model, key));
    }
    EXPECT_EQ(PropertySetUtils::removePropertySets(objects, {"Old"}), objects);
    EXPECT_FALSE(model->dataSet()->get(35));
    EXPECT_EQ(entityAt(*model, 24, QStringLiteral("Properties/Old/Steel")), model->dataSet()->get(32));
    EXPECT_FALSE(entityAt(*model, keys.back(), QStringLiteral("Properties/Old")));

    ASSERT_TRUE(
        PropertySetUtils::removePropertySet(entityOf<ifc2x3::IfcObjectDefinition>(*model, 24), Step::String("Old")));
    EXPECT_FALSE(model->dataSet()->get(30));
    EXPECT_FALSE(model->dataSet()->get(32));
}

#include "DefaultLocale.h"
#include "OrvaneTestSupport.h"

#include "Orvane/BooleanVariant.h"

#include <tuple>

using namespace orvanetest;
using Orvane::BooleanVariant;

namespace {

// A wall in a millimetre project with its type, element quantities, two
// sets of one name and a complex property. Some records come in another
// order than their keys, so that file order is what decides.
const std::string wallModel = fixture("wall.ifc");

QStringList childNames(const Orvane::CoreProperty& property)
{
    QStringList names;
    for (int i = 0; i < property.childCount(); ++i) {
        const Step::RefPtr<Orvane::CoreProperty> child(property.getChildProperty(i));
        names.append(child ? child->name() : QStringLiteral("<null>"));
    }
    return names;
}

} // namespace

class PropertyPaths : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = openText(wallModel);
        ASSERT_TRUE(model);
    }
    void checkValuesNumbersUnitsAndDisplays();
    std::unique_ptr<IFC2x3Model> model;
};

// What each path gives: the raw value with its kind, the number in SI
// units (none for what is not a number) with the kind of unit, and the
// displayed text in the unit of the model, in the default locale.
TEST_F(PropertyPaths, ValuesNumbersUnitsAndDisplays)
{
    for (const bool decodedFirst : {false, true}) {
        SCOPED_TRACE(decodedFirst ? "every instance decoded first" : "sets read from their text");
        if (decodedFirst) {
            model = openText(wallModel); // decodes every record, checking each is readable
        } else {
            auto opened = std::make_unique<ifc2x3::ExpressDataSet>();
            ASSERT_TRUE(opened->openFromText(stepFile(wallModel)));
            model = std::make_unique<IFC2x3Model>(std::move(opened));
        }
        ASSERT_TRUE(model);
        checkValuesNumbersUnitsAndDisplays();
    }
}

void PropertyPaths::checkValuesNumbersUnitsAndDisplays()
{
    const DefaultLocale english(DefaultLocale::english());
    const struct
    {
        const char* path;
        QVariant value;
        QVariant number;
        const char* unitType;
        const char* display;
    } cases[] = {
        {"Fields/Name", "Wall", {}, "", "Wall"},
        {"Fields/Tag", "T1", {}, "", "T1"},
        {"Fields/GlobalId", "2O2Fr$t4X7Zf8NOew3FLOH", {}, "", "2O2Fr$t4X7Zf8NOew3FLOH"},
        {"Properties/BaseQuantities/Length", 4500.0, 4.5, "LENGTHUNIT", "4,500 mm"}, // the first of the name
        {"Properties/BaseQuantities/Width", 20.0, 0.2, "LENGTHUNIT", "20 cm"},       // its own unit wins
        {"Properties/BaseQuantities/NetSideArea", 12.5, 12.5, "AREAUNIT", "12.5 m\u00b2"},
        {"Properties/BaseQuantities/NetVolume", 2.25, 2.25, "VOLUMEUNIT", "2.25 m\u00b3"},
        {"Properties/Pset_Wall/Thickness", 200.0, 0.2, "LENGTHUNIT", "200 mm"},
        {"Properties/Pset_Wall/Count", 7, 7.0, "", "7"}, // the first attached set of the name
        {"Properties/Pset_Wall/Ratio", 0.25, 0.25, "", "0.25"},
        {"Properties/Pset_Wall/Label", QString::fromUtf8("B\u00e9ton"), {}, "", "B\u00e9ton"},
        {"Properties/Pset_Wall/Status", "NEW", {}, "", "NEW"},
        {"Properties/Pset_Wall/Layer/Material", "Brick", {}, "", "Brick"},
        {"Properties/Pset_Wall/Layer/Share", 0.6, 0.6, "", "0.6"},
        {"Properties/Pset_Wall/Layer", {}, {}, "", ""},
        {"Properties/Pset_Wall", {}, {}, "", ""},
        {"Type", "Wall type", {}, "", "Wall type"},
        {"Type/Fields/Name", "Wall type", {}, "", "Wall type"},
        {"Type/Properties/Unite_Fonctionnelle/Type", "volume", {}, "", "volume"}, // the type's list order
        {"Type/Properties/Unite_Fonctionnelle/Masse_par_UF", 2400.0, 2400.0, "MASSUNIT", "2,400.000 kg"},
    };
    const QModelIndex wall = indexOf(*model, 100);
    for (const auto& c : cases) {
        const auto property = model->getProperty(wall, c.path);
        ASSERT_TRUE(property) << c.path;
        EXPECT_EQ(property->value(), c.value) << c.path;
        EXPECT_EQ(property->value().userType(), c.value.userType()) << c.path;
        EXPECT_EQ(property->numericValue(), c.number) << c.path;
        EXPECT_EQ(property->unitType(), c.unitType) << c.path;
        if (c.value.isValid()) {
            EXPECT_EQ(property->displayValue().toString(), QString::fromUtf8(c.display)) << c.path;
        }
    }
    const std::pair<const char*, BooleanVariant::State> booleans[] = {
        {"Properties/Pset_Wall/IsExternal", BooleanVariant::True},
        {"Properties/Pset_Wall/Fire", BooleanVariant::False},
        {"Properties/Pset_Wall/LoadBearing", BooleanVariant::Unknown},
        {"Type/Properties/R\u00e9emploi/R\u00e9employ\u00e9", BooleanVariant::True}};
    for (const auto& [path, state] : booleans) {
        const QVariant value = valueAt(*model, 100, QString::fromUtf8(path));
        ASSERT_EQ(value.userType(), BooleanVariant::metaTypeId()) << path;
        EXPECT_EQ(value.value<BooleanVariant>().state(), state) << path;
        EXPECT_FALSE(numberAt(*model, 100, QString::fromUtf8(path)).isValid()) << path;
    }
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/LoadBearing"), "Unknown");
}

// Numbers as the French read them: decimal comma, grouped digits, masses
// always with three decimals.
TEST_F(PropertyPaths, DisplaysFollowTheDefaultLocale)
{
    const DefaultLocale french(DefaultLocale::french());
    const QString group(QLocale().groupSeparator()); // U+202F or U+00A0 by Qt's data
    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/Length"), "4" + group + "500 mm");
    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/NetSideArea"), "12,5 m\u00b2");
    EXPECT_EQ(displayAt(*model, 100, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF"), "2" + group + "400,000 kg");
    EXPECT_EQ(valueAt(*model, 101, "Properties/Unite_Fonctionnelle/Type"), QVariant("volume"));
}

TEST_F(PropertyPaths, PathsThatNameNothing)
{
    const QModelIndex wall = indexOf(*model, 100);
    // Names compare exactly; no fall-back from an occurrence to its type's
    // sets nor the reverse; types and untyped elements have no type; an
    // empty path or component names nothing, whichever form asks.
    for (const QString path : {"Fields/NoSuchAttribute", "Fields/name", "Fields/Name/More", "Nothing",
                               "Properties/basequantities/NetVolume", "Properties/BaseQuantities/NetVolume ",
                               "Properties/Pset_Wall/OnlyInSecond", "Properties/Pset_Wall/Layer/Nope",
                               "Properties/Unite_Fonctionnelle/Type", "Type/Properties/BaseQuantities/Length", "", "/",
                               "/Properties/BaseQuantities/NetVolume", "Properties//BaseQuantities/NetVolume",
                               "Properties/BaseQuantities/NetVolume/", "Type/Properties/Unite_Fonctionnelle/"}) {
        EXPECT_FALSE(model->getProperty(wall, path)) << path.toStdString();
        EXPECT_FALSE(model->getProperty(wall, Orvane::CoreProperty::getPropertyPath(path))) << path.toStdString();
    }
    EXPECT_FALSE(model->getProperty(wall, QStringList()));
    EXPECT_FALSE(model->getProperty(QModelIndex(), "Fields/Name"));
    EXPECT_FALSE(model->getProperty(indexOf(*model, 101), "Type"));
    EXPECT_FALSE(model->getProperty(indexOf(*model, 170), "Type/Fields/Name"));
    EXPECT_EQ(Orvane::CoreProperty::getPropertyPath("a//b"), QStringList({"a", "", "b"}));
}

TEST_F(PropertyPaths, NodesListTheirChildrenInOrder)
{
    const auto root = Orvane::_ifc2x3::IFC2x3Property::root(model.get(), model->dataSet()->get(100));
    ASSERT_TRUE(root);
    EXPECT_EQ(childNames(*root), QStringList({"Fields", "Properties", "Type"}));
    EXPECT_EQ(root->value(), QVariant("Wall"));
    EXPECT_EQ(childNames(*Orvane::_ifc2x3::IFC2x3Property::root(model.get(), model->dataSet()->get(101))),
              QStringList({"Fields", "Properties"}));
    const auto sets = model->getProperty(indexOf(*model, 100), "Properties");
    ASSERT_TRUE(sets);
    EXPECT_EQ(childNames(*sets), QStringList({"BaseQuantities", "Pset_Wall", "Pset_Wall"}));
    const Step::RefPtr<Orvane::CoreProperty> second(sets->getChildProperty(2));
    EXPECT_EQ(second->findChild("Count")->value(), QVariant(99));
    const auto layer = model->getProperty(indexOf(*model, 100), "Properties/Pset_Wall/Layer");
    EXPECT_EQ(childNames(*layer), QStringList({"Material", "Share"}));
    EXPECT_EQ(layer->findChild("Share")->path(), QStringList({"Properties", "Pset_Wall", "Layer", "Share"}));
    EXPECT_EQ(layer->getChildProperty(2), nullptr);
}

TEST(PropertyPathLookup, OnlyThePropertyOfTheNameIsDecoded)
{
    // The second "Depth" is unreadable: the one after it is found.
    auto opened = std::make_unique<ifc2x3::ExpressDataSet>();
    ASSERT_TRUE(opened->openFromText(stepFile(
        projectWithUnits("#3") + "#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"
                                 "#100=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n"
                                 "#120=IFCELEMENTQUANTITY('0Hs9dOlcnFNe6wH3RPsSxC',$,'BaseQuantities',$,$,"
                                 "(#121,#122,#123,#124,#125));\n"
                                 "#121=IFCQUANTITYLENGTH('Length',$,$,4.5);\n"
                                 "#122=IFCQUANTITYLENGTH('Depth',$,$,'not a number');\n"
                                 "#123=IFCQUANTITYLENGTH('Depth',$,$,3.);\n"
                                 "#124=IFCQUANTITYLENGTH('Width',$,$,0.2);\n"
                                 "#125=IFCQUANTITYLENGTH('D\\X2\\00E9\\X0\\pth',$,$,7.);\n"
                                 "#126=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#100),#120);\n")));
    const auto model = std::make_unique<IFC2x3Model>(std::move(opened)); // decodes no quantity
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/Depth").toDouble(), 3.0);
    EXPECT_FALSE(model->getProperty(indexOf(*model, 100), "Properties/BaseQuantities/Height"));
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, QString::fromUtf8("Properties/BaseQuantities/D\u00e9pth")).toDouble(), 7.0);
    // The set's quantities were read from its text, the set left there.
    EXPECT_TRUE(model->dataSet()->get(120)->argumentsUnread());
    // Listing a set's children decodes them all, as before.
    const auto quantities = model->getProperty(indexOf(*model, 100), "Properties/BaseQuantities");
    ASSERT_TRUE(quantities);
    EXPECT_EQ(quantities->childCount(), 4);
}

TEST(PropertyPathLookup, ManyRowsReadInTurnAndAgainGiveTheirOwnValues)
{
    // More rows than the relations kept at once: rows that share a place
    // there must still each answer with their own set.
    const int walls = 150;
    std::string data = projectWithUnits("#3") + "#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n";
    for (int i = 0; i < walls; ++i) {
        const int key = 1000 + 4 * i;
        data += "#" + std::to_string(key) + "=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n";
        data += "#" + std::to_string(key + 1) + "=IFCPROPERTYSINGLEVALUE('Number',$,IFCINTEGER(" + std::to_string(i) +
                "),$);\n";
        data += "#" + std::to_string(key + 2) + "=IFCPROPERTYSET('0Hs9dOlcnFNe6wH3RPsSxC',$,'Pset',$,(#" +
                std::to_string(key + 1) + "));\n";
        data += "#" + std::to_string(key + 3) + "=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#" +
                std::to_string(key) + "),#" + std::to_string(key + 2) + ");\n";
    }
    const auto model = openText(data);
    ASSERT_TRUE(model);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < walls; ++i) {
            EXPECT_EQ(valueAt(*model, 1000 + 4 * i, "Properties/Pset/Number"), QVariant(i)) << "wall " << i;
        }
    }
    // Read out of turn, rows a cache size apart.
    for (int i : {130, 2, 66, 2, 130}) {
        EXPECT_EQ(valueAt(*model, 1000 + 4 * i, "Properties/Pset/Number"), QVariant(i)) << "wall " << i;
    }
}

TEST(PropertyUnits, ConversionBasedUnitsOfTheProjectAndOfAQuantity)
{
    auto model = openText(fixture("conversion-units.ifc"));
    ASSERT_TRUE(model);
    // Feet and square feet for the project, inches for one quantity, no
    // volume unit declared (the SI default applies).
    const std::tuple<const char*, double, const char*> cases[] = {
        {"Properties/BaseQuantities/Length", 3.048, "10 FOOT"},
        {"Properties/BaseQuantities/Width", 0.254, "10 INCH"},
        {"Properties/BaseQuantities/GrossArea", 9.290304, "100 SQUARE FOOT"},
        {"Properties/BaseQuantities/GrossVolume", 3.5, "3.5 m\u00b3"},
        {"Properties/Dims/Depth", 0.6096, "2 FOOT"},
        {"Properties/Dims/Span", 0.005, "5 mm"}};
    for (const auto& [path, number, display] : cases) {
        EXPECT_DOUBLE_EQ(numberAt(*model, 20, path).toDouble(), number) << path;
        EXPECT_EQ(displayAt(*model, 20, path), QString::fromUtf8(display)) << path;
    }
}

TEST(PropertyUnits, AConversionLoopEndsUnconverted)
{
    auto model = openText(fixture("unit-loop.ifc"));
    ASSERT_TRUE(model);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/Length").toDouble(), 10.0);
}

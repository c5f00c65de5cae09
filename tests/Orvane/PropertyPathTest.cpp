#include "OrvaneTestSupport.h"

#include "Orvane/BooleanVariant.h"

using namespace orvanetest;
using Orvane::BooleanVariant;

namespace {

// A wall in a millimetre project with its type, element quantities, two
// sets of one name and a complex property. Some records come in another
// order than their keys, so that file order is what decides.
const std::string wallModel =
    projectWithUnits("#3,#4,#5,#6") +
    "#3=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
    "#4=IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.);\n"
    "#5=IFCSIUNIT(*,.VOLUMEUNIT.,$,.CUBIC_METRE.);\n"
    "#6=IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.);\n"
    "#7=IFCSIUNIT(*,.LENGTHUNIT.,.CENTI.,.METRE.);\n"
    "#100=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,'T1');\n"
    "#111=IFCPROPERTYSET('3KnS8aD0b3ywAE8ioIyQvz',$,'Unite_Fonctionnelle',$,(#114));\n"
    "#114=IFCPROPERTYSINGLEVALUE('Type',$,IFCLABEL('area'),$);\n"
    "#101=IFCWALLTYPE('0eA6m4fELI9QBIhP3wiLAp',$,'Wall type',$,$,(#110,#111,#115),$,$,$,.STANDARD.);\n"
    "#110=IFCPROPERTYSET('1gGeGk1xb2mQ6XZ7x5MC_h',$,'Unite_Fonctionnelle',$,(#112,#113));\n"
    "#112=IFCPROPERTYSINGLEVALUE('Type',$,IFCLABEL('volume'),$);\n"
    "#113=IFCPROPERTYSINGLEVALUE('Masse_par_UF',$,IFCMASSMEASURE(2400.),$);\n"
    "#115=IFCPROPERTYSET('2p6Zk4Oyv7jRIX6m0z1Tqh',$,'R\\X2\\00E9\\X0\\emploi',$,(#116));\n"
    "#116=IFCPROPERTYSINGLEVALUE('R\\X2\\00E9\\X0\\employ\\X2\\00E9\\X0\\',$,IFCBOOLEAN(.T.),$);\n"
    "#102=IFCRELDEFINESBYTYPE('1bN4cT0bTC7hXJ3zZ1K4n9',$,$,$,(#100),#101);\n"
    "#120=IFCELEMENTQUANTITY('0Hs9dOlcnFNe6wH3RPsSxC',$,'BaseQuantities',$,$,(#121,#122,#123,#124,#125));\n"
    "#121=IFCQUANTITYLENGTH('Length',$,$,4500.);\n"
    "#122=IFCQUANTITYAREA('NetSideArea',$,$,12.5);\n"
    "#123=IFCQUANTITYVOLUME('NetVolume',$,$,2.25);\n"
    "#124=IFCQUANTITYLENGTH('Width',$,#7,20.);\n"
    "#125=IFCQUANTITYLENGTH('Length',$,$,999.);\n"
    "#126=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#100),#120);\n"
    "#130=IFCPROPERTYSET('0m5dYS1iP1aB6Y0ZtNPiHs',$,'Pset_Wall',$,(#131,#132,#133,#134,#135,#136,#137,#138,#139));\n"
    "#131=IFCPROPERTYSINGLEVALUE('IsExternal',$,IFCBOOLEAN(.T.),$);\n"
    "#132=IFCPROPERTYSINGLEVALUE('LoadBearing',$,IFCLOGICAL(.U.),$);\n"
    "#133=IFCPROPERTYSINGLEVALUE('Count',$,IFCINTEGER(7),$);\n"
    "#134=IFCPROPERTYSINGLEVALUE('Label',$,IFCLABEL('B\\X2\\00E9\\X0\\ton'),$);\n"
    "#135=IFCPROPERTYSINGLEVALUE('Ratio',$,IFCREAL(0.25),$);\n"
    "#136=IFCPROPERTYSINGLEVALUE('Thickness',$,IFCPOSITIVELENGTHMEASURE(200.),$);\n"
    "#137=IFCPROPERTYSINGLEVALUE('Fire',$,IFCBOOLEAN(.F.),$);\n"
    "#138=IFCPROPERTYENUMERATEDVALUE('Status',$,(IFCLABEL('NEW')),$);\n"
    "#139=IFCCOMPLEXPROPERTY('Layer',$,'Layer',(#140,#141));\n"
    "#140=IFCPROPERTYSINGLEVALUE('Material',$,IFCLABEL('Brick'),$);\n"
    "#141=IFCPROPERTYSINGLEVALUE('Share',$,IFCREAL(0.6),$);\n"
    "#142=IFCRELDEFINESBYPROPERTIES('3Zq7Kx3W59JfQbI6h9Q5uQ',$,$,$,(#100),#130);\n"
    // A second set of the same name, attached later in the file through a
    // relation with a smaller key.
    "#150=IFCPROPERTYSET('2hHkQ9dZT7yRkq0u2K9Yt8',$,'Pset_Wall',$,(#151,#152));\n"
    "#151=IFCPROPERTYSINGLEVALUE('Count',$,IFCINTEGER(99),$);\n"
    "#152=IFCPROPERTYSINGLEVALUE('OnlyInSecond',$,IFCLABEL('x'),$);\n"
    "#99=IFCRELDEFINESBYPROPERTIES('1Jq3q0r1j6vQeR6VxVd0Ad',$,$,$,(#100),#150);\n"
    // A second typing relation later in the file: the first one counts.
    "#161=IFCWALLTYPE('0xj2Zx3C57Wv1WkT4Qd3J9',$,'Other type',$,$,$,$,$,$,.STANDARD.);\n"
    "#98=IFCRELDEFINESBYTYPE('3k0X5uBq9D9OQ6vXl1f3Ty',$,$,$,(#100),#161);\n"
    "#170=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Untyped',$,$,$,$,$);\n";

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
    std::unique_ptr<IFC2x3Model> model;
};

TEST_F(PropertyPaths, FieldsAreExplicitAttributesBySchemaName)
{
    EXPECT_EQ(valueAt(*model, 100, "Fields/Name"), QVariant("Wall"));
    EXPECT_EQ(valueAt(*model, 100, "Fields/Tag"), QVariant("T1"));
    EXPECT_EQ(valueAt(*model, 100, "Fields/GlobalId"), QVariant("2O2Fr$t4X7Zf8NOew3FLOH"));
    EXPECT_EQ(valueAt(*model, 101, "Fields/PredefinedType"), QVariant("STANDARD"));
    EXPECT_FALSE(valueAt(*model, 100, "Fields/Description").isValid());
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Fields/NoSuchAttribute"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Fields/name"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Fields/Name/More"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Nothing"));
    EXPECT_FALSE(model->getProperty(QModelIndex(), "Fields/Name"));

    const auto name = model->getProperty(indexOfKey(*model, 100), "Fields/Name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->name(), "Name");
    EXPECT_EQ(name->path(), QStringList({"Fields", "Name"}));
    EXPECT_EQ(name->childCount(), 0);
}

TEST_F(PropertyPaths, PropertySetsAndElementQuantitiesOfAnOccurrence)
{
    EXPECT_DOUBLE_EQ(valueAt(*model, 100, "Properties/BaseQuantities/NetVolume").toDouble(), 2.25);
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Label"), QVariant(QString::fromUtf8("Béton")));
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Status"), QVariant("NEW"));
    // Complex properties nest.
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Layer/Material"), QVariant("Brick"));
    EXPECT_DOUBLE_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Layer/Share").toDouble(), 0.6);
    // Sets and complex properties have children, not values.
    EXPECT_FALSE(valueAt(*model, 100, "Properties/Pset_Wall").isValid());
    EXPECT_FALSE(valueAt(*model, 100, "Properties/Pset_Wall/Layer").isValid());
    // Names compare exactly.
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Properties/basequantities/NetVolume"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Properties/BaseQuantities/NetVolume "));
    // An empty path or component resolves to nothing, whichever form asks.
    const QModelIndex wall = indexOfKey(*model, 100);
    for (const QString path : {"", "/", "/Properties/BaseQuantities/NetVolume", "Properties//BaseQuantities/NetVolume",
                               "Properties/BaseQuantities/NetVolume/", "Type/Properties/Unite_Fonctionnelle/"}) {
        EXPECT_FALSE(model->getProperty(wall, path)) << path.toStdString();
        EXPECT_FALSE(model->getProperty(wall, Orvane::CoreProperty::getPropertyPath(path))) << path.toStdString();
    }
    EXPECT_FALSE(model->getProperty(wall, QStringList()));
    EXPECT_FALSE(model->getProperty(wall, QStringList({"Properties", "", "NetVolume"})));
    EXPECT_EQ(Orvane::CoreProperty::getPropertyPath("a//b"), QStringList({"a", "", "b"}));

    const auto layer = model->getProperty(indexOfKey(*model, 100), "Properties/Pset_Wall/Layer");
    ASSERT_TRUE(layer);
    EXPECT_EQ(childNames(*layer), QStringList({"Material", "Share"}));
    EXPECT_EQ(layer->findChild("Share")->path(), QStringList({"Properties", "Pset_Wall", "Layer", "Share"}));
    EXPECT_FALSE(layer->findChild("Nope"));
    EXPECT_FALSE(layer->findChild(""));
    EXPECT_EQ(layer->getChildProperty(2), nullptr);
    EXPECT_EQ(layer->getChildProperty(-1), nullptr);
}

TEST_F(PropertyPaths, TheFirstAttachedSetAndTheFirstPropertyOfANameWin)
{
    // Relations count in file order, not key order; the later set of the
    // same name is never looked into.
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Count"), QVariant(7));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Properties/Pset_Wall/OnlyInSecond"));
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/Length").toDouble(), 4.5);
    // A type's sets count in list order, whatever the file order.
    EXPECT_EQ(valueAt(*model, 100, "Type/Properties/Unite_Fonctionnelle/Type"), QVariant("volume"));

    const auto sets = model->getProperty(indexOfKey(*model, 100), "Properties");
    ASSERT_TRUE(sets);
    EXPECT_EQ(childNames(*sets), QStringList({"BaseQuantities", "Pset_Wall", "Pset_Wall"}));
    const Step::RefPtr<Orvane::CoreProperty> second(sets->getChildProperty(2));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->findChild("Count")->value(), QVariant(99));
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
    ifc2x3::ExpressDataSet& dataSet = *model->dataSet();
    auto decoded = [&](Step::Id key) { return dataSet.slotState(dataSet.slotOfKey(key)) != Step::SlotState::Unloaded; };
    Step::Value name;
    ASSERT_TRUE(dataSet.peekArgument(124, 0, name));
    EXPECT_EQ(name.text(), "Width");
    EXPECT_FALSE(dataSet.peekArgument(124, 5, name)) << "beyond the attributes";
    EXPECT_FALSE(dataSet.peekArgument(999, 0, name)) << "no such instance";
    EXPECT_FALSE(decoded(124)) << "peeking decodes nothing";

    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/Depth").toDouble(), 3.0);
    EXPECT_FALSE(decoded(121));
    EXPECT_FALSE(decoded(124));
    EXPECT_FALSE(decoded(125));
    EXPECT_TRUE(decoded(123));
    EXPECT_FALSE(dataSet.peekArgument(123, 0, name)) << "decoded already";
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Properties/BaseQuantities/Height"));
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, QString::fromUtf8("Properties/BaseQuantities/D\u00e9pth")).toDouble(), 7.0);
    // Listing a set's children decodes them all, as before.
    const auto quantities = model->getProperty(indexOfKey(*model, 100), "Properties/BaseQuantities");
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

TEST_F(PropertyPaths, TypePathsFollowTheFirstTypingRelation)
{
    EXPECT_EQ(valueAt(*model, 100, "Type/Fields/Name"), QVariant("Wall type"));
    EXPECT_DOUBLE_EQ(valueAt(*model, 100, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF").toDouble(), 2400.0);
    EXPECT_EQ(valueAt(*model, 100, "Type/Properties/Réemploi/Réemployé").value<BooleanVariant>(),
              BooleanVariant(BooleanVariant::True));
    // No fall-back from the occurrence to its type's sets, nor the reverse.
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Properties/Unite_Fonctionnelle/Type"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 100), "Type/Properties/BaseQuantities/Length"));
    // Types and untyped elements have no type.
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 101), "Type"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 170), "Type/Fields/Name"));
    EXPECT_EQ(valueAt(*model, 101, "Properties/Unite_Fonctionnelle/Type"), QVariant("volume"));

    // The root node of an object is asked for as such: an empty path names
    // nothing.
    const auto rootOf = [&](Step::Id key) {
        return Orvane::_ifc2x3::IFC2x3Property::root(model.get(), model->ifcObjectDefinition(indexOfKey(*model, key)));
    };
    const auto root = rootOf(100);
    ASSERT_TRUE(root);
    EXPECT_EQ(childNames(*root), QStringList({"Fields", "Properties", "Type"}));
    EXPECT_EQ(root->value(), QVariant("Wall"));
    const auto typeRoot = rootOf(101);
    EXPECT_EQ(childNames(*typeRoot), QStringList({"Fields", "Properties"}));
    const auto type = model->getProperty(indexOfKey(*model, 100), "Type");
    EXPECT_EQ(type->value(), QVariant("Wall type"));
    EXPECT_EQ(type->name(), "Type");
}

TEST_F(PropertyPaths, ValuesKeepTheirKind)
{
    const QVariant external = valueAt(*model, 100, "Properties/Pset_Wall/IsExternal");
    ASSERT_EQ(external.userType(), BooleanVariant::metaTypeId());
    EXPECT_TRUE(BooleanVariant(BooleanVariant::True) == external);
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Fire").value<BooleanVariant>().state(), BooleanVariant::False);
    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/LoadBearing").value<BooleanVariant>().state(),
              BooleanVariant::Unknown);
    EXPECT_FALSE(numberAt(*model, 100, "Properties/Pset_Wall/IsExternal").isValid());

    const QVariant count = valueAt(*model, 100, "Properties/Pset_Wall/Count");
    EXPECT_EQ(count.type(), QVariant::Int);
    EXPECT_EQ(numberAt(*model, 100, "Properties/Pset_Wall/Count"), QVariant(7.0));

    const QVariant ratio = valueAt(*model, 100, "Properties/Pset_Wall/Ratio");
    EXPECT_EQ(ratio.type(), QVariant::Double);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/Pset_Wall/Ratio").toDouble(), 0.25);

    EXPECT_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Label").type(), QVariant::String);
    EXPECT_FALSE(numberAt(*model, 100, "Properties/Pset_Wall/Label").isValid());

    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/IsExternal"), "True");
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/Fire"), "False");
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/LoadBearing"), "Unknown");
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/Count"), "7");
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/Ratio"), "0.25");
}

TEST_F(PropertyPaths, NumbersAreNormalisedToSIUnits)
{
    // Raw values stay as written; numeric values are in metres.
    EXPECT_DOUBLE_EQ(valueAt(*model, 100, "Properties/BaseQuantities/Length").toDouble(), 4500.0);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/Length").toDouble(), 4.5);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/NetSideArea").toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/NetVolume").toDouble(), 2.25);
    // A quantity's own unit wins over the project's.
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/BaseQuantities/Width").toDouble(), 0.2);
    // Single values of length measures are normalised like quantities.
    EXPECT_DOUBLE_EQ(valueAt(*model, 100, "Properties/Pset_Wall/Thickness").toDouble(), 200.0);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Properties/Pset_Wall/Thickness").toDouble(), 0.2);
    EXPECT_DOUBLE_EQ(numberAt(*model, 100, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF").toDouble(), 2400.0);

    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/Length"), "4500 mm");
    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/Width"), "20 cm");
    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/NetSideArea"), QString::fromUtf8("12.5 m²"));
    EXPECT_EQ(displayAt(*model, 100, "Properties/BaseQuantities/NetVolume"), QString::fromUtf8("2.25 m³"));
    EXPECT_EQ(displayAt(*model, 100, "Properties/Pset_Wall/Thickness"), "200 mm");
    EXPECT_EQ(displayAt(*model, 100, "Type/Properties/Unite_Fonctionnelle/Masse_par_UF"), "2400 kg");

    // Measures tell their kind; other values, sets and attributes none.
    const QModelIndex wall = indexOfKey(*model, 100);
    const std::vector<std::pair<const char*, const char*>> kinds = {
        {"Type/Properties/Unite_Fonctionnelle/Masse_par_UF", "MASSUNIT"},
        {"Properties/BaseQuantities/Length", "LENGTHUNIT"},
        {"Properties/BaseQuantities/NetVolume", "VOLUMEUNIT"},
        {"Properties/Pset_Wall/Thickness", "LENGTHUNIT"},
        {"Properties/Pset_Wall/Ratio", ""},
        {"Properties/Pset_Wall", ""},
        {"Fields/Name", ""}};
    for (const auto& [path, unitType] : kinds) {
        EXPECT_EQ(model->getProperty(wall, path)->unitType(), unitType) << path;
    }
}

TEST(PropertyUnits, ConversionBasedUnitsOfTheProjectAndOfAQuantity)
{
    auto model = openText(projectWithUnits("#6,#9") +
                          "#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"
                          "#4=IFCDIMENSIONALEXPONENTS(1,0,0,0,0,0,0);\n"
                          "#5=IFCMEASUREWITHUNIT(IFCLENGTHMEASURE(0.3048),#3);\n"
                          "#6=IFCCONVERSIONBASEDUNIT(#4,.LENGTHUNIT.,'FOOT',#5);\n"
                          "#7=IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.);\n"
                          "#8=IFCMEASUREWITHUNIT(IFCAREAMEASURE(0.09290304),#7);\n"
                          "#9=IFCCONVERSIONBASEDUNIT(#10,.AREAUNIT.,'SQUARE FOOT',#8);\n"
                          "#10=IFCDIMENSIONALEXPONENTS(2,0,0,0,0,0,0);\n"
                          "#11=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
                          "#12=IFCMEASUREWITHUNIT(IFCRATIOMEASURE(25.4),#11);\n"
                          "#13=IFCCONVERSIONBASEDUNIT(#4,.LENGTHUNIT.,'INCH',#12);\n"
                          "#20=IFCSLAB('1nRz0x2Zf3B8XJq3fY8YhC',$,'Slab',$,$,$,$,$,.FLOOR.);\n"
                          "#21=IFCELEMENTQUANTITY('2mQ6wX0nT1Lh7wB4lq2eYd',$,'BaseQuantities',$,$,(#22,#23,#24,#25));\n"
                          "#22=IFCQUANTITYLENGTH('Length',$,$,10.);\n"
                          "#23=IFCQUANTITYLENGTH('Width',$,#13,10.);\n"
                          "#24=IFCQUANTITYAREA('GrossArea',$,$,100.);\n"
                          // Volumes are not declared: the SI default applies.
                          "#25=IFCQUANTITYVOLUME('GrossVolume',$,$,3.5);\n"
                          "#26=IFCRELDEFINESBYPROPERTIES('0bq4M4JdL2Lhq0dM0F2QyU',$,$,$,(#20),#21);\n"
                          "#27=IFCPROPERTYSET('3v7k3Yy3P5Z8BdqN2jV2eP',$,'Dims',$,(#28,#29));\n"
                          "#28=IFCPROPERTYSINGLEVALUE('Depth',$,IFCLENGTHMEASURE(2.),$);\n"
                          "#29=IFCPROPERTYSINGLEVALUE('Span',$,IFCLENGTHMEASURE(5.),#11);\n"
                          "#30=IFCRELDEFINESBYPROPERTIES('2dN1tQWJX8pB1Z7m6ahh5m',$,$,$,(#20),#27);\n");
    ASSERT_TRUE(model);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/Length").toDouble(), 3.048);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/Width").toDouble(), 0.254);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/GrossArea").toDouble(), 9.290304);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/GrossVolume").toDouble(), 3.5);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/Dims/Depth").toDouble(), 0.6096);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/Dims/Span").toDouble(), 0.005);
    EXPECT_EQ(displayAt(*model, 20, "Properties/BaseQuantities/Length"), "10 FOOT");
    EXPECT_EQ(displayAt(*model, 20, "Properties/BaseQuantities/Width"), "10 INCH");
    EXPECT_EQ(displayAt(*model, 20, "Properties/BaseQuantities/GrossVolume"), QString::fromUtf8("3.5 m³"));
}

TEST(PropertyUnits, AConversionLoopEndsUnconverted)
{
    auto model = openText(projectWithUnits("#6") +
                          "#4=IFCDIMENSIONALEXPONENTS(1,0,0,0,0,0,0);\n"
                          "#5=IFCMEASUREWITHUNIT(IFCLENGTHMEASURE(2.),#6);\n"
                          "#6=IFCCONVERSIONBASEDUNIT(#4,.LENGTHUNIT.,'LOOP',#5);\n"
                          "#20=IFCSLAB('1nRz0x2Zf3B8XJq3fY8YhC',$,'Slab',$,$,$,$,$,.FLOOR.);\n"
                          "#21=IFCELEMENTQUANTITY('2mQ6wX0nT1Lh7wB4lq2eYd',$,'BaseQuantities',$,$,(#22));\n"
                          "#22=IFCQUANTITYLENGTH('Length',$,$,10.);\n"
                          "#26=IFCRELDEFINESBYPROPERTIES('0bq4M4JdL2Lhq0dM0F2QyU',$,$,$,(#20),#21);\n");
    ASSERT_TRUE(model);
    EXPECT_DOUBLE_EQ(numberAt(*model, 20, "Properties/BaseQuantities/Length").toDouble(), 10.0);
}

TEST(PropertyPathsOnSamples, InstituteSampleWallsReachTheirTypeAndBaseQuantities)
{
    const QString path = samplePath("AC11-Institute-Var-2-IFC.ifc");
    if (path.isEmpty()) {
        GTEST_SKIP() << "sample models not available";
    }
    auto model = IFC2x3Model::open(path);
    ASSERT_TRUE(model);
    int typed = 0;
    int withQuantities = 0;
    for (const auto& element : model->dataSet()->getAllIfcElement()) {
        if (!element->isOfType(ifc2x3::IfcWall::getClassType())) {
            continue;
        }
        const QModelIndex index = model->index(element.get());
        if (const auto type = model->getProperty(index, "Type/Fields/Name")) {
            ++typed;
            EXPECT_FALSE(type->value().toString().isEmpty());
        }
        if (const auto length = model->getProperty(index, "Properties/BaseQuantities/Length")) {
            ++withQuantities;
            EXPECT_GT(length->numericValue().toDouble(), 0.0);
            EXPECT_LT(length->numericValue().toDouble(), 200.0) << "lengths are in metres";
        }
    }
    EXPECT_GT(typed, 0);
    EXPECT_GT(withQuantities, 0);
}

#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CC/GlobalId.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"

#include <QTemporaryDir>

#include <cmath>
#include <regex>
#include <set>

using namespace orvanetest;
using ifc2x3::IfcValue;
using Orvane::Ifc2x3CC::PropertySetUtils;

namespace {

// Walls #20 and #21 share set #30 through one relation; wall #22 uses it
// through a relation of its own; types #40 and #41 both list set #50.
// Lengths are in millimetres, masses in grams.
const std::string sharedModel =
    projectWithUnits("#3,#4") +
    "#3=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
    "#4=IFCSIUNIT(*,.MASSUNIT.,$,.GRAM.);\n"
    "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall 20',$,$,$,$,$);\n"
    "#21=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Wall 21',$,$,$,$,$);\n"
    "#22=IFCWALL('1aUjTkPfn5ZR7C$6ixlT8x',$,'Wall 22',$,$,$,$,$);\n"
    "#23=IFCWALL('3nyCmbL0T1Uf$9sO1U8RqX',$,'Wall 23',$,$,$,$,$);\n"
    "#30=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Shared',$,(#31,#32));\n"
    "#31=IFCPROPERTYSINGLEVALUE('Colour',$,IFCLABEL('red'),$);\n"
    "#32=IFCCOMPLEXPROPERTY('Layer',$,'Layer',(#33));\n"
    "#33=IFCPROPERTYSINGLEVALUE('Material',$,IFCLABEL('Brick'),$);\n"
    "#34=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#20,#21),#30);\n"
    "#35=IFCRELDEFINESBYPROPERTIES('3Zq7Kx3W59JfQbI6h9Q5uQ',$,$,$,(#22),#30);\n"
    "#36=IFCPROPERTYSET('2hHkQ9dZT7yRkq0u2K9Yt8',$,'Shared',$,(#37));\n"
    "#37=IFCPROPERTYSINGLEVALUE('Colour',$,IFCLABEL('blue'),$);\n"
    "#38=IFCRELDEFINESBYPROPERTIES('1Jq3q0r1j6vQeR6VxVd0Ad',$,$,$,(#22),#36);\n"
    "#40=IFCWALLTYPE('0eA6m4fELI9QBIhP3wiLAp',$,'Type 40',$,$,(#50,#52),$,$,$,.STANDARD.);\n"
    "#41=IFCWALLTYPE('0xj2Zx3C57Wv1WkT4Qd3J9',$,'Type 41',$,$,(#50),$,$,$,.STANDARD.);\n"
    "#50=IFCPROPERTYSET('3KnS8aD0b3ywAE8ioIyQvz',$,'TypeSet',$,(#51));\n"
    "#51=IFCPROPERTYSINGLEVALUE('Grade',$,IFCLABEL('A'),$);\n"
    "#52=IFCPROPERTYSET('1gGeGk1xb2mQ6XZ7x5MC_h',$,'TypeSet',$,(#53));\n"
    "#53=IFCPROPERTYSINGLEVALUE('Grade',$,IFCLABEL('Z'),$);\n";

ifc2x3::IfcObjectDefinition* object(const IFC2x3Model& model, Step::Id key)
{
    return entityOf<ifc2x3::IfcObjectDefinition>(model, key);
}

bool add(const IFC2x3Model& model, Step::Id key, const char* set, const char* name, const QVariant& value,
         IfcValue::IfcValue_select type = IfcValue::IfcLabel, ifc2x3::IfcSIPrefix prefix = ifc2x3::IfcSIPrefix_UNSET,
         bool replace = true)
{
    return PropertySetUtils::addProperty(object(model, key), Step::String(set), Step::String(name), value, type, prefix,
                                         replace);
}

template <class T> std::size_t countOf(const IFC2x3Model& model)
{
    return model.dataSet()->allOf<T>().size();
}

/// Saves the model and reads the file back; every reference of the file
/// must name an instance in it.
std::unique_ptr<IFC2x3Model> saveAndReopen(const IFC2x3Model& model, std::string* text = nullptr)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.ifc"));
    QString error;
    if (!model.save(path, &error)) {
        ADD_FAILURE() << error.toStdString();
        return nullptr;
    }
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    if (!dataSet->open(path.toStdString())) {
        ADD_FAILURE() << dataSet->lastError().toString();
        return nullptr;
    }
    for (std::size_t slot = 0; slot < dataSet->slotCount(); ++slot) {
        dataSet->getBySlot(slot);
    }
    for (const std::string& warning : dataSet->takeWarnings()) {
        ADD_FAILURE() << "after save: " << warning;
    }
    if (text) {
        *text = dataSet->toText();
    }
    return std::make_unique<IFC2x3Model>(std::move(dataSet));
}

} // namespace

class PropertySetEditing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = openText(sharedModel);
        ASSERT_TRUE(model);
    }
    std::unique_ptr<IFC2x3Model> model;
};

TEST(GlobalIds, RandomVersion4UuidsInTheIfcAlphabet)
{
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    std::set<std::string> seen;
    for (int i = 0; i < 20000; ++i) {
        const std::string id = Orvane::Ifc2x3CC::createGlobalId();
        ASSERT_EQ(id.size(), 22u);
        unsigned __int128 value = 0;
        for (char c : id) {
            const std::size_t digit = alphabet.find(c);
            ASSERT_NE(digit, std::string::npos) << id;
            value = (value << 6) | digit;
        }
        ASSERT_LT(alphabet.find(id[0]), 4u) << "the first character holds 2 bits";
        EXPECT_EQ(static_cast<unsigned>(value >> 76) & 0xF, 4u) << "version";
        EXPECT_EQ(static_cast<unsigned>(value >> 62) & 0x3, 2u) << "variant";
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 20000u);
}

TEST_F(PropertySetEditing, AddingToAnOccurrenceCreatesTheSetAndOneRelation)
{
    const std::size_t relations = countOf<ifc2x3::IfcRelDefinesByProperties>(*model);
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("first")));
    ASSERT_TRUE(add(*model, 23, "Results", "Count", 4, IfcValue::IfcInteger));
    EXPECT_EQ(countOf<ifc2x3::IfcRelDefinesByProperties>(*model), relations + 1);
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Name"), QVariant("first"));
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Count"), QVariant(4));
    auto* set = PropertySetUtils::findPropertySet(object(*model, 23), Step::String("Results"));
    ASSERT_TRUE(set);
    EXPECT_EQ(set->getPropertyDefinitionOf().size(), 1u);
    EXPECT_TRUE(set->testGlobalId());
    // Nothing else sees the new set.
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 20), "Properties/Results"));
}

TEST_F(PropertySetEditing, ReplaceUpdatesThePropertyElseASecondOneIsAdded)
{
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("first")));
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("second")));
    const auto set = model->getProperty(indexOfKey(*model, 23), "Properties/Results");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->childCount(), 1);
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Name"), QVariant("second"));

    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("third"), IfcValue::IfcLabel,
                    ifc2x3::IfcSIPrefix_UNSET, false));
    EXPECT_EQ(set->childCount(), 2);
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Name"), QVariant("second"));

    // A property of another kind under that name gives way to the value,
    // and its sub-properties go with it.
    ASSERT_TRUE(add(*model, 22, "Shared", "Layer", QStringLiteral("plain")));
    EXPECT_EQ(valueAt(*model, 22, "Properties/Shared/Layer"), QVariant("plain"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Layer/Material"), QVariant("Brick"));
}

TEST_F(PropertySetEditing, SeveralPropertiesGoInOneCallAsTheyWouldOneByOne)
{
    using Single = PropertySetUtils::SingleValue;
    const double notANumber = std::nan("");
    // Into a shared set: wall 20 gets its own copy, the colour is replaced
    // in place, a name given twice keeps the later value, and what cannot
    // be written is skipped and left out of the count.
    const std::vector<Single> properties = {
        {"Colour", QStringLiteral("green"), IfcValue::IfcLabel, ifc2x3::IfcSIPrefix_UNSET},
        {"Mass", 12.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO},
        {"", 1.0, IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET},
        {"Bad", notANumber, IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET},
        {"Mass", 13.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO},
    };
    EXPECT_EQ(PropertySetUtils::addProperties(object(*model, 20), "Shared", properties, true), 3);
    const auto set = model->getProperty(indexOfKey(*model, 20), "Properties/Shared");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->childCount(), 3); // Colour, Layer, Mass
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("green"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Mass"), QVariant(13.0));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 20), "Properties/Shared/Bad"));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 21), "Properties/Shared/Mass"));

    // Without replace, names repeat as given.
    EXPECT_EQ(PropertySetUtils::addProperties(object(*model, 23), "Results", {properties[1], properties[4]}, false), 2);
    EXPECT_EQ(model->getProperty(indexOfKey(*model, 23), "Properties/Results")->childCount(), 2);
    // Nothing to write: no set is made.
    EXPECT_EQ(PropertySetUtils::addProperties(object(*model, 22), "Empty", {properties[3]}, true), 0);
    EXPECT_FALSE(PropertySetUtils::findPropertySet(object(*model, 22), Step::String("Empty")));
    EXPECT_TRUE(saveAndReopen(*model));
}

TEST_F(PropertySetEditing, SetsOfSeveralNamesGoInOneCall)
{
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("first")));
    ASSERT_TRUE(add(*model, 23, "Other", "Name", QStringLiteral("second")));
    ASSERT_TRUE(add(*model, 23, "Kept", "Name", QStringLiteral("third")));
    const std::vector<std::string> names = {"Results", "Other", "None"};
    EXPECT_TRUE(PropertySetUtils::removePropertySets(object(*model, 23), names));
    EXPECT_FALSE(PropertySetUtils::findPropertySet(object(*model, 23), Step::String("Results")));
    EXPECT_FALSE(PropertySetUtils::findPropertySet(object(*model, 23), Step::String("Other")));
    EXPECT_EQ(valueAt(*model, 23, "Properties/Kept/Name"), QVariant("third"));
    EXPECT_FALSE(PropertySetUtils::removePropertySets(object(*model, 23), names));
    // A type's sets of both names, one of them shared with another type.
    EXPECT_TRUE(PropertySetUtils::removePropertySets(object(*model, 40), {"TypeSet"}));
    EXPECT_EQ(valueAt(*model, 41, "Properties/TypeSet/Grade"), QVariant("A"));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 40), "Properties/TypeSet"));
    EXPECT_TRUE(saveAndReopen(*model));
}

TEST_F(PropertySetEditing, RejectsWhatItCannotWrite)
{
    EXPECT_FALSE(PropertySetUtils::addProperty(nullptr, Step::String("S"), Step::String("P"), 1.0, IfcValue::IfcReal,
                                               ifc2x3::IfcSIPrefix_UNSET, true));
    EXPECT_FALSE(add(*model, 23, "Results", "", QStringLiteral("x")));
    EXPECT_FALSE(add(*model, 23, "Results", "Mass", QVariant(), IfcValue::IfcMassMeasure));
    EXPECT_FALSE(add(*model, 23, "Results", "Mass", QStringLiteral("heavy"), IfcValue::IfcMassMeasure));
    EXPECT_FALSE(PropertySetUtils::findPropertySet(object(*model, 23), Step::String("Results")));
    EXPECT_FALSE(PropertySetUtils::removePropertySet(object(*model, 23), Step::String("Results")));
}

TEST_F(PropertySetEditing, AddingToATypeExtendsItsList)
{
    ASSERT_TRUE(add(*model, 41, "Totals", "Instances", 3, IfcValue::IfcInteger));
    auto* type = entityOf<ifc2x3::IfcTypeObject>(*model, 41);
    ASSERT_EQ(type->getHasPropertySets().size(), 2u);
    EXPECT_EQ(valueAt(*model, 41, "Properties/Totals/Instances"), QVariant(3));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 40), "Properties/Totals"));
}

TEST_F(PropertySetEditing, SIValuesAreWrittenWithTheUnitTheProjectLacks)
{
    // Lengths in metres in a millimetre project, masses in kilograms in a
    // gram project: the values must read back as written.
    ASSERT_TRUE(add(*model, 23, "Results", "Length", 2.5, IfcValue::IfcLengthMeasure));
    ASSERT_TRUE(add(*model, 23, "Results", "Mass", 3.0, IfcValue::IfcMassMeasure));
    ASSERT_TRUE(add(*model, 23, "Results", "Area", 4.0, IfcValue::IfcAreaMeasure));
    EXPECT_DOUBLE_EQ(numberAt(*model, 23, "Properties/Results/Length").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(numberAt(*model, 23, "Properties/Results/Mass").toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(numberAt(*model, 23, "Properties/Results/Area").toDouble(), 4.0);
    EXPECT_EQ(displayAt(*model, 23, "Properties/Results/Mass"), "3 kg");

    auto reopened = saveAndReopen(*model);
    ASSERT_TRUE(reopened);
    EXPECT_DOUBLE_EQ(numberAt(*reopened, 23, "Properties/Results/Length").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(numberAt(*reopened, 23, "Properties/Results/Mass").toDouble(), 3.0);
}

TEST_F(PropertySetEditing, APrefixAttachesOneSharedSIUnit)
{
    const std::size_t units = countOf<ifc2x3::IfcSIUnit>(*model);
    ASSERT_TRUE(add(*model, 23, "Results", "Brick", 12.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(add(*model, 23, "Results", "Steel", 1.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(add(*model, 41, "Totals", "Weight", 7.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    EXPECT_EQ(countOf<ifc2x3::IfcSIUnit>(*model), units + 1);
    auto* brick = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 23, "Properties/Results/Brick"));
    auto* steel = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 23, "Properties/Results/Steel"));
    ASSERT_TRUE(brick && steel);
    auto* unit = dynamic_cast<ifc2x3::IfcSIUnit*>(brick->resolve(brick->getUnitValue()));
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->getName(), "GRAM");
    EXPECT_EQ(unit->getPrefix(), "KILO");
    EXPECT_EQ(steel->getUnitValue(), brick->getUnitValue());
    EXPECT_DOUBLE_EQ(numberAt(*model, 23, "Properties/Results/Brick").toDouble(), 12.5);
    EXPECT_EQ(displayAt(*model, 23, "Properties/Results/Brick"), "12.5 kg");
}

TEST(PropertySetEditingUnits, AKiloPrefixReusesTheProjectsKilogram)
{
    auto model = openText(projectWithUnits("#3") + "#3=IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.);\n"
                                                   "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n");
    ASSERT_TRUE(model);
    ASSERT_TRUE(add(*model, 20, "Results", "Brick", 2.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(add(*model, 20, "Results", "Plain", 3.0, IfcValue::IfcMassMeasure));
    EXPECT_EQ(countOf<ifc2x3::IfcSIUnit>(*model), 1u);
    auto* brick = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 20, "Properties/Results/Brick"));
    EXPECT_EQ(brick->getUnitValue().referenceKey(), 3u);
    // Kilograms are the project's unit: nothing needs saying.
    auto* plain = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 20, "Properties/Results/Plain"));
    EXPECT_FALSE(plain->getUnitValue().isSet());
}

TEST_F(PropertySetEditing, ASetSharedThroughOneRelationIsCopiedForTheWriter)
{
    ASSERT_TRUE(add(*model, 20, "Shared", "Colour", QStringLiteral("green")));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("green"));
    // The writer keeps the rest of its set, copied.
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Layer/Material"), QVariant("Brick"));
    EXPECT_NE(entityAt(*model, 20, "Properties/Shared/Layer/Material"), model->dataSet()->get(33));
    // The others and the original set are untouched.
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(valueAt(*model, 22, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(entityAt(*model, 21, "Properties/Shared"), model->dataSet()->get(30));
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySet>(*model, 30)->getHasProperties().size(), 2u);
    EXPECT_EQ(entityOf<ifc2x3::IfcRelDefinesByProperties>(*model, 34)->getRelatedObjectsValue(),
              Step::Value::list({Step::Value::reference(21)}));
    // A second write goes to the writer's own copy: no further copy.
    const std::size_t sets = countOf<ifc2x3::IfcPropertySet>(*model);
    ASSERT_TRUE(add(*model, 20, "Shared", "Size", QStringLiteral("L")));
    EXPECT_EQ(countOf<ifc2x3::IfcPropertySet>(*model), sets);
}

TEST_F(PropertySetEditing, ACopyKeepsItsRankAmongTheWritersSets)
{
    // Wall 22 has two sets named Shared: #30 through its own relation, then
    // #36. Its copy of #30 must still come first.
    const std::size_t relations = countOf<ifc2x3::IfcRelDefinesByProperties>(*model);
    ASSERT_TRUE(add(*model, 22, "Shared", "Colour", QStringLiteral("green")));
    EXPECT_EQ(valueAt(*model, 22, "Properties/Shared/Colour"), QVariant("green"));
    EXPECT_EQ(countOf<ifc2x3::IfcRelDefinesByProperties>(*model), relations);
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySingleValue>(*model, 37)->getNominalValueValue().plain().text(), "blue");
}

TEST_F(PropertySetEditing, ASetSharedByTwoTypesIsCopiedInPlace)
{
    ASSERT_TRUE(add(*model, 40, "TypeSet", "Grade", QStringLiteral("B")));
    EXPECT_EQ(valueAt(*model, 40, "Properties/TypeSet/Grade"), QVariant("B"));
    EXPECT_EQ(valueAt(*model, 41, "Properties/TypeSet/Grade"), QVariant("A"));
    auto* type40 = entityOf<ifc2x3::IfcTypeObject>(*model, 40);
    const auto sets = type40->getHasPropertySets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_NE(sets[0]->getKey(), 50u);
    EXPECT_EQ(sets[1]->getKey(), 52u);
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySet>(*model, 50)->getDefinesType().size(), 1u);
}

TEST_F(PropertySetEditing, RemovingASharedSetOnlyUnlinksIt)
{
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 20), Step::String("Shared")));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 20), "Properties/Shared"));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Layer/Material"), QVariant("Brick"));
    EXPECT_TRUE(model->dataSet()->get(30));

    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 40), Step::String("TypeSet")));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 40), "Properties/TypeSet"));
    EXPECT_EQ(valueAt(*model, 41, "Properties/TypeSet/Grade"), QVariant("A"));
    EXPECT_FALSE(entityOf<ifc2x3::IfcTypeObject>(*model, 40)->testHasPropertySets());
    EXPECT_FALSE(model->dataSet()->get(52)) << "only type 40 used it";
}

TEST_F(PropertySetEditing, RemovingTheLastUseDeletesTheSetItsPropertiesAndRelations)
{
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 22), Step::String("Shared")));
    EXPECT_FALSE(model->dataSet()->get(35));
    EXPECT_FALSE(model->dataSet()->get(36));
    EXPECT_FALSE(model->dataSet()->get(37));
    EXPECT_FALSE(model->dataSet()->get(38));
    EXPECT_TRUE(model->dataSet()->get(30)) << "walls 20 and 21 still use it";
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 20), Step::String("Shared")));
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 21), Step::String("Shared")));
    for (Step::Id key : {30, 31, 32, 33, 34}) {
        EXPECT_FALSE(model->dataSet()->get(key)) << key;
    }
    EXPECT_FALSE(PropertySetUtils::removePropertySet(object(*model, 21), Step::String("Shared")));
}

TEST_F(PropertySetEditing, ASetListedTwiceByATypeIsDeletedOnce)
{
    auto* type = entityOf<ifc2x3::IfcTypeObject>(*model, 41);
    type->setHasPropertySetsValue(Step::Value::list({Step::Value::reference(50), Step::Value::reference(50)}));
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 41), Step::String("TypeSet")));
    EXPECT_TRUE(model->dataSet()->get(50)) << "type 40 still uses it";
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 40), Step::String("TypeSet")));
    EXPECT_FALSE(model->dataSet()->get(50));
    EXPECT_FALSE(model->dataSet()->get(51));
}

TEST_F(PropertySetEditing, SavedEditsReadBackTheSameWithoutDanglingReferences)
{
    ASSERT_TRUE(add(*model, 20, "Shared", "Colour", QStringLiteral("green")));
    ASSERT_TRUE(add(*model, 40, "TypeSet", "Grade", QStringLiteral("B")));
    ASSERT_TRUE(add(*model, 23, "Results", "Brick", 12.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 22), Step::String("Shared")));
    ASSERT_TRUE(add(*model, 22, "Results", "Count", 2, IfcValue::IfcInteger));

    std::string text;
    auto reopened = saveAndReopen(*model, &text);
    ASSERT_TRUE(reopened);
    struct Expected
    {
        Step::Id key;
        const char* path;
    };
    for (const Expected& e :
         {Expected{20, "Properties/Shared/Colour"}, Expected{20, "Properties/Shared/Layer/Material"},
          Expected{21, "Properties/Shared/Colour"}, Expected{22, "Properties/Shared/Colour"},
          Expected{40, "Properties/TypeSet/Grade"}, Expected{41, "Properties/TypeSet/Grade"},
          Expected{23, "Properties/Results/Brick"}, Expected{22, "Properties/Results/Count"}}) {
        EXPECT_EQ(valueAt(*reopened, e.key, e.path), valueAt(*model, e.key, e.path)) << e.key << " " << e.path;
    }
    EXPECT_EQ(valueAt(*reopened, 22, "Properties/Shared/Colour"), QVariant());
    // Every #n of the file is an instance of it.
    const std::regex reference("#([0-9]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), reference); it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(reopened->dataSet()->contains(std::stoull((*it)[1].str()))) << (*it)[0].str();
    }
}

TEST_F(PropertySetEditing, ReadsFollowEveryKindOfEditOfTheRelations)
{
    // Each read comes before and after an edit, so that nothing read
    // earlier may be served again.
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("red"));
    // Unlinking from a relation other walls keep creates and deletes nothing.
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 20), Step::String("Shared")));
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 20), "Properties/Shared"));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Colour"), QVariant("red"));

    // Direct edits of the data set: a new relation, then its deletion.
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 23), "Type"));
    auto* relation = model->dataSet()->createEntity<ifc2x3::IfcRelDefinesByType>();
    relation->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(23)}));
    relation->setRelatingType(entityOf<ifc2x3::IfcTypeObject>(*model, 41));
    EXPECT_EQ(valueAt(*model, 23, "Type/Fields/Name"), QVariant("Type 41"));
    model->dataSet()->remove(relation->getKey());
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 23), "Type"));

    // An edit that neither creates nor deletes is seen too.
    auto* shared = entityOf<ifc2x3::IfcRelDefinesByProperties>(*model, 34);
    shared->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(21), Step::Value::reference(23)}));
    EXPECT_EQ(valueAt(*model, 23, "Properties/Shared/Colour"), QVariant("red"));
}

TEST(PropertySetEditingSharedParts, APropertyListedByTwoSetsSurvivesEditsOfEither)
{
    // Some exporters list one property instance in several sets: #31 is in
    // set #30 of wall #20 and in set #40 of wall #21.
    auto model =
        openText(projectWithUnits("") + "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall 20',$,$,$,$,$);\n"
                                        "#21=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Wall 21',$,$,$,$,$);\n"
                                        "#30=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Common',$,(#31,#32));\n"
                                        "#31=IFCPROPERTYSINGLEVALUE('Colour',$,IFCLABEL('red'),$);\n"
                                        "#32=IFCPROPERTYSINGLEVALUE('Size',$,IFCLABEL('M'),$);\n"
                                        "#33=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#20),#30);\n"
                                        "#40=IFCPROPERTYSET('3Zq7Kx3W59JfQbI6h9Q5uQ',$,'Other',$,(#31));\n"
                                        "#41=IFCRELDEFINESBYPROPERTIES('2hHkQ9dZT7yRkq0u2K9Yt8',$,$,$,(#21),#40);\n");
    ASSERT_TRUE(model);
    ASSERT_TRUE(add(*model, 21, "Other", "Colour", QStringLiteral("blue")));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Other/Colour"), QVariant("blue"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Common/Colour"), QVariant("red"));

    ASSERT_TRUE(add(*model, 21, "Other", "Colour", QStringLiteral("green")));
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 21), Step::String("Other")));
    EXPECT_FALSE(model->dataSet()->get(40));
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 20), Step::String("Common")));
    EXPECT_FALSE(model->dataSet()->get(32)) << "listed by the removed set alone";
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySingleValue>(*model, 31)->getNominalValueValue().plain().text(), "red");
    EXPECT_TRUE(saveAndReopen(*model));
}

// A shared set whose complex properties nest 50 000 deep is copied for the
// object written to and deleted with its last use, without recursing as
// deep as the nesting.
TEST(PropertySetEditingNesting, DeepComplexPropertiesAreCopiedAndDeleted)
{
    std::string data = projectWithUnits("") +
                       "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall 20',$,$,$,$,$);\n"
                       "#21=IFCWALL('0kF4rTvcz2$Pp7zNBsJ4Ng',$,'Wall 21',$,$,$,$,$);\n"
                       "#30=IFCPROPERTYSET('1Xn6cm5Kb9TvYl2NBRnGC1',$,'Deep',$,(#100));\n"
                       "#31=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#20,#21),#30);\n";
    constexpr int depth = 50000;
    for (int key = 100; key < 100 + depth; ++key) {
        data += "#" + std::to_string(key) + "=IFCCOMPLEXPROPERTY('L',$,'L',(#" + std::to_string(key + 1) + "));\n";
    }
    data += "#" + std::to_string(100 + depth) + "=IFCPROPERTYSINGLEVALUE('Leaf',$,IFCLABEL('x'),$);\n";
    auto model = openText(data);
    ASSERT_TRUE(model);
    const std::size_t instances = model->dataSet()->instanceCount();

    ASSERT_TRUE(add(*model, 20, "Deep", "Colour", QStringLiteral("red")));
    EXPECT_GT(model->dataSet()->instanceCount(), instances + depth) << "wall 20 has a copy of its own";
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 20), Step::String("Deep")));
    EXPECT_EQ(model->dataSet()->instanceCount(), instances);
    ASSERT_TRUE(PropertySetUtils::removePropertySet(object(*model, 21), Step::String("Deep")));
    EXPECT_EQ(model->dataSet()->instanceCount(), instances - depth - 3);
}

// With the largest instance number in use, nothing can be created: edits
// that need a new instance fail and leave the model as it was; the data
// set tells why.
TEST_F(PropertySetEditing, WithoutInstanceNumberLeftEditsFailAndChangeNothing)
{
    model = openText(sharedModel + "#18446744073709551615=IFCCARTESIANPOINT((0.,0.));\n");
    ASSERT_TRUE(model);
    const std::size_t instances = model->dataSet()->instanceCount();
    EXPECT_FALSE(add(*model, 23, "Results", "Name", QStringLiteral("new set")));
    EXPECT_FALSE(add(*model, 20, "Shared", "Colour", QStringLiteral("a copy for wall 20")));
    EXPECT_FALSE(add(*model, 40, "TypeSet", "Grade", QStringLiteral("a copy for type 40")));
    EXPECT_FALSE(add(*model, 22, "Shared", "Mass", 1.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    EXPECT_TRUE(model->dataSet()->instanceNumbersExhausted());
    EXPECT_EQ(model->dataSet()->instanceCount(), instances);
    EXPECT_FALSE(model->getProperty(indexOfKey(*model, 23), "Properties/Results"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(valueAt(*model, 40, "Properties/TypeSet/Grade"), QVariant("A"));

    EXPECT_TRUE(PropertySetUtils::removePropertySet(object(*model, 22), Step::String("Shared")));
    EXPECT_TRUE(saveAndReopen(*model));
}

TEST(PropertySetEditingSharedParts, RemovingASetOfARealSampleLeavesTheOtherSetsWhole)
{
    const QString path = samplePath("duplex.ifc");
    if (path.isEmpty()) {
        GTEST_SKIP() << "sample models not available";
    }
    auto model = IFC2x3Model::open(path);
    ASSERT_TRUE(model);
    // Remove every set of every element, then check that no set left lists
    // an instance that is gone.
    int removed = 0;
    for (const auto& element : model->dataSet()->getAllIfcElement()) {
        const auto sets = model->getProperty(model->index(element.get()), "Properties");
        if (!sets || sets->childCount() == 0 || removed >= 40) {
            continue;
        }
        const Step::RefPtr<Orvane::CoreProperty> first(sets->getChildProperty(0));
        removed += PropertySetUtils::removePropertySet(element.get(), Step::String(first->name().toStdWString()));
    }
    EXPECT_GT(removed, 0);
    for (const auto& set : model->dataSet()->allOf<ifc2x3::IfcPropertySet>()) {
        for (const Step::Value& item : set->getHasPropertiesValue().items()) {
            EXPECT_TRUE(model->dataSet()->get(item.referenceKey()))
                << "#" << set->getKey() << " lists a deleted #" << item.referenceKey();
        }
    }
}

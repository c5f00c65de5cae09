// Property-set editing: adding properties, copying sets shared with other
// objects before writing to them, removing sets and what only they use.
#include "OrvaneTestSupport.h"

#include "Orvane/Ifc2x3CC/EditContext.h"
#include "Orvane/Ifc2x3CC/GlobalId.h"
#include "Orvane/Ifc2x3CC/PropertySetUtils.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>

using namespace orvanetest;
using ifc2x3::IfcValue;
using Orvane::Ifc2x3CC::PropertySetUtils;

namespace {

// Walls #20 and #21 share set #30 through one relation; wall #22 uses it
// through a relation of its own and has a second set of that name; types
// #40 and #41 both list set #50. Lengths are in millimetres, masses in grams.
const std::string sharedModel = fixture("shared-sets.ifc");

bool add(const IFC2x3Model& model, Step::Id key, const char* set, const char* name, const QVariant& value,
         IfcValue::IfcValue_select type = IfcValue::IfcLabel, ifc2x3::IfcSIPrefix prefix = ifc2x3::IfcSIPrefix_UNSET,
         bool replace = true)
{
    return PropertySetUtils::addProperty(objectOf(model, key), Step::String(set), Step::String(name), value, type,
                                         prefix, replace);
}

bool remove(const IFC2x3Model& model, Step::Id key, const char* set)
{
    return PropertySetUtils::removePropertySet(objectOf(model, key), Step::String(set));
}

template <class T> std::size_t countOf(const IFC2x3Model& model)
{
    return model.dataSet()->allOf<T>().size();
}

int childCount(const IFC2x3Model& model, Step::Id key, const QString& path)
{
    const auto property = model.getProperty(indexOf(model, key), path);
    return property ? property->childCount() : -1;
}

/// Saves the model and reads the file back; every reference of the file
/// must name an instance in it.
std::unique_ptr<IFC2x3Model> saveAndReopen(const IFC2x3Model& model)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.ifc"));
    QString error;
    std::unique_ptr<IFC2x3Model> reopened;
    if (!model.save(path, &error) || !(reopened = IFC2x3Model::open(path, &error))) {
        ADD_FAILURE() << error.toStdString();
        return nullptr;
    }
    ifc2x3::ExpressDataSet& dataSet = *reopened->dataSet();
    for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
        dataSet.getBySlot(slot);
    }
    for (const std::string& warning : dataSet.takeWarnings()) {
        ADD_FAILURE() << "after save: " << warning;
    }
    const std::string text = dataSet.toText();
    const std::regex reference("#([0-9]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), reference); it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(dataSet.contains(std::stoull((*it)[1].str()))) << (*it)[0].str();
    }
    return reopened;
}

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

TEST_F(PropertySetEditing, AddingCreatesTheSetOnceThenReplacesOrAppends)
{
    const std::size_t relations = countOf<ifc2x3::IfcRelDefinesByProperties>(*model);
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("first")));
    ASSERT_TRUE(add(*model, 23, "Results", "Count", 4, IfcValue::IfcInteger));
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("second")));
    EXPECT_EQ(countOf<ifc2x3::IfcRelDefinesByProperties>(*model), relations + 1);
    EXPECT_EQ(childCount(*model, 23, "Properties/Results"), 2);
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Name"), QVariant("second"));
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Count"), QVariant(4));
    EXPECT_TRUE(PropertySetUtils::findPropertySet(objectOf(*model, 23), Step::String("Results"))->testGlobalId());
    EXPECT_EQ(childCount(*model, 20, "Properties/Results"), -1) << "nothing else sees the new set";
    // Without replace, a second property of the name; the first still answers.
    ASSERT_TRUE(add(*model, 23, "Results", "Name", QStringLiteral("third"), IfcValue::IfcLabel,
                    ifc2x3::IfcSIPrefix_UNSET, false));
    EXPECT_EQ(childCount(*model, 23, "Properties/Results"), 3);
    EXPECT_EQ(valueAt(*model, 23, "Properties/Results/Name"), QVariant("second"));
    // A property of another kind under the name gives way to the value.
    ASSERT_TRUE(add(*model, 22, "Shared", "Layer", QStringLiteral("plain")));
    EXPECT_EQ(valueAt(*model, 22, "Properties/Shared/Layer"), QVariant("plain"));
    // A type gets the set in its own list.
    ASSERT_TRUE(add(*model, 41, "Totals", "Instances", 3, IfcValue::IfcInteger));
    EXPECT_EQ(entityOf<ifc2x3::IfcTypeObject>(*model, 41)->getHasPropertySets().size(), 2u);
    EXPECT_EQ(valueAt(*model, 41, "Properties/Totals/Instances"), QVariant(3));
    EXPECT_EQ(childCount(*model, 40, "Properties/Totals"), -1);
}

TEST_F(PropertySetEditing, RejectsWhatItCannotWriteAndMakesNoSetForIt)
{
    EXPECT_FALSE(PropertySetUtils::addProperty(nullptr, Step::String("S"), Step::String("P"), 1.0, IfcValue::IfcReal,
                                               ifc2x3::IfcSIPrefix_UNSET, true));
    EXPECT_FALSE(add(*model, 23, "Results", "", QStringLiteral("x")));
    EXPECT_FALSE(add(*model, 23, "Results", "Mass", QVariant(), IfcValue::IfcMassMeasure));
    EXPECT_FALSE(add(*model, 23, "Results", "Mass", QStringLiteral("heavy"), IfcValue::IfcMassMeasure));
    EXPECT_FALSE(PropertySetUtils::findPropertySet(objectOf(*model, 23), Step::String("Results")));
    EXPECT_FALSE(remove(*model, 23, "Results"));
}

TEST_F(PropertySetEditing, SeveralPropertiesGoInOneCallAsTheyWouldOneByOne)
{
    using Single = PropertySetUtils::SingleValue;
    // Into a shared set: wall 20 gets its own copy, the colour is replaced
    // in place, a name given twice keeps the later value, and what cannot
    // be written is skipped and left out of the count.
    const std::vector<Single> properties = {
        {"Colour", QStringLiteral("green"), IfcValue::IfcLabel, ifc2x3::IfcSIPrefix_UNSET},
        {"Mass", 12.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO},
        {"", 1.0, IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET},
        {"Bad", std::nan(""), IfcValue::IfcReal, ifc2x3::IfcSIPrefix_UNSET},
        {"Mass", 13.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO},
    };
    EXPECT_EQ(PropertySetUtils::addProperties(objectOf(*model, 20), "Shared", properties, true), 3);
    EXPECT_EQ(childCount(*model, 20, "Properties/Shared"), 3); // Colour, Layer, Mass
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("green"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Mass"), QVariant(13.0));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(childCount(*model, 21, "Properties/Shared"), 2);
    // Without replace, names repeat as given; with nothing to write no set is made.
    EXPECT_EQ(PropertySetUtils::addProperties(objectOf(*model, 23), "Results", {properties[1], properties[4]}, false),
              2);
    EXPECT_EQ(childCount(*model, 23, "Properties/Results"), 2);
    EXPECT_EQ(PropertySetUtils::addProperties(objectOf(*model, 22), "Empty", {properties[3]}, true), 0);
    EXPECT_FALSE(PropertySetUtils::findPropertySet(objectOf(*model, 22), Step::String("Empty")));
    EXPECT_TRUE(saveAndReopen(*model));
}

// Values are given in SI units; the project counts lengths in millimetres
// and masses in grams, so each value says its unit, one shared instance per
// prefixed unit.
TEST_F(PropertySetEditing, SIValuesReadBackAsWritten)
{
    const std::size_t units = countOf<ifc2x3::IfcSIUnit>(*model);
    ASSERT_TRUE(add(*model, 23, "Results", "Brick", 12.5, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(add(*model, 41, "Totals", "Weight", 7.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    EXPECT_EQ(countOf<ifc2x3::IfcSIUnit>(*model), units + 1);
    ASSERT_TRUE(add(*model, 23, "Results", "Length", 2.5, IfcValue::IfcLengthMeasure));
    ASSERT_TRUE(add(*model, 23, "Results", "Area", 4.0, IfcValue::IfcAreaMeasure));
    ASSERT_TRUE(add(*model, 23, "Results", "Mass", 3.0, IfcValue::IfcMassMeasure));
    auto* brick = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 23, "Properties/Results/Brick"));
    auto* unit = dynamic_cast<ifc2x3::IfcSIUnit*>(brick->resolve(brick->getUnitValue()));
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->getName(), "GRAM");
    EXPECT_EQ(unit->getPrefix(), "KILO");
    EXPECT_EQ(
        dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 41, "Properties/Totals/Weight"))->getUnitValue(),
        brick->getUnitValue());
    auto reopened = saveAndReopen(*model);
    ASSERT_TRUE(reopened);
    for (const IFC2x3Model* m : {model.get(), reopened.get()}) {
        EXPECT_DOUBLE_EQ(numberAt(*m, 23, "Properties/Results/Length").toDouble(), 2.5);
        EXPECT_DOUBLE_EQ(numberAt(*m, 23, "Properties/Results/Area").toDouble(), 4.0);
        EXPECT_DOUBLE_EQ(numberAt(*m, 23, "Properties/Results/Mass").toDouble(), 3.0);
        EXPECT_DOUBLE_EQ(numberAt(*m, 23, "Properties/Results/Brick").toDouble(), 12.5);
        EXPECT_EQ(displayAt(*m, 23, "Properties/Results/Brick"), "12.500 kg"); // masses with three decimals
    }

    // In a kilogram project, the project's own unit serves and a plain mass
    // needs none.
    model = openText(projectWithUnits("#3") + "#3=IFCSIUNIT(*,.MASSUNIT.,.KILO.,.GRAM.);\n"
                                              "#20=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n");
    ASSERT_TRUE(add(*model, 20, "Results", "Brick", 2.0, IfcValue::IfcMassMeasure, ifc2x3::IfcSIPrefix_KILO));
    ASSERT_TRUE(add(*model, 20, "Results", "Plain", 3.0, IfcValue::IfcMassMeasure));
    EXPECT_EQ(countOf<ifc2x3::IfcSIUnit>(*model), 1u);
    brick = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 20, "Properties/Results/Brick"));
    EXPECT_EQ(brick->getUnitValue().referenceKey(), 3u);
    auto* plain = dynamic_cast<ifc2x3::IfcPropertySingleValue*>(entityAt(*model, 20, "Properties/Results/Plain"));
    EXPECT_FALSE(plain->getUnitValue().isSet());
}

TEST_F(PropertySetEditing, ASharedSetIsCopiedForTheObjectWrittenTo)
{
    // Shared through one relation: wall 20 gets a copy with the rest of
    // the set; wall 21 and the set stay as they were.
    ASSERT_TRUE(add(*model, 20, "Shared", "Colour", QStringLiteral("green")));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("green"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Layer/Material"), QVariant("Brick"));
    EXPECT_NE(entityAt(*model, 20, "Properties/Shared/Layer/Material"), model->dataSet()->get(33));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(entityAt(*model, 21, "Properties/Shared"), model->dataSet()->get(30));
    EXPECT_EQ(entityOf<ifc2x3::IfcRelDefinesByProperties>(*model, 34)->getRelatedObjectsValue(),
              Step::Value::list({Step::Value::reference(21)}));
    // A second write goes to the copy.
    const std::size_t sets = countOf<ifc2x3::IfcPropertySet>(*model);
    ASSERT_TRUE(add(*model, 20, "Shared", "Size", QStringLiteral("L")));
    EXPECT_EQ(countOf<ifc2x3::IfcPropertySet>(*model), sets);

    // Through a relation of its own: wall 22's copy keeps its rank before
    // its second set of the name, with no new relation.
    const std::size_t relations = countOf<ifc2x3::IfcRelDefinesByProperties>(*model);
    ASSERT_TRUE(add(*model, 22, "Shared", "Colour", QStringLiteral("yellow")));
    EXPECT_EQ(valueAt(*model, 22, "Properties/Shared/Colour"), QVariant("yellow"));
    EXPECT_EQ(countOf<ifc2x3::IfcRelDefinesByProperties>(*model), relations);
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySingleValue>(*model, 37)->getNominalValueValue().plain().text(), "blue");

    // Listed by two types: type 40's copy takes the set's place in its list.
    ASSERT_TRUE(add(*model, 40, "TypeSet", "Grade", QStringLiteral("B")));
    const auto typeSets = entityOf<ifc2x3::IfcTypeObject>(*model, 40)->getHasPropertySets();
    ASSERT_EQ(typeSets.size(), 2u);
    EXPECT_NE(typeSets[0]->getKey(), 50u);
    EXPECT_EQ(typeSets[1]->getKey(), 52u);

    // What the edits left, read back from the saved file.
    auto reopened = saveAndReopen(*model);
    ASSERT_TRUE(reopened);
    const std::pair<Step::Id, const char*> expected[] = {
        {20, "green"}, {21, "red"}, {22, "yellow"}, {40, "B"}, {41, "A"}};
    for (const IFC2x3Model* m : {model.get(), reopened.get()}) {
        for (const auto& [key, value] : expected) {
            const QString path = key < 40 ? "Properties/Shared/Colour" : "Properties/TypeSet/Grade";
            EXPECT_EQ(valueAt(*m, key, path), QVariant(value)) << key;
        }
        EXPECT_EQ(valueAt(*m, 20, "Properties/Shared/Layer/Material"), QVariant("Brick"));
    }
}

TEST_F(PropertySetEditing, RemovingUnlinksASetAndDeletesWhatOnlyItUsed)
{
    ASSERT_TRUE(PropertySetUtils::removePropertySets(objectOf(*model, 22), {"Shared", "None"}));
    for (Step::Id key : {35, 36, 37, 38}) {
        EXPECT_FALSE(model->dataSet()->get(key)) << key;
    }
    ASSERT_TRUE(remove(*model, 20, "Shared"));
    EXPECT_EQ(childCount(*model, 20, "Properties/Shared"), -1);
    EXPECT_EQ(valueAt(*model, 21, "Properties/Shared/Layer/Material"), QVariant("Brick"));
    EXPECT_TRUE(model->dataSet()->get(30)) << "wall 21 still uses it";
    ASSERT_TRUE(remove(*model, 21, "Shared"));
    for (Step::Id key : {30, 31, 32, 33, 34}) {
        EXPECT_FALSE(model->dataSet()->get(key)) << key;
    }
    EXPECT_FALSE(remove(*model, 21, "Shared"));

    // A set listed twice by one type, and by another type.
    entityOf<ifc2x3::IfcTypeObject>(*model, 41)
        ->setHasPropertySetsValue(Step::Value::list({Step::Value::reference(50), Step::Value::reference(50)}));
    ASSERT_TRUE(remove(*model, 41, "TypeSet"));
    EXPECT_TRUE(model->dataSet()->get(50)) << "type 40 still uses it";
    ASSERT_TRUE(remove(*model, 40, "TypeSet"));
    EXPECT_FALSE(entityOf<ifc2x3::IfcTypeObject>(*model, 40)->testHasPropertySets());
    for (Step::Id key : {50, 51, 52, 53}) {
        EXPECT_FALSE(model->dataSet()->get(key)) << key;
    }
    EXPECT_TRUE(saveAndReopen(*model));
}

// The holders found from the sets are the objects removal finds the sets on
// by walking every object's relations, with a set added by an edit too.
TEST(PropertySetHolders, AreTheObjectsRemovalFindsTheSetsOn)
{
    const std::vector<std::pair<std::vector<std::string>, std::vector<Step::Id>>> cases = {
        {{"Shared"}, {20, 21, 22}},
        {{"TypeSet"}, {40, 41}},
        {{"Shared", "TypeSet"}, {20, 21, 22, 40, 41}},
        {{"None"}, {}},
        {{"Added"}, {21}},
        {{"Added", "TypeSet"}, {21, 40, 41}}};
    for (const auto& [names, expected] : cases) {
        auto model = openText(sharedModel);
        ASSERT_TRUE(model);
        ASSERT_TRUE(add(*model, 21, "Added", "Note", QVariant("n")));
        const std::vector<Step::Id> holders = PropertySetUtils::holdersOfSets(*model->dataSet(), names);
        EXPECT_EQ(holders, expected) << names.front();
        std::vector<ifc2x3::IfcObjectDefinition*> all;
        for (const auto& object : model->dataSet()->getAllIfcObjectDefinition()) {
            all.push_back(object.get());
        }
        std::vector<Step::Id> removedFrom;
        for (const auto* object : PropertySetUtils::removePropertySets(all, names)) {
            removedFrom.push_back(object->getKey());
        }
        std::sort(removedFrom.begin(), removedFrom.end());
        EXPECT_EQ(holders, removedFrom) << names.front();
        EXPECT_TRUE(PropertySetUtils::holdersOfSets(*model->dataSet(), names).empty()) << names.front();
    }
}

template <class Spellings> void checkSetsNamed(IFC2x3Model& model, const Spellings& spellings)
{
    int key = 200;
    for (const auto& [written, name] : spellings) {
        const QString path = QStringLiteral("Properties/") + QString::fromUtf8(name) + QStringLiteral("/Value");
        EXPECT_EQ(valueAt(model, 100, path), QVariant(key)) << written;
        EXPECT_EQ(PropertySetUtils::holdersOfSets(*model.dataSet(), {name}), std::vector<Step::Id>{100}) << written;
        key += 3;
    }
    EXPECT_TRUE(PropertySetUtils::holdersOfSets(*model.dataSet(), {"Quantites"}).empty());
}

// Sets are told apart by the names their records bear when the model is
// opened, whatever the spelling: paths and the holders of a name find the
// set of that name, and only it.
TEST(PropertySetNames, EverySpellingIsFoundByPathAndAmongTheHolders)
{
    const std::pair<const char*, const char*> spellings[] = {
        {"Pset_Plain", "Pset_Plain"},
        {"Quantit\\X2\\00E9\\X0\\s", "Quantit\u00e9s"},
        {"Quantit\u00e9s brutes", "Quantit\u00e9s brutes"}, // raw UTF-8, as some exporters write
        {"It''s", "It's"},
        {"Back\\\\slash", "Back\\slash"},
        {"  spaced ", "  spaced "},
        {"\\S\\i", "\u00e9"}, // ISO 8859-1 from the upper half
    };
    std::string data = projectWithUnits("") + "#100=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',$,'Wall',$,$,$,$,$);\n";
    int key = 200;
    for (const auto& [written, name] : spellings) {
        data += "#" + std::to_string(key) + "=IFCPROPERTYSINGLEVALUE('Value',$,IFCINTEGER(" + std::to_string(key) +
                "),$);\n#" + std::to_string(key + 1) + "=IFCPROPERTYSET('0Hs9dOlcnFNe6wH3RPsSxC',$,'" + written +
                "',$,(#" + std::to_string(key) + "));\n#" + std::to_string(key + 2) +
                "=IFCRELDEFINESBYPROPERTIES('1w8vT3Y8P0N9o0GtXDoRAa',$,$,$,(#100),#" + std::to_string(key + 1) + ");\n";
        key += 3;
    }
    for (const bool decodedFirst : {false, true}) {
        SCOPED_TRACE(decodedFirst ? "every instance decoded first" : "sets read from their text");
        std::unique_ptr<IFC2x3Model> model = openText(data);
        if (!decodedFirst) {
            auto opened = std::make_unique<ifc2x3::ExpressDataSet>();
            ASSERT_TRUE(opened->openFromText(stepFile(data)));
            model = std::make_unique<IFC2x3Model>(std::move(opened));
        }
        ASSERT_TRUE(model);
        checkSetsNamed(*model, spellings);
    }
}

TEST_F(PropertySetEditing, ReadsFollowEveryKindOfEditOfTheRelations)
{
    // Each read comes before and after an edit, so that nothing read
    // earlier may be served again.
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("red"));
    ASSERT_TRUE(remove(*model, 20, "Shared"));
    EXPECT_EQ(childCount(*model, 20, "Properties/Shared"), -1);

    // Direct edits of the data set: a new relation, then its deletion.
    EXPECT_FALSE(model->getProperty(indexOf(*model, 23), "Type"));
    auto* relation = model->dataSet()->createEntity<ifc2x3::IfcRelDefinesByType>();
    relation->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(23)}));
    relation->setRelatingType(entityOf<ifc2x3::IfcTypeObject>(*model, 41));
    EXPECT_EQ(valueAt(*model, 23, "Type/Fields/Name"), QVariant("Type 41"));
    model->dataSet()->remove(relation->getKey());
    EXPECT_FALSE(model->getProperty(indexOf(*model, 23), "Type"));

    // An edit that neither creates nor deletes is seen too.
    auto* shared = entityOf<ifc2x3::IfcRelDefinesByProperties>(*model, 34);
    shared->setRelatedObjectsValue(Step::Value::list({Step::Value::reference(21), Step::Value::reference(23)}));
    EXPECT_EQ(valueAt(*model, 23, "Properties/Shared/Colour"), QVariant("red"));
}

TEST(PropertySetEditingSharedParts, APropertyListedByTwoSetsSurvivesEditsOfEither)
{
    // Some exporters list one property instance in several sets: #31 is in
    // set #30 of wall #20 and in set #40 of wall #21.
    auto model = openText(fixture("property-in-two-sets.ifc"));
    ASSERT_TRUE(model);
    ASSERT_TRUE(add(*model, 21, "Other", "Colour", QStringLiteral("blue")));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Other/Colour"), QVariant("blue"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Common/Colour"), QVariant("red"));
    ASSERT_TRUE(remove(*model, 21, "Other"));
    EXPECT_FALSE(model->dataSet()->get(40));
    EXPECT_EQ(entityOf<ifc2x3::IfcPropertySingleValue>(*model, 31)->getNominalValueValue().plain().text(), "red");
    ASSERT_TRUE(remove(*model, 20, "Common"));
    EXPECT_FALSE(model->dataSet()->get(32)) << "listed by the removed set alone";
    EXPECT_TRUE(saveAndReopen(*model));
}

// The model's context keeps the parts it found shared between its edits;
// a part shared by an edit made without it must be seen as such afterwards.
TEST(PropertySetEditingSharedParts, TheModelsContextSeesPartsSharedByOtherEdits)
{
    auto model = openText(fixture("property-in-two-sets.ifc"));
    ASSERT_TRUE(model);
    auto write = [&](Step::Id key, const char* set, const char* name, const char* value) {
        return PropertySetUtils::addProperty(model->editContext(), objectOf(*model, key), Step::String(set),
                                             Step::String(name), QString::fromLatin1(value), IfcValue::IfcLabel,
                                             ifc2x3::IfcSIPrefix_UNSET, true);
    };
    ASSERT_TRUE(write(21, "Other", "Colour", "blue"));
    auto* other = entityOf<ifc2x3::IfcPropertySet>(*model, 40);
    std::vector<ifc2x3::IfcProperty*> properties = other->getHasProperties();
    properties.push_back(entityOf<ifc2x3::IfcProperty>(*model, 32));
    other->setHasProperties(properties);

    ASSERT_TRUE(write(20, "Common", "Size", "L"));
    EXPECT_EQ(valueAt(*model, 20, "Properties/Common/Size"), QVariant("L"));
    EXPECT_EQ(valueAt(*model, 21, "Properties/Other/Size"), QVariant("M"));
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
    ASSERT_TRUE(remove(*model, 20, "Deep"));
    EXPECT_EQ(model->dataSet()->instanceCount(), instances);
    ASSERT_TRUE(remove(*model, 21, "Deep"));
    EXPECT_EQ(model->dataSet()->instanceCount(), instances - depth - 3);
}

// With the largest instance number in use, nothing can be created: edits
// that need a new instance fail and leave the model as it was.
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
    EXPECT_EQ(valueAt(*model, 20, "Properties/Shared/Colour"), QVariant("red"));
    EXPECT_EQ(valueAt(*model, 40, "Properties/TypeSet/Grade"), QVariant("A"));
    EXPECT_TRUE(remove(*model, 22, "Shared"));
    EXPECT_TRUE(saveAndReopen(*model));
}

} // namespace

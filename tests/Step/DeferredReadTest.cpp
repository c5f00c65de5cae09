// The instances of a typed list are read from their text when one of their
// values is first asked for: what they hold, what is saved and what a
// rollback restores are as if they had been decoded when listed.
#include "StepText.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

using Edit = std::function<void(ifc2x3::ExpressDataSet&)>;

/// A value as the file would have it, for messages that say what differs.
/// A reference to a deleted instance reads as unset, as saving writes it:
/// values decoded before a deletion still hold it, values read after it
/// do not.
std::string render(const Step::Value& value, const Step::BaseExpressDataSet& dataSet)
{
    using Kind = Step::Value::Kind;
    switch (value.kind()) {
    case Kind::Null:
        return "$";
    case Kind::Derived:
        return "*";
    case Kind::Integer:
        return std::to_string(value.integerValue());
    case Kind::Real:
        return std::to_string(value.realValue());
    case Kind::String:
        return "'" + std::string(value.text()) + "'";
    case Kind::Enumeration:
        return "." + std::string(value.text()) + ".";
    case Kind::Binary:
        return "\"" + std::string(value.text()) + "\"";
    case Kind::Reference:
        return dataSet.contains(value.referenceKey()) ? "#" + std::to_string(value.referenceKey()) : "$";
    case Kind::List: {
        std::string items;
        for (const Step::Value& item : value.items()) {
            if (const std::string text = render(item, dataSet); text != "$") {
                items += (items.empty() ? "" : ",") + text;
            }
        }
        return "(" + items + ")";
    }
    case Kind::Typed:
        return std::string(value.text()) + "(" + render(value.inner(), dataSet) + ")";
    }
    return "?";
}

/// Every value of every object definition, and the text saved, after an
/// edit made with the objects listed first (their values unread) or
/// decoded one by one first.
struct Outcome
{
    std::vector<std::string> values;
    std::string text;
};

Outcome outcomeOf(const std::string& model, const Edit& edit, bool listedFirst)
{
    ifc2x3::ExpressDataSet dataSet;
    EXPECT_TRUE(dataSet.openFromText(model));
    if (listedFirst) {
        for (const auto& object : dataSet.getAllIfcObjectDefinition()) {
            EXPECT_TRUE(object->argumentsUnread()) << "#" << object->getKey();
        }
    } else {
        for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
            dataSet.getBySlot(slot);
        }
    }
    edit(dataSet);
    Outcome outcome;
    for (const auto& object : dataSet.getAllIfcObjectDefinition()) {
        std::string values = "#" + std::to_string(object->getKey()) + "=";
        for (const Step::Value& value : object->arguments()) {
            values += render(value, dataSet) + ",";
        }
        outcome.values.push_back(values);
    }
    outcome.text = dataSet.toText();
    return outcome;
}

TEST(DeferredRead, ListedInstancesHoldAndSaveWhatDecodedOnesDo)
{
    auto name = [](Step::Id key, const char* text) {
        return [key, text](ifc2x3::ExpressDataSet& dataSet) {
            static_cast<ifc2x3::IfcRoot*>(dataSet.get(key))->setName(text);
        };
    };
    auto removeAll = [](std::vector<Step::Id> keys) {
        return [keys](ifc2x3::ExpressDataSet& dataSet) {
            for (const Step::Id key : keys) {
                ASSERT_TRUE(dataSet.remove(key)) << key;
            }
        };
    };
    const struct
    {
        const char* what;
        Edit edit;
        bool changesText;
    } cases[] = {
        {"nothing", [](ifc2x3::ExpressDataSet&) {}, false},
        {"a wall renamed", name(20, "Renamed"), true},
        {"the set a type lists deleted", removeAll({41}), true},
        {"the units the project names deleted", removeAll({3}), true},
        {"a type and its set deleted", removeAll({30, 41}), true},
        {"deletions rolled back",
         [removeAll](ifc2x3::ExpressDataSet& dataSet) {
             ASSERT_TRUE(dataSet.beginJournal());
             removeAll({30, 41, 3, 20})(dataSet);
             dataSet.rollbackJournal();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome listed = outcomeOf(ifctest::smallModel(), c.edit, true);
        const Outcome decoded = outcomeOf(ifctest::smallModel(), c.edit, false);
        EXPECT_EQ(listed.values, decoded.values);
        EXPECT_EQ(listed.text, decoded.text);
        EXPECT_EQ(listed.text != ifctest::smallModel(), c.changesText);
    }
}

TEST(DeferredRead, AnUnreadableRecordLeavesTheValuesUnsetAndTheTextAsItWas)
{
    std::string model = ifctest::smallModel();
    const std::string wall = "#60=IFCWALL('0060wallC00000000000000',$,$,$,$,$,$,$);";
    const std::string broken = "#60=IFCWALL('0060wallC00000000000000',$,$,$,$,$,$,$,#);";
    ASSERT_NE(model.find(wall), std::string::npos);
    model.replace(model.find(wall), wall.size(), broken);

    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(model));
    const auto objects = dataSet.getAllIfcObjectDefinition();
    const auto unreadable =
        std::find_if(objects.begin(), objects.end(), [](const auto& o) { return o->getKey() == 60; });
    ASSERT_NE(unreadable, objects.end());
    EXPECT_EQ((*unreadable)->argumentCount(), 0u);
    EXPECT_TRUE(ifctest::anyContains(dataSet.takeWarnings(), "#60"));
    EXPECT_EQ(dataSet.get(60), nullptr) << "read as a record that cannot be read";
    EXPECT_EQ(dataSet.toText(), model);
}

TEST(DeferredRead, AValueFirstAskedForAfterTheFileChangedIsUnsetAndSaid)
{
    ifctest::TempDir dir;
    const std::string path = dir.file("model.ifc");
    ifctest::writeFile(path, ifctest::smallModel());
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.open(path));
    const auto objects = dataSet.getAllIfcObjectDefinition();
    auto listed = [&objects](Step::Id key) {
        const auto found =
            std::find_if(objects.begin(), objects.end(), [key](const auto& o) { return o->getKey() == key; });
        return found == objects.end() ? nullptr : static_cast<ifc2x3::IfcRoot*>(found->get());
    };
    ifc2x3::IfcRoot* wallA = listed(20);
    ifc2x3::IfcRoot* wallB = listed(21);
    ASSERT_TRUE(wallA && wallB);
    EXPECT_EQ(wallA->getName().toUtf8(), "Wall A") << "read before the change";

    ifctest::writeFile(path, "/* exported again */\n" + ifctest::smallModel());
    EXPECT_FALSE(wallB->getNameValue().isSet());
    EXPECT_EQ(wallA->getName().toUtf8(), "Wall A") << "kept";
    EXPECT_TRUE(ifctest::anyContains(dataSet.takeWarnings(), "changed by another program"));
    EXPECT_FALSE(dataSet.sourceIntact());
}

TEST(DeferredRead, ThreadsReadingTheSameInstancesAtOnceGetTheirValues)
{
    ifc2x3::ExpressDataSet decoded;
    ASSERT_TRUE(decoded.openFromText(ifctest::smallModel()));
    std::vector<Step::String> expected;
    for (const auto& object : decoded.getAllIfcObjectDefinition()) {
        expected.push_back(ifc2x3::ExpressDataSet::label(*object));
    }

    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    const auto objects = dataSet.getAllIfcObjectDefinition();
    std::vector<std::vector<Step::String>> seen(4);
    std::vector<std::thread> readers;
    for (auto& labels : seen) {
        readers.emplace_back([&objects, &labels] {
            for (const auto& object : objects) {
                labels.push_back(ifc2x3::ExpressDataSet::label(*object));
            }
        });
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    for (const auto& labels : seen) {
        EXPECT_EQ(labels, expected);
    }
}

} // namespace

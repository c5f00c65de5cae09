// Edits made under a journal and rolled back leave the data set as it was:
// its text, keys, lists and inverse relations.
#include "StepText.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using ifctest::Keys;
using ifctest::keysOf;

Keys inverseKeys(ifc2x3::ExpressDataSet& dataSet, Step::Id target, ifc2x3::InverseRelation relation)
{
    const Step::BaseEntity* entity = dataSet.get(target);
    return entity ? keysOf(dataSet.inverse(*entity, relation)) : Keys{};
}

/// What an observer can tell of the data set.
struct State
{
    std::string text;
    bool modified;
    Keys objects;
    Keys propertySets;
    Keys definedBy20;
    Keys definedBy60;

    static State of(ifc2x3::ExpressDataSet& dataSet)
    {
        return {dataSet.toText(),
                dataSet.isModified(),
                keysOf(dataSet.getAllIfcObjectDefinition()),
                keysOf(dataSet.allOf<ifc2x3::IfcPropertySet>()),
                inverseKeys(dataSet, 20, ifc2x3::InverseRelation::IsDefinedBy),
                inverseKeys(dataSet, 60, ifc2x3::InverseRelation::IsDefinedBy)};
    }
    bool operator==(const State& o) const
    {
        return text == o.text && modified == o.modified && objects == o.objects && propertySets == o.propertySets &&
               definedBy20 == o.definedBy20 && definedBy60 == o.definedBy60;
    }
};

using Edit = std::function<void(ifc2x3::ExpressDataSet&)>;

ifc2x3::IfcPropertySet* newSet(ifc2x3::ExpressDataSet& dataSet)
{
    return dataSet.createEntity<ifc2x3::IfcPropertySet>([](ifc2x3::IfcPropertySet& set) { set.setName("New"); });
}

struct Script
{
    const char* name;
    Edit edit;
};

const Script scripts[] = {
    {"rename", [](auto& d) { dynamic_cast<ifc2x3::IfcRoot*>(d.get(21))->setName("Renamed"); }},
    {"delete a decoded element", [](auto& d) { ASSERT_TRUE(d.remove(21)); }},
    {"delete a set and its relation", [](auto& d) { ASSERT_TRUE(d.remove(40) && d.remove(56) && d.remove(7)); }},
    // #43 is listed by #40, decoded only after it went.
    {"read a record naming a deleted instance", [](auto& d) { ASSERT_TRUE(d.remove(43) && d.get(40)); }},
    {"create, change and delete",
     [](auto& d) {
         ifc2x3::IfcPropertySet* set = newSet(d);
         set->setName("Changed");
         ASSERT_TRUE(d.remove(set->getKey()));
     }},
    {"create a relation to an existing element",
     [](auto& d) {
         const Step::Id set = newSet(d)->getKey();
         d.template createEntity<ifc2x3::IfcRelDefinesByProperties>([&](ifc2x3::IfcRelDefinesByProperties& rel) {
             rel.setArgument(4, Step::Value::list({Step::Value::reference(60)}));
             rel.setArgument(5, Step::Value::reference(set));
         });
     }},
    {"relink a relation, then delete what it named",
     [](auto& d) {
         d.get(7)->setArgument(4, Step::Value::list({Step::Value::reference(20)}));
         ASSERT_TRUE(d.remove(60) && d.remove(20));
     }},
};

class Journal : public ::testing::TestWithParam<Script>
{
};

enum class Before { Nothing, Edits, OuterJournal };

TEST_P(Journal, RollbackLeavesTheDataSetAsItFoundIt)
{
    for (const Before before : {Before::Nothing, Before::Edits, Before::OuterJournal}) {
        SCOPED_TRACE(int(before));
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
        const State asRead = State::of(dataSet);
        if (before == Before::OuterJournal) {
            ASSERT_TRUE(dataSet.beginJournal());
        }
        if (before != Before::Nothing) {
            dynamic_cast<ifc2x3::IfcRoot*>(dataSet.get(20))->setName("Edited before");
            newSet(dataSet);
        }
        const State atStart = State::of(dataSet);
        const Step::Id maxKey = dataSet.maxKey();
        ASSERT_TRUE(dataSet.beginJournal());
        GetParam().edit(dataSet);
        EXPECT_TRUE(dataSet.isModified());
        dataSet.rollbackJournal();
        EXPECT_EQ(dataSet.journalOpen(), before == Before::OuterJournal);
        EXPECT_TRUE(State::of(dataSet) == atStart);
        EXPECT_EQ(dataSet.maxKey(), maxKey);
        if (before == Before::OuterJournal) {
            dataSet.rollbackJournal();
            EXPECT_TRUE(State::of(dataSet) == asRead) << "the outer journal undoes its own edits";
        }
        // Keys are not used twice, and the data set goes on working.
        const Step::Id next = dataSet.maxKey() + 1;
        EXPECT_EQ(newSet(dataSet)->getKey(), next);
    }
}

// A journal kept inside another is undone with it.
TEST_P(Journal, KeptInsideAnotherIsUndoneWithIt)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    const State asRead = State::of(dataSet);
    ASSERT_TRUE(dataSet.beginJournal());
    newSet(dataSet);
    ASSERT_TRUE(dataSet.beginJournal());
    EXPECT_EQ(dataSet.journalDepth(), 2u);
    GetParam().edit(dataSet);
    dataSet.commitJournal();
    EXPECT_EQ(dataSet.journalDepth(), 1u);
    dataSet.rollbackJournal();
    EXPECT_FALSE(dataSet.journalOpen());
    EXPECT_TRUE(State::of(dataSet) == asRead);
}

TEST_P(Journal, CommitKeepsTheEdits)
{
    ifc2x3::ExpressDataSet reference;
    ASSERT_TRUE(reference.openFromText(ifctest::smallModel()));
    GetParam().edit(reference);

    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    ASSERT_TRUE(dataSet.beginJournal());
    GetParam().edit(dataSet);
    dataSet.commitJournal();
    EXPECT_FALSE(dataSet.journalOpen());
    EXPECT_TRUE(State::of(dataSet) == State::of(reference));
}

INSTANTIATE_TEST_SUITE_P(Edits, Journal, ::testing::ValuesIn(scripts), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
});

// A save inside a journal: the saved state is the unmodified one, and the
// state rolled back to is modified, since it is not what the file holds.
TEST(JournalSave, StatesBeforeASaveAreModified)
{
    ifctest::TempDir dir;
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    const std::string asRead = dataSet.toText();
    ASSERT_TRUE(dataSet.beginJournal());
    dynamic_cast<ifc2x3::IfcRoot*>(dataSet.get(21))->setName("Saved");
    ASSERT_TRUE(dataSet.beginJournal()); // opened at the state saved next
    ASSERT_TRUE(dataSet.save(dir.file("saved.ifc")));
    EXPECT_FALSE(dataSet.isModified());
    dataSet.rollbackJournal();
    EXPECT_FALSE(dataSet.isModified()) << "nothing changed since the save";
    dataSet.rollbackJournal();
    EXPECT_TRUE(dataSet.isModified());
    EXPECT_EQ(dataSet.toText(), asRead);
}

} // namespace

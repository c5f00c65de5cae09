// Creating, changing and deleting instances, then saving and reading the
// result back.
#include "StepText.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Step::Value;

std::vector<std::string> dataLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

class EditTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dataSet.openFromText(ifctest::smallModel())); }

    /// Saves, checks nothing was lost on the way and reopens the file.
    std::string saveAndReload(ifc2x3::ExpressDataSet& reloaded)
    {
        const std::string path = m_dir.file("edited.ifc");
        std::string error;
        EXPECT_TRUE(m_dataSet.save(path, &error)) << error;
        EXPECT_FALSE(m_dataSet.isModified());
        const std::string text = ifctest::readFile(path);
        EXPECT_TRUE(reloaded.open(path)) << reloaded.lastError().toString();
        for (std::size_t slot = 0; slot < reloaded.slotCount(); ++slot) {
            EXPECT_NE(reloaded.getBySlot(slot), nullptr) << "#" << reloaded.slotKey(slot);
        }
        const std::vector<std::string> warnings = reloaded.takeWarnings();
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        return text;
    }

    ifctest::TempDir m_dir;
    ifc2x3::ExpressDataSet m_dataSet;
};

TEST_F(EditTest, CreateChangeDeleteSaveReload)
{
    const std::string original = ifctest::smallModel();

    // A property set with one typed single value, attached to wall B.
    auto* property = m_dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
    property->setName("FireRating");
    property->setNominalValueValue(Value::typed("IFCLABEL", Value::string("REI 90 \xE2\x80\x93 \xC3\xA4")));
    auto* set = m_dataSet.createEntity<ifc2x3::IfcPropertySet>();
    set->setGlobalId("1new0pset0000000000000");
    set->setName("Pset_Custom");
    set->setHasProperties({property});
    auto* relation = m_dataSet.createEntity<ifc2x3::IfcRelDefinesByProperties>();
    relation->setGlobalId("1new0relation000000000");
    relation->setRelatedObjects({dynamic_cast<ifc2x3::IfcObject*>(m_dataSet.get(21))});
    relation->setRelatingPropertyDefinition(set);
    const std::set<Step::Id> created{property->getKey(), set->getKey(), relation->getKey()};

    // A change of an attribute.
    auto* wallB = dynamic_cast<ifc2x3::IfcWallStandardCase*>(m_dataSet.get(21));
    wallB->setName("Wall B \xE2\x82\xAC");

    // Deletions of instances named by records nobody has decoded: #43 from
    // the list of #40, #45 from a single attribute of #9, #22 from single
    // attributes of #54 and #55. #60, the highest key, goes too.
    ASSERT_EQ(m_dataSet.slotState(m_dataSet.slotOfKey(40)), Step::BaseExpressDataSet::SlotState::Unloaded);
    ASSERT_EQ(m_dataSet.slotState(m_dataSet.slotOfKey(9)), Step::BaseExpressDataSet::SlotState::Unloaded);
    const std::set<Step::Id> deleted{43, 45, 22, 60};
    for (Step::Id key : deleted) {
        ASSERT_TRUE(m_dataSet.remove(key));
        EXPECT_EQ(m_dataSet.get(key), nullptr);
        EXPECT_FALSE(m_dataSet.contains(key));
    }
    EXPECT_FALSE(m_dataSet.remove(43)) << "already deleted";
    EXPECT_FALSE(m_dataSet.remove(999)) << "never existed";

    // Fresh keys: above every key the file used, deleted ones included.
    auto* late = m_dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
    late->setName("Late");
    std::set<Step::Id> keys = created;
    keys.insert(late->getKey());
    EXPECT_EQ(keys.size(), 4u);
    for (Step::Id key : keys) {
        EXPECT_GT(key, 60u);
    }
    EXPECT_EQ(m_dataSet.instanceCount(), dataLines(original).size() + 4 - deleted.size());
    EXPECT_TRUE(m_dataSet.isModified());

    ifc2x3::ExpressDataSet reloaded;
    const std::string saved = saveAndReload(reloaded);

    for (Step::Id key : deleted) {
        EXPECT_FALSE(ifctest::mentionsKey(saved, key)) << "#" << key << " in\n" << saved;
        EXPECT_FALSE(reloaded.contains(key));
    }
    // Records that were not touched are written as they were.
    const std::set<Step::Id> touched{21, 40, 9, 54, 55, 53, 7};
    std::size_t kept = 0;
    for (const std::string& line : dataLines(original)) {
        const Step::Id key = std::stoull(line.substr(1));
        if (!touched.count(key) && !deleted.count(key)) {
            EXPECT_EQ(ifctest::recordLine(saved, key), line);
            ++kept;
        }
    }
    EXPECT_EQ(kept, dataLines(original).size() - touched.size() - deleted.size());
    EXPECT_EQ(dataLines(saved).size(), m_dataSet.instanceCount());

    // What the edits left of the records that named deleted instances.
    for (const char* record :
         {"#40=IFCPROPERTYSET('0040pset000000000000000',$,'Pset_WallCommon',$,(#42));",
          "#9=IFCRELDEFINESBYPROPERTIES('0009defquantities000000',$,$,$,(#20),$);",
          "#54=IFCRELVOIDSELEMENT('0054voids0000000000000',$,$,$,#20,$);",
          "#53=IFCRELCONTAINEDINSPATIALSTRUCTURE('0053contained0000000000',$,$,$,(#20,#21,#23,#24),#12);"}) {
        EXPECT_EQ(ifctest::recordLine(saved, std::stoull(record + 1)), record);
    }
    EXPECT_EQ(dynamic_cast<ifc2x3::IfcRoot*>(reloaded.get(21))->getName(), Step::String("Wall B \xE2\x82\xAC"));
    EXPECT_EQ(ifctest::recordLine(saved, property->getKey()),
              "#" + std::to_string(property->getKey()) +
                  "=IFCPROPERTYSINGLEVALUE('FireRating',$,IFCLABEL('REI 90 \\X2\\2013\\X0\\ \\X2\\00E4\\X0\\'),$);");
    EXPECT_EQ(ifctest::recordLine(saved, set->getKey()),
              "#" + std::to_string(set->getKey()) + "=IFCPROPERTYSET('1new0pset0000000000000',$,'Pset_Custom',$,(#" +
                  std::to_string(property->getKey()) + "));");
    EXPECT_EQ(reloaded.inverse(*reloaded.get(21), ifc2x3::InverseRelation::IsDefinedBy).back()->getKey(),
              relation->getKey());
}

// References to deleted instances go, whether their record is decoded and
// written anew or cannot be decoded and is rewritten as text: an entry drops
// out of a list, a single reference becomes $. Quotes in comments and
// comment marks in strings hide none of them.
TEST(DeletedReferences, AreRemovedFromEveryKindOfRecord)
{
    const struct
    {
        const char* record;
        const char* withoutFirst;
        const char* withoutEither;
    } cases[] = {
        {"#3=IFCFOOBAR(#1,(#2,#1),(#1),'#1',IFCX(#1),/* #1 */#2);", "#3=IFCFOOBAR($,(#2),(),'#1',IFCX($),/* #1 */#2);",
         "#3=IFCFOOBAR($,(),(),'#1',IFCX($),/* #1 */$);"},
        {"#4=(IFCFOO(#1,(#1,#2)) IFCBAR((#2,#1)));", "#4=(IFCFOO($,(#2)) IFCBAR((#2)));",
         "#4=(IFCFOO($,()) IFCBAR(()));"},
        {"#5=IFCPOLYLINE((#1,#2),'too many');", "#5=IFCPOLYLINE((#2),'too many');", "#5=IFCPOLYLINE((),'too many');"},
        {"#6=IFCPOLYLINE(/* it's */(#1,#2));", "#6=IFCPOLYLINE((#2));", "#6=IFCPOLYLINE(());"},
        {"#7=IFCFOOBAR(/* it's */#1,'a''/*',#1,'*/',#2);", "#7=IFCFOOBAR(/* it's */$,'a''/*',$,'*/',#2);",
         "#7=IFCFOOBAR(/* it's */$,'a''/*',$,'*/',$);"},
        {"#8 /* x='y */ =IFCFOOBAR((#2,#1));", "#8 /* x='y */ =IFCFOOBAR((#2));", "#8 /* x='y */ =IFCFOOBAR(());"},
    };
    std::string data = "#1=IFCCARTESIANPOINT((0.,0.));\n#2=IFCCARTESIANPOINT((1.,0.));\n";
    for (const auto& c : cases) {
        data += std::string(c.record) + "\n";
    }
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::stepFile(data)));
    ASSERT_TRUE(dataSet.remove(1));
    const std::string first = dataSet.toText();
    // A second deletion builds on the first.
    ASSERT_TRUE(dataSet.remove(2));
    const std::string second = dataSet.toText();
    for (const auto& c : cases) {
        EXPECT_NE(first.find("\n" + std::string(c.withoutFirst) + "\n"), std::string::npos) << c.withoutFirst;
        EXPECT_NE(second.find("\n" + std::string(c.withoutEither) + "\n"), std::string::npos) << c.withoutEither;
    }
    EXPECT_FALSE(ifctest::mentionsKey(second.substr(second.find("DATA;")), 2)) << second;
}

TEST_F(EditTest, NewModelFromNothing)
{
    ifc2x3::ExpressDataSet empty;
    auto* project = empty.createEntity<ifc2x3::IfcProject>();
    project->setGlobalId("2new0project0000000000");
    project->setName("It's new");
    auto* unit = empty.createEntity<ifc2x3::IfcSIUnit>();
    EXPECT_EQ(unit->argument(0).kind(), Value::Kind::Derived) << "Dimensions is derived";
    unit->setUnitType("LENGTHUNIT");
    unit->setName("METRE");

    ifc2x3::ExpressDataSet reloaded;
    ASSERT_TRUE(reloaded.openFromText(empty.toText())) << reloaded.lastError().toString() << empty.toText();
    EXPECT_EQ(reloaded.instanceCount(), 2u);
    auto* back = dynamic_cast<ifc2x3::IfcProject*>(reloaded.get(project->getKey()));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getName(), Step::String("It's new"));
    EXPECT_EQ(ifctest::recordLine(reloaded.toText(), unit->getKey()),
              "#" + std::to_string(unit->getKey()) + "=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);");
}

} // namespace

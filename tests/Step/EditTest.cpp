// Creating, changing and deleting instances, then saving and reading the
// result back; instances live in their data set's arena.
#include "StepText.h"

#include "Step/RefPtr.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>

namespace {

using Step::Value;

std::vector<std::string> dataLines(const std::string& text)
{
    static const std::regex record("^#.*$", std::regex::multiline);
    return {std::sregex_token_iterator(text.begin(), text.end(), record), std::sregex_token_iterator()};
}

TEST(EditTest, CreateChangeDeleteSaveReload)
{
    const std::string original = ifctest::smallModel();
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(original));
    dynamic_cast<ifc2x3::IfcRoot*>(dataSet.get(21))->setName("Wall B \xE2\x82\xAC");

    // Deletions of instances named by records nobody has decoded: #43 from
    // the list of #40, #45 from a single attribute of #9, #22 from single
    // attributes of #54 and #55. #60, the highest key, goes too.
    const std::set<Step::Id> deleted{43, 45, 22, 60};
    for (Step::Id key : deleted) {
        ASSERT_TRUE(dataSet.remove(key));
        EXPECT_FALSE(dataSet.contains(key));
    }
    EXPECT_FALSE(dataSet.remove(43)) << "already deleted";
    EXPECT_FALSE(dataSet.remove(999)) << "never existed";

    // Instances of many sizes made and deleted in turns: the blocks freed go
    // to later ones, and those left must stay whole.
    std::map<Step::Id, std::string> made;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 20; ++i) {
            auto* temporary = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
            made[temporary->getKey()] = "T" + std::to_string(temporary->getKey()) + std::string(8 * i, 'x');
            temporary->setName(made[temporary->getKey()]);
        }
        bool drop = round % 2 == 0;
        for (auto it = made.begin(); it != made.end(); drop = !drop) {
            if (drop) {
                ASSERT_TRUE(dataSet.remove(it->first));
                it = made.erase(it);
            } else {
                ++it;
            }
        }
    }

    // A fresh key: above every key the file used, deleted ones included.
    auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
    property->setName("FireRating");
    property->setNominalValueValue(Value::typed("IFCLABEL", Value::string("REI 90 \xE2\x80\x93 \xC3\xA4")));
    EXPECT_GT(property->getKey(), 60u);
    EXPECT_EQ(dataSet.instanceCount(), dataLines(original).size() + made.size() + 1 - deleted.size());

    ifctest::TempDir dir;
    std::string error;
    ASSERT_TRUE(dataSet.save(dir.file("edited.ifc"), &error)) << error;
    EXPECT_FALSE(dataSet.isModified());
    const std::string saved = ifctest::readFile(dir.file("edited.ifc"));
    ifc2x3::ExpressDataSet reloaded;
    ASSERT_TRUE(reloaded.openFromText(saved)) << reloaded.lastError().toString();

    for (Step::Id key : deleted) {
        EXPECT_FALSE(ifctest::mentionsKey(saved, key)) << "#" << key << " in\n" << saved;
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
    EXPECT_EQ(dataLines(saved).size(), dataSet.instanceCount());
    for (const auto& [key, name] : made) {
        EXPECT_EQ(ifctest::recordLine(saved, key),
                  "#" + std::to_string(key) + "=IFCPROPERTYSINGLEVALUE('" + name + "',$,$,$);");
    }

    EXPECT_EQ(dynamic_cast<ifc2x3::IfcRoot*>(reloaded.get(21))->getName(), Step::String("Wall B \xE2\x82\xAC"));
    EXPECT_EQ(ifctest::recordLine(saved, property->getKey()),
              "#" + std::to_string(property->getKey()) +
                  "=IFCPROPERTYSINGLEVALUE('FireRating',$,IFCLABEL('REI 90 \\X2\\2013\\X0\\ \\X2\\00E4\\X0\\'),$);");
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
        // A comment next to a dropped entry keeps its place, the comma goes.
        {"#9=IFCFOOBAR((#2,/* c */#1),(#1 /* d */,#2));", "#9=IFCFOOBAR((#2/* c */),( /* d */#2));",
         "#9=IFCFOOBAR((/* c */),( /* d */));"},
        // Named in a comment only: left as it was until it is written anew.
        {"#10=IFCPROPERTYSET('0010',$,/* was #1 */'Pset',$,(#2));",
         "#10=IFCPROPERTYSET('0010',$,/* was #1 */'Pset',$,(#2));", "#10=IFCPROPERTYSET('0010',$,'Pset',$,());"},
        // A lone '#' and a key too large for an instance name are no references.
        {"#11=IFCFOOBAR(#,#1,#123456789012345678901234);", "#11=IFCFOOBAR(#,$,#123456789012345678901234);",
         "#11=IFCFOOBAR(#,$,#123456789012345678901234);"},
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

TEST(EditTest, NewModelFromNothing)
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

// Creating and deleting instances, and replacing values, over and over
// reuses the freed blocks, values made in the arena included.
TEST(Arena, CreatingAndDeletingOverAndOverDoesNotGrow)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    Step::Arena* arena = &dataSet.arena();
    Step::BaseEntity* decoded = dataSet.get(20);
    ASSERT_TRUE(decoded);
    std::size_t reserved = 0;
    for (int i = 0; i < 200000; ++i) {
        if (i == 1000) {
            reserved = dataSet.arena().reservedBytes();
        }
        auto* wall = dataSet.createEntity<ifc2x3::IfcWallStandardCase>();
        wall->setArgument(2, Value::string("Temporary wall with a long enough name", i % 2 ? arena : nullptr));
        wall->setArgument(3, Value::typed("IFCLABEL", Value::string(std::to_string(i), arena), arena));
        decoded->setArgument(2, Value::list({Value::string("Renamed", arena), Value::integer(i)}, arena));
        dataSet.remove(wall->getKey());
    }
    EXPECT_EQ(dataSet.arena().reservedBytes(), reserved);
    EXPECT_EQ(decoded->argument(2).items()[1].integerValue(), 199999);
}

TEST(Arena, InstancesAndCopiesOutliveTheirDataSet)
{
    auto dataSet = std::make_unique<ifc2x3::ExpressDataSet>();
    ASSERT_TRUE(dataSet->openFromText(ifctest::smallModel()));
    Step::RefPtr<Step::BaseEntity> wall = dataSet->get(20);
    Step::RefPtr<Step::BaseEntity> property = dataSet->get(43);
    ASSERT_TRUE(wall && property);
    const Value copied = property->argument(2);
    Step::RefPtr<Step::BaseEntity> created = dataSet->create(wall->getType().id());
    created->setArgument(2, Value::string("Made here"));

    // Reopening and destroying both drop the data set's hold on the arena.
    ASSERT_TRUE(dataSet->openFromText(ifctest::smallModel()));
    dataSet.reset();

    EXPECT_EQ(wall->getExpressDataSet(), nullptr);
    EXPECT_EQ(wall->argument(2).text(), "Wall A");
    EXPECT_EQ(property->argument(2).text(), "IFCIDENTIFIER");
    EXPECT_EQ(property->argument(2).inner().text(), "W-01");
    EXPECT_EQ(copied, property->argument(2));
    EXPECT_EQ(created->argument(2).text(), "Made here");
}

} // namespace

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

    // A fresh key: above every key the file used, deleted ones included.
    auto* property = dataSet.createEntity<ifc2x3::IfcPropertySingleValue>();
    property->setName("FireRating");
    property->setNominalValueValue(Value::typed("IFCLABEL", Value::string("REI 90 \xE2\x80\x93 \xC3\xA4")));
    EXPECT_GT(property->getKey(), 60u);
    EXPECT_EQ(dataSet.instanceCount(), dataLines(original).size() + 1 - deleted.size());

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

} // namespace

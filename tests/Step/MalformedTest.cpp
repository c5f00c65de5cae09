// Broken input: files that cannot be opened say where, and records that
// cannot be read spoil only themselves.
#include "StepText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

struct BadFile
{
    const char* fixture;
    const char* message; // part of the message
    std::size_t line;
    std::size_t column;
};

const BadFile badFiles[] = {
    {"empty.ifc", "empty", 1, 1},
    {"truncated.ifc", "end of file", 9, 1},
    {"unterminated-string.ifc", "unterminated string", 9, 27},
    {"unterminated-comment.ifc", "unterminated comment", 9, 22},
    {"missing-semicolon.ifc", "';'", 9, 25},
    {"garbage.ifc", "instance name", 9, 1},
    {"duplicate-key.ifc", "#1", 10, 1},
    {"bad-instance-name.ifc", "instance name", 9, 1},
    {"overflowing-instance-name.ifc", "instance name", 9, 1},
    {"ifc4.ifc", "IFC4", 5, 1},
};

class BadFileTest : public ::testing::TestWithParam<BadFile>
{
};

TEST_P(BadFileTest, FailsWithPosition)
{
    const BadFile& bad = GetParam();
    const std::string path = ifctest::fixturePath(bad.fixture);
    // A failed open also forgets the model opened before.
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::smallModel()));
    ASSERT_NE(dataSet.get(20), nullptr);
    EXPECT_FALSE(dataSet.open(path));
    const Step::OpenError& error = dataSet.lastError();
    EXPECT_NE(error.message.find(bad.message), std::string::npos) << error.toString();
    EXPECT_EQ(error.line, bad.line) << error.toString();
    EXPECT_EQ(error.column, bad.column) << error.toString();
    EXPECT_EQ(dataSet.slotCount(), 0u) << "a failed open leaves the data set empty";
    EXPECT_EQ(dataSet.get(20), nullptr);
    EXPECT_TRUE(dataSet.getAllIfcElement().empty());

    // The same text from memory fails the same way.
    ifc2x3::ExpressDataSet fromText;
    EXPECT_FALSE(fromText.openFromText(ifctest::readFile(path)));
    EXPECT_EQ(fromText.lastError().toString(), error.toString());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BadFileTest, ::testing::ValuesIn(badFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string name(info.param.fixture, std::strchr(info.param.fixture, '.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// Errors found far from their cause name where it is: a string left open
// swallows what follows and the scan fails at the last quote of the file;
// a key repeated far apart is found in the map that indexes such keys.
// Nesting, however deep, is refused with a message, never read by
// recursing as deep.
TEST(BadFile, ErrorsFoundLateAreReportedWhereTheyStart)
{
    std::string data = "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCPROPERTYSINGLEVALUE('Name,$,$,$);\n";
    for (int key = 3; key < 4090; ++key) {
        data += "#" + std::to_string(key) + "=IFCPROPERTYSINGLEVALUE('P" + std::to_string(key) + "',$,$,$);\n";
    }
    const std::string deep = std::string(100000, '(') + "0." + std::string(100000, ')');
    std::string openString = ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.,0.));\n");
    std::string deepHeader = openString;
    openString.replace(openString.find("IFC2X3'"), 7, "IFC2X3");
    deepHeader.replace(deepHeader.find("(('IFC2X3'))"), 12, "(" + deep + ")");
    const auto repeatedKey = [](const std::string& key) {
        return ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.,0.));\n#" + key + "=IFCDIRECTION((1.,0.));\n#" + key +
                                 "=IFCDIRECTION((0.,1.));\n");
    };
    const std::tuple<std::string, const char*, std::size_t, std::size_t> cases[] = {
        {ifctest::stepFile(data), "unterminated string", 9, 27},
        {openString, "unterminated string", 5, 14},
        {deepHeader, "nested too deeply", 5, 0}, // any column of its line
        {repeatedKey("5000000"), "duplicate instance name #5000000", 10, 1},
        {repeatedKey("1099511627776"), "duplicate instance name #1099511627776", 10, 1},
    };
    ifc2x3::ExpressDataSet dataSet;
    for (const auto& [text, message, line, column] : cases) {
        EXPECT_FALSE(dataSet.openFromText(text));
        const Step::OpenError& error = dataSet.lastError();
        EXPECT_NE(error.message.find(message), std::string::npos) << error.toString();
        EXPECT_EQ(error.line, line) << error.toString();
        EXPECT_TRUE(column == 0 || error.column == column) << error.toString();
        EXPECT_EQ(dataSet.slotCount(), 0u);
    }
}

TEST(BadFile, MissingFileAndDirectory)
{
    ifc2x3::ExpressDataSet dataSet;
    EXPECT_FALSE(dataSet.open("/nonexistent/model.ifc"));
    EXPECT_NE(dataSet.lastError().message.find("/nonexistent/model.ifc"), std::string::npos);
    EXPECT_FALSE(dataSet.open("/tmp"));
    EXPECT_TRUE(dataSet.lastError().isSet());
}

TEST(BadRecords, SpoilOnlyThemselves)
{
    const std::string deep = std::string(100000, '(') + "0." + std::string(100000, ')');
    const std::string text = ifctest::stepFile(
        "#1=IFCCARTESIANPOINT((0.,0.,0.));\n"
        "#2=IFCCARTESIANPOINT((0.,0.),1.);\n"                 // one argument too many
        "#3=IFCRELAGGREGATES('0003',$,$,$,'notaref',(#1));\n" // string for a reference
        "#4=IFCCARTESIANPOINT(#1);\n"                         // reference for a list
        "#5=IFCPROPERTYSINGLEVALUE(12,$,$,$);\n"              // integer for a string
        "#6=IFCCARTESIANPOINT(" +
        deep +
        ");\n"                                                   // nested far too deep
        "#7=IFCFOOBAR(1,#1);\n"                                  // not an IFC2X3 entity
        "#8=IFCRELAGGREGATES('0008',$,$,$,#999,(#1,#998,#9));\n" // dangling references
        "#9=IFCCARTESIANPOINT((1.,2.,3.));\n"
        "#10=IFCWALLSTANDARDCASE('0010',$,'W',$,$,$,$,#99999999999999999999);\n" // reference overflows
        "#11=IFCSLAB('0011',$,$,$,$,$,$,$,'FLOOR');\n"                           // string for an enumeration
        "#12=IFCCARTESIANPOINT((1.,2.,3.),);\n"                                  // missing argument
        "#13=(IFCCARTESIANPOINT((0.,0.)) IFCREPRESENTATIONITEM());\n");          // complex instance
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(text)) << dataSet.lastError().toString();
    EXPECT_EQ(dataSet.instanceCount(), 13u);

    for (Step::Id good : {1, 8, 9}) {
        EXPECT_NE(dataSet.get(good), nullptr) << "#" << good;
    }
    for (Step::Id bad : {2, 3, 4, 5, 6, 7, 10, 11, 12, 13}) {
        EXPECT_EQ(dataSet.get(bad), nullptr) << "#" << bad;
        EXPECT_TRUE(dataSet.contains(bad)) << "#" << bad;
    }
    const std::vector<std::string> warnings = dataSet.takeWarnings();
    for (const char* key : {"#2:", "#3:", "#4:", "#5:", "#6:", "#10:", "#11:", "#12:"}) {
        EXPECT_TRUE(ifctest::anyContains(warnings, key)) << key;
    }
    EXPECT_TRUE(ifctest::anyContains(warnings, "nested too deeply"));
    EXPECT_TRUE(ifctest::anyContains(warnings, "IFCFOOBAR"));
    EXPECT_TRUE(ifctest::anyContains(warnings, "#8: reference to #999"));
    EXPECT_TRUE(ifctest::anyContains(warnings, "#8: reference to #998"));

    // Dangling references read as unset; list entries drop out.
    auto* aggregates = dynamic_cast<ifc2x3::IfcRelAggregates*>(dataSet.get(8));
    ASSERT_NE(aggregates, nullptr);
    EXPECT_TRUE(aggregates->getRelatingObjectValue().isNull());
    EXPECT_EQ(aggregates->getRelatedObjectsValue(),
              Step::Value::list({Step::Value::reference(1), Step::Value::reference(9)}));

    // Nothing of it changes the file as written back.
    EXPECT_EQ(dataSet.toText(), text);
    EXPECT_EQ(dataSet.getAllIfcObjectDefinition().size(), 0u);
    EXPECT_EQ(dataSet.countByType()[0], 2u) << "#7 and #13 have no IFC2X3 type";
}

} // namespace

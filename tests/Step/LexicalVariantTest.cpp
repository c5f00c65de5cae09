// Blanks, line breaks and comments may stand wherever two tokens meet, in
// the header as in the data section, and hold anything: a file written with
// them is the same file.
#include "StepRewriter.h"
#include "StepText.h"

#include "Step/Lexer.h"
#include "Step/RecordParser.h"

#include <gtest/gtest.h>

namespace {

using Step::Value;

// Strings holding comment marks and what ends a record, among comments
// holding quotes and parentheses.
const std::string parameters = "( 'a /* b' /* c'( */, /*;*/ '*/ ; #3 (' ,\n IFCLABEL /* ) */ ('it''s') ,$ )";
const std::vector<Value> expectedArguments = {Value::string("a /* b"), Value::string("*/ ; #3 ("),
                                              Value::typed("IFCLABEL", Value::string("it's")), Value::null()};

TEST(RecordHead, CommentsBetweenItsTokensHideNoRecord)
{
    const std::string longComment = "/*" + std::string(70000, '(') + "*/";
    const std::string heads[] = {
        "#10=IFCPROPERTYSINGLEVALUE",
        "#10= /* north wall (load-bearing) */ IFCPROPERTYSINGLEVALUE",
        "#10/*(*/=/*)*/IfcPropertySingleValue/*(*/",
        "#10 =\n/* it's ( */\nIFCPROPERTYSINGLEVALUE ",
        "#10=/* #11=IFCWALL( */IFCPROPERTYSINGLEVALUE",
        "#10=" + longComment + "IFCPROPERTYSINGLEVALUE",
    };
    for (const std::string& head : heads) {
        SCOPED_TRACE(head.substr(0, 80));
        const std::string text = ifctest::stepFile("#1=IFCPROPERTYSET('0001set000000000000000',$,'S',$,(#10));\n" +
                                                   head + parameters + ";\n");
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.openFromText(text)) << dataSet.lastError().toString();
        Value name;
        ASSERT_TRUE(dataSet.peekArgument(10, 1, name));
        EXPECT_EQ(name, expectedArguments[1]);
        const Step::BaseEntity* property = dataSet.get(10);
        ASSERT_NE(property, nullptr) << dataSet.takeWarnings().front();
        EXPECT_EQ(std::vector<Value>(property->arguments().begin(), property->arguments().end()), expectedArguments);
        EXPECT_TRUE(dataSet.takeWarnings().empty());
        EXPECT_EQ(dataSet.toText(), text);
    }
}

TEST(RecordHead, EachArgumentPeekedReadsAsWhenAllAreRead)
{
    const std::string text = ifctest::stepFile("#10=IFCPROPERTYSINGLEVALUE" + parameters + ";\n");
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(text)) << dataSet.lastError().toString();
    for (std::size_t index = 0; index < expectedArguments.size(); ++index) {
        Value value;
        ASSERT_TRUE(dataSet.peekArgument(10, index, value)) << index;
        EXPECT_EQ(value, expectedArguments[index]) << index;
    }
}

TEST(RecordReferences, OnlyThoseOfTheAttributesAskedForAndNoneInsideLiterals)
{
    using Found = std::vector<std::pair<std::size_t, Step::Id>>;
    const struct
    {
        std::string parameters;
        std::uint64_t attributes;
        Found expected;
    } cases[] = {
        {"(#1,#2,#3)", 0b101, {{0, 1}, {2, 3}}},
        {"('#1 it''s',(#2,(#3)),/* #4, */ #5,IFCLABEL('#6'),#7)", 0b11111, {{1, 2}, {1, 3}, {2, 5}, {4, 7}}},
        {parameters, ~std::uint64_t(0), {}},
        {" /* ( */ ( $ , \"0F#1\" , ( #20 , #21 ) ) ", 0b110, {{2, 20}, {2, 21}}},
        {"(#1,#2", 0b1, {{0, 1}}}, // what was read before the text ends
        {"(#1,\"0F", 0b11, {{0, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        Found found;
        Step::Lexer::forEachReference(c.parameters, c.attributes, [&found](std::size_t attribute, Step::Id key) {
            found.emplace_back(attribute, key);
        });
        EXPECT_EQ(found, c.expected);
    }
}

TEST(Header, CommentsBetweenItsTokensAreSkipped)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(
        dataSet.openFromText("ISO-10303-21 /* ; */ ;\nHEADER/*;*/;FILE_DESCRIPTION /*(*/ ( ( 'd' ) , '2;1' ) ;\n"
                             "FILE_NAME/*'*/('n','',(''),(''),'','','');\n"
                             "FILE_SCHEMA\n(/*)*/ (\n'IFC2X3' /*,'IFC4'*/)\n) /**/;ENDSEC /*ENDSEC;*/;\n"
                             "DATA/* DATA; */;\n#1=IFCCARTESIANPOINT((0.,0.));\nENDSEC\n;\nEND-ISO-10303-21/*;*/;\n"))
        << dataSet.lastError().toString();
    EXPECT_EQ(dataSet.header().schemaNames, std::vector<std::string>{"IFC2X3"});
    EXPECT_EQ(dataSet.header().fileDescription.at(1), Value::string("2;1"));
    EXPECT_EQ(dataSet.header().fileName.at(0), Value::string("n"));
    EXPECT_NE(dataSet.get(1), nullptr);
}

// A token cannot be cut by a blank: "#  12" is not an instance name.
TEST(RecordHead, BlankInsideTheInstanceNameIsReportedWhereItIs)
{
    ifc2x3::ExpressDataSet dataSet;
    EXPECT_FALSE(dataSet.openFromText(ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.));\n/* (#2) */ #  12 =\n"
                                                        "IFCCARTESIANPOINT((0.,0.));\n")));
    EXPECT_NE(dataSet.lastError().message.find("instance name"), std::string::npos);
    EXPECT_EQ(dataSet.lastError().line, 9u) << dataSet.lastError().toString();
    EXPECT_EQ(dataSet.lastError().column, 12u) << dataSet.lastError().toString();
}

// A string left open is blamed where it opens, though comments stand
// before the names of the records it swallows.
TEST(RecordHead, StringLeftOpenIsFoundPastCommentsOfTheNextHeads)
{
    const std::string separators[] = {"", "/* a */ ", "\t/*\n*/"};
    for (const std::string& separator : separators) {
        const std::string records = "#1=IFCPROPERTYSINGLEVALUE('open,$,$,$);\n" + separator + "#2" + separator +
                                    "=IFCPROPERTYSINGLEVALUE('b',$,$,$);\n" + separator +
                                    "#3=IFCPROPERTYSINGLEVALUE('d',$,$,$);\n";
        ifc2x3::ExpressDataSet dataSet;
        EXPECT_FALSE(dataSet.openFromText(ifctest::stepFile(records)));
        EXPECT_EQ(dataSet.lastError().toString(), "line 8, column 27: unterminated string") << separator;
    }
}

std::string canonical(const Step::BaseEntity& entity)
{
    std::string text = entity.getType().getName();
    Step::ValueWriter::writeArguments(text, entity.arguments().begin(), entity.arguments().size());
    return text;
}

std::string canonical(const std::vector<Value>& values)
{
    std::string text;
    Step::ValueWriter::writeArguments(text, values.data(), values.size());
    return text;
}

// Every instance of the variant reads as in the original, key for key.
void expectSameInstances(ifc2x3::ExpressDataSet& original, ifc2x3::ExpressDataSet& variant)
{
    EXPECT_EQ(canonical(variant.header().fileName), canonical(original.header().fileName));
    EXPECT_EQ(variant.header().schemaNames, original.header().schemaNames);
    ASSERT_EQ(variant.slotCount(), original.slotCount());
    std::size_t differences = 0;
    for (std::size_t slot = 0; slot < original.slotCount() && differences < 5; ++slot) {
        const Step::BaseEntity* expected = original.getBySlot(slot);
        const Step::BaseEntity* read = variant.getBySlot(slot);
        const bool same = variant.slotKey(slot) == original.slotKey(slot) && !expected == !read &&
                          (!read || canonical(*read) == canonical(*expected));
        differences += same ? 0 : 1;
        EXPECT_TRUE(same) << "#" << original.slotKey(slot);
    }
    EXPECT_EQ(variant.takeWarnings(), original.takeWarnings());
}

class LexicalVariantTest : public ::testing::TestWithParam<testsupport::SampleModel>
{
};

TEST_P(LexicalVariantTest, ReadsAsTheOriginalAndIsWrittenBackAsRead)
{
    const std::string path = testsupport::pathOf(GetParam());
    if (path.empty()) {
        GTEST_SKIP() << GetParam().name << " is not in " MQ_SHARED_DIR "/samples";
    }
    const std::string text = testsupport::readFile(path);
    const testsupport::StepRewriter rewriter(text);
    ASSERT_TRUE(rewriter.isValid());
    ifc2x3::ExpressDataSet original;
    ASSERT_TRUE(original.openFromText(text)) << original.lastError().toString();
    for (const unsigned seed : {1u, 2u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string variantText = rewriter.withSeparators(seed);
        ASSERT_GT(variantText.size(), text.size() * 5 / 4) << "few separators added";
        ifc2x3::ExpressDataSet variant;
        ASSERT_TRUE(variant.openFromText(variantText)) << variant.lastError().toString();
        EXPECT_EQ(variant.toText(), variantText) << "saved with no change";
        expectSameInstances(original, variant);
    }
}

/// The sources of every inverse relation of every instance, by key.
std::vector<std::vector<Step::Id>> inverseLists(ifc2x3::ExpressDataSet& dataSet)
{
    std::vector<std::vector<Step::Id>> lists;
    for (std::size_t slot = 0; slot < dataSet.slotCount(); ++slot) {
        const Step::BaseEntity* entity = dataSet.getBySlot(slot);
        for (std::size_t relation = 0; entity && relation < std::size_t(ifc2x3::InverseRelation::Count); ++relation) {
            std::vector<Step::Id> keys;
            for (const Step::BaseEntity* source :
                 dataSet.inverse(*entity, static_cast<ifc2x3::InverseRelation>(relation))) {
                keys.push_back(source->getKey());
            }
            lists.push_back(std::move(keys));
        }
    }
    return lists;
}

TEST_P(LexicalVariantTest, InverseRelationsReadFromTheTextAreThoseOfTheDecodedInstances)
{
    const std::string path = testsupport::pathOf(GetParam());
    if (path.empty()) {
        GTEST_SKIP() << GetParam().name << " is not in " MQ_SHARED_DIR "/samples";
    }
    const std::string text = testsupport::readFile(path);
    // With a dangling reference and a commented one added to a relation.
    const std::string dangling = "#999999991=IFCRELDEFINESBYPROPERTIES('0001rel000000000000000',$,'#1',$,"
                                 "(/* #1, */#999999992),#999999993);\n";
    const std::size_t end = text.rfind("ENDSEC;");
    ASSERT_NE(end, std::string::npos);
    const testsupport::StepRewriter rewriter(text);
    for (const std::string& variant : {text.substr(0, end) + dangling + text.substr(end), rewriter.withSeparators(7)}) {
        ifc2x3::ExpressDataSet fromText;
        ifc2x3::ExpressDataSet decoded;
        ASSERT_TRUE(fromText.openFromText(variant)) << fromText.lastError().toString();
        ASSERT_TRUE(decoded.openFromText(variant));
        fromText.prepareInverses(); // relations still undecoded: read from their text
        for (std::size_t slot = 0; slot < decoded.slotCount(); ++slot) {
            decoded.getBySlot(slot);
        }
        decoded.prepareInverses();
        EXPECT_EQ(inverseLists(fromText), inverseLists(decoded));
    }
}

TEST_P(LexicalVariantTest, BrokenTokenIsReportedOnItsLine)
{
    const std::string path = testsupport::pathOf(GetParam());
    if (path.empty()) {
        GTEST_SKIP() << GetParam().name << " is not in " MQ_SHARED_DIR "/samples";
    }
    const testsupport::StepRewriter rewriter(testsupport::readFile(path));
    using Fault = testsupport::StepRewriter::Fault;
    for (const Fault::Kind kind : {Fault::EqualsReplaced, Fault::SemicolonDropped, Fault::ParenthesisAdded}) {
        for (const unsigned seed : {3u, 4u, 5u, 6u}) {
            const Fault fault = rewriter.withFault(seed, kind);
            ifc2x3::ExpressDataSet dataSet;
            EXPECT_FALSE(dataSet.openFromText(fault.text));
            EXPECT_EQ(dataSet.lastError().line, fault.line)
                << "fault " << kind << ", seed " << seed << ": " << dataSet.lastError().toString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, LexicalVariantTest, ::testing::ValuesIn(testsupport::sampleModels()),
                         [](const auto& info) { return testsupport::testNameOf(info.param); });

} // namespace

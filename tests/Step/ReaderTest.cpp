// Parameter forms and lexical variants the reader must accept, and values
// written by the writer that must read back equal.
#include "StepText.h"

#include "Step/RecordParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>

namespace {

using Step::Value;

// Equality looks at kind and content: every comparison of read and
// written values below relies on it.
TEST(Value, EqualityTellsKindsWithTheSameContentApart)
{
    const std::vector<Value> distinct = {
        Value::string("AB"),
        Value::enumeration("AB"),
        Value::binary("AB"),
        Value::typed("AB", Value()),
        Value::typed("AB", Value::string("AB")),
        Value::typed("AC", Value::string("AB")),
        Value::typed("AB", Value::typed("AB", Value::string("AB"))),
        Value::list({}),
        Value::list({Value::string("AB")}),
        Value::list({Value::string("AB"), Value()}),
        Value(),
        Value::derived(),
        Value::integer(0),
        Value::real(0.0),
        Value::reference(0),
    };
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        for (std::size_t j = 0; j < distinct.size(); ++j) {
            EXPECT_EQ(distinct[i] == distinct[j], i == j) << i << " against " << j;
        }
    }
    // Type names compare in upper case; a typed value reads through to its plain one.
    const Value typed = Value::typed("ifcLabel", Value::typed("IFCTEXT", Value::string("x")));
    EXPECT_EQ(typed, Value::typed("IFCLABEL", Value::typed("IFCTEXT", Value::string("x"))));
    EXPECT_EQ(typed.plain(), Value::string("x"));
}

// Every parameter form, side by side in one record as in a file; then
// malformed ones, each alone.
TEST(RecordParser, ReadsEveryParameterFormAndRejectsMalformedOnes)
{
    const std::pair<const char*, Value> cases[] = {
        {"0", Value::integer(0)},
        {"-17", Value::integer(-17)},
        {"+4", Value::integer(4)},
        {"1.", Value::real(1.0)},
        {"-2.5E-3", Value::real(-2.5e-3)},
        {"1.E-5", Value::real(1e-5)},
        {"3.25e2", Value::real(325.0)},
        {"$", Value::null()},
        {"*", Value::derived()},
        {".T.", Value::logical(true)},
        {".NOTDEFINED.", Value::enumeration("NOTDEFINED")},
        {"\"0FF\"", Value::binary("0FF")},
        {" 'It''s' ", Value::string("It's")},
        {"#12", Value::reference(12)},
        {"(#1,#2)", Value::list({Value::reference(1), Value::reference(2)})},
        {"((1,2),(3,(4.)))", Value::list({Value::list({Value::integer(1), Value::integer(2)}),
                                          Value::list({Value::integer(3), Value::list({Value::real(4.0)})})})},
        {"()", Value::list({})},
        {"IFCLABEL('x')", Value::typed("IFCLABEL", Value::string("x"))},
        {"ifcboolean(.T.)", Value::typed("IFCBOOLEAN", Value::logical(true))},
        {"IFCCOMPOUNDPLANEANGLEMEASURE((48,8))",
         Value::typed("IFCCOMPOUNDPLANEANGLEMEASURE", Value::list({Value::integer(48), Value::integer(8)}))},
        {" /* note */ 'a;b)'", Value::string("a;b)")},
        {"'Fen\\X2\\00EA\\X0\\tre ''sud'''", Value::string("Fen\xC3\xAAtre 'sud'")},
    };
    std::string text;
    for (const auto& c : cases) {
        text += (text.empty() ? "(" : ",") + std::string(c.first);
    }
    text += ")";
    Step::RecordParser parser(text);
    std::vector<Value> values;
    ASSERT_TRUE(parser.parseArguments(values)) << text << ": " << parser.error();
    ASSERT_EQ(values.size(), std::size(cases));
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i], cases[i].second) << cases[i].first;
    }

    for (const char* malformed :
         {"(1,)", "(1 2)", "(.T)", "('open)", "(#)", "(1.E)", "(-)", "(IFCLABEL)", "(IFCX(1,2))", "(@)", "((1,2)",
          "(99999999999999999999)", "(#99999999999999999999)"}) {
        Step::RecordParser bad(malformed);
        std::vector<Value> ignored;
        EXPECT_FALSE(bad.parseArguments(ignored)) << malformed;
        EXPECT_FALSE(bad.error().empty()) << malformed;
    }
}

// One model written three ways: the reader must see the same instances as
// in the plain form.
const char* const lexicalVariants = "/* a comment before the first instance */\n"
                                    "#1= IFCPROJECT('0001project00000000000$',$,'It''s',$,$,$,$,(#2),$);\n"
                                    "#2 = IFCGEOMETRICREPRESENTATIONCONTEXT ( $ , 'Model' ,\n"
                                    "   3 , 1.E-05 , #4 , $ ) ;\n"
                                    "#3=ifcwallstandardcase('0003wall00000000000000',$,/* name: */'Wall',$,$,$,$,$);\n"
                                    "#4=IFCAXIS2PLACEMENT3D(#5,$,$);\n"
                                    "#5=IfcCartesianPoint((1.,-2.5E-3,1.E-5));\n"
                                    "#6=IFCSIUNIT(*,.LENGTHUNIT.,.milli.,.METRE.);\n"
                                    "#7=IFCPROPERTYSINGLEVALUE('P',$,ifclabel('x'),$);\n";
const char* const plainForm = "#1=IFCPROJECT('0001project00000000000$',$,'It''s',$,$,$,$,(#2),$);\n"
                              "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#4,$);\n"
                              "#3=IFCWALLSTANDARDCASE('0003wall00000000000000',$,'Wall',$,$,$,$,$);\n"
                              "#4=IFCAXIS2PLACEMENT3D(#5,$,$);\n"
                              "#5=IFCCARTESIANPOINT((1.,-0.0025,0.00001));\n"
                              "#6=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
                              "#7=IFCPROPERTYSINGLEVALUE('P',$,IFCLABEL('x'),$);\n";

std::string withLineBreaks(const std::string& text, const std::string& lineBreak)
{
    return std::regex_replace(text, std::regex("\n"), lineBreak);
}

TEST(Reader, LexicalVariantsAndLineBreaks)
{
    const auto arguments = [](const Step::BaseEntity* entity) {
        return std::vector<Value>(entity->arguments().begin(), entity->arguments().end());
    };
    ifc2x3::ExpressDataSet plain;
    ASSERT_TRUE(plain.openFromText(ifctest::stepFile(plainForm)));
    for (const std::string lineBreak : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(lineBreak == "\n" ? "LF" : lineBreak == "\r\n" ? "CRLF" : "CR");
        const std::string text = withLineBreaks(ifctest::stepFile(lexicalVariants), lineBreak);
        ifc2x3::ExpressDataSet dataSet;
        ASSERT_TRUE(dataSet.openFromText(text)) << dataSet.lastError().toString();
        EXPECT_EQ(dataSet.instanceCount(), 7u);
        for (Step::Id key = 1; key <= 7; ++key) {
            const Step::BaseEntity* read = dataSet.get(key);
            const Step::BaseEntity* expected = plain.get(key);
            ASSERT_TRUE(read && expected) << "#" << key;
            EXPECT_STREQ(read->getType().getName(), expected->getType().getName());
            EXPECT_EQ(arguments(read), arguments(expected)) << "#" << key;
        }
        EXPECT_EQ(dynamic_cast<ifc2x3::IfcRoot*>(dataSet.get(1))->getName(), Step::String("It's"));
        EXPECT_TRUE(dataSet.takeWarnings().empty());
        EXPECT_EQ(dataSet.toText(), text);

        // Error positions count every kind of line break: the ';' is
        // missing after the record of line 9.
        ASSERT_FALSE(dataSet.openFromText(withLineBreaks(
            ifctest::stepFile("#1=IFCCARTESIANPOINT((0.,0.));\n  #2=IFCDIRECTION((1.,0.))\n"), lineBreak)));
        EXPECT_EQ(dataSet.lastError().line, 9u) << dataSet.lastError().toString();
        EXPECT_EQ(dataSet.lastError().column, 27u) << dataSet.lastError().toString();
    }
}

TEST(Reader, HeaderIsDecoded)
{
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(
        "ISO-10303-21;\nHEADER;\n/* exporter note */\nFILE_DESCRIPTION(('A\\X\\0AB'),'2;1');\n"
        "FILE_NAME('C:\\\\x.ifc','2024',('Me'),('Us'),'p','a','');\nFILE_SCHEMA(('IFC2X3_TC1'));\nENDSEC;\n"
        "DATA;\n#1=IFCCARTESIANPOINT((0.,0.));\nENDSEC;\nEND-ISO-10303-21;\n"));
    const Step::FileHeader& header = dataSet.header();
    EXPECT_EQ(header.schemaNames, std::vector<std::string>{"IFC2X3_TC1"});
    ASSERT_EQ(header.fileDescription.size(), 2u);
    EXPECT_EQ(header.fileDescription[0], Value::list({Value::string("A\nB")}));
    ASSERT_EQ(header.fileName.size(), 7u);
    EXPECT_EQ(header.fileName[0], Value::string("C:\\x.ifc"));
}

TEST(Writer, EveryValueFormReadsBackEqual)
{
    const double reals[] = {0.0,   -0.0,   1.0,        -2.5e-3, 1e-5, 0.1,  1.0 / 3.0,         123456789.125,
                            1e300, 5e-324, 6.02214e23, -1e-300, 1e16, 1e21, 4503599627370497.0};
    std::vector<Value> realValues;
    for (double r : reals) {
        realValues.push_back(Value::real(r));
    }
    const Value listValues = Value::list({
        Value::typed("IFCLABEL", Value::string("It's \xC3\xA4 \\ \xF0\x9F\x98\x80 \n end")),
        Value::typed("IFCINTEGER", Value::integer(std::numeric_limits<std::int64_t>::min())),
        Value::typed("IFCINTEGER", Value::integer(std::numeric_limits<std::int64_t>::max())),
        Value::typed("IFCBOOLEAN", Value::logical(false)),
        Value::typed("IFCLOGICAL", Value::enumeration("U")),
        Value::typed("IFCCOMPOUNDPLANEANGLEMEASURE", Value::list({Value::integer(48), Value::integer(-8)})),
        Value::typed("IFCREAL", Value::list(realValues)),
        Value::list({Value::list({}), Value::list({Value::string("")})}),
    });

    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(ifctest::stepFile("#1=IFCPROPERTYLISTVALUE('List',$,(IFCLABEL('a')),$);\n"
                                                       "#2=IFCSLAB('0002',$,$,$,$,$,$,$,.FLOOR.);\n")));
    auto* property = dynamic_cast<ifc2x3::IfcPropertyListValue*>(dataSet.get(1));
    ASSERT_NE(property, nullptr);
    property->setListValuesValue(listValues);

    ifc2x3::ExpressDataSet reread;
    ASSERT_TRUE(reread.openFromText(dataSet.toText())) << reread.lastError().toString();
    auto* back = dynamic_cast<ifc2x3::IfcPropertyListValue*>(reread.get(1));
    ASSERT_NE(back, nullptr);
    const Value& written = back->getListValuesValue();
    EXPECT_EQ(written, listValues) << ifctest::recordLine(dataSet.toText(), 1);
    // Bit patterns too: -0.0 == 0.0 would hide a lost sign.
    const auto& readReals = written.items().at(6).inner().items();
    for (std::size_t i = 0; i < readReals.size(); ++i) {
        EXPECT_EQ(std::signbit(readReals[i].realValue()), std::signbit(reals[i])) << i;
    }

    // Names made in code in any case are written in upper case.
    property->setListValuesValue(Value::list({Value::typed("IfcBoolean", Value::enumeration("t"))}));
    dynamic_cast<ifc2x3::IfcSlab*>(dataSet.get(2))->setPredefinedType("roof");
    const std::string text = dataSet.toText();
    EXPECT_EQ(ifctest::recordLine(text, 1), "#1=IFCPROPERTYLISTVALUE('List',$,(IFCBOOLEAN(.T.)),$);");
    EXPECT_EQ(ifctest::recordLine(text, 2), "#2=IFCSLAB('0002',$,$,$,$,$,$,$,.ROOF.);");
}

} // namespace

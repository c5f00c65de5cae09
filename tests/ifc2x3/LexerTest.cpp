// The lexical rules every reader of a record follows: strings and comments
// hide what they hold, and "#n" is a reference only outside them.
#include "StepText.h"

#include "Step/Lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<Step::Id> referencesIn(std::string_view text)
{
    std::vector<Step::Id> keys;
    Step::Id key = 0;
    std::size_t end = 0;
    for (std::size_t pos = Step::Lexer::findReference(text, 0, key, end); pos != Step::Lexer::npos;
         pos = Step::Lexer::findReference(text, end, key, end)) {
        keys.push_back(key);
    }
    return keys;
}

struct ReferenceCase
{
    const char* text;
    std::vector<Step::Id> keys;
};

TEST(Lexer, ReferencesAreFoundOutsideStringsAndCommentsOnly)
{
    const ReferenceCase cases[] = {
        {"(#12,(#3,#45))", {12, 3, 45}},
        {"('#12',#3)", {3}},
        {"(/* #12 */#3)", {3}},
        {"('it''s #12',#4)", {4}},
        {"('/* #12',#5)", {5}},
        {"(/* it's */#6)", {6}},
        {"(#,#7)", {7}},
        {"(#123456789012345678901234,#8)", {8}},
        {"(#18446744073709551615)", {18446744073709551615ull}},
        {"(#9,/* #12", {9}},
        {"(#9,'#12", {9}},
    };
    for (const ReferenceCase& c : cases) {
        EXPECT_EQ(referencesIn(c.text), c.keys) << c.text;
    }
}

TEST(Lexer, BlanksAndCommentsAreSkippedTogether)
{
    const struct
    {
        const char* text;
        bool closed;
        std::size_t stop;
    } cases[] = {
        {" \t\r\n#1", true, 4},
        {"/* a */ /* b */x", true, 15},
        {"/ *x", true, 0},
        {"  /* open", false, 2},
    };
    for (const auto& c : cases) {
        std::size_t pos = 0;
        EXPECT_EQ(Step::Lexer::skipBlanks(c.text, pos), c.closed) << c.text;
        EXPECT_EQ(pos, c.stop) << c.text;
    }
}

// Deleting #12 must not touch a record that names it in a comment only:
// the record stays undecoded and is written as it was. One that cannot be
// decoded loses its references, not its comment.
TEST(Lexer, ACommentNamingADeletedInstanceIsNoReference)
{
    const std::string named = "#41=IFCPROPERTYSET('0041typepset00000000000',$,/* was #12 */'Pset',$,(#44));";
    const std::string unknown = "#70=IFCFUTURETHING(#12,/* #12 */(#11,#12));\n"
                                "#71=IFCFUTURETHING((#11,/* c */#12),(#12 /* d */,#11));";
    std::string text = ifctest::smallModel();
    const std::size_t start = text.find("\n#41=") + 1;
    text.replace(start, text.find('\n', start) - start, named);
    text.insert(text.rfind("ENDSEC;"), unknown + "\n");
    ifc2x3::ExpressDataSet dataSet;
    ASSERT_TRUE(dataSet.openFromText(text));
    ASSERT_TRUE(dataSet.remove(12));

    const std::string saved = dataSet.toText();
    EXPECT_EQ(ifctest::recordLine(saved, 41), named);
    EXPECT_EQ(dataSet.slotState(dataSet.slotOfKey(41)), Step::SlotState::Unloaded);
    EXPECT_EQ(ifctest::recordLine(saved, 70), "#70=IFCFUTURETHING($,/* #12 */(#11));");
    // A comment next to a dropped entry keeps its place, the comma goes.
    EXPECT_EQ(ifctest::recordLine(saved, 71), "#71=IFCFUTURETHING((#11/* c */),( /* d */#11));");
}

} // namespace

// The lexical rules every reader of a record follows: strings and comments
// hide what they hold, and "#n" is a reference only outside them.
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

} // namespace

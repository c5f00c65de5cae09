// Equality of values looks at kind and content: every comparison of read
// and written values in the other tests relies on it.
#include "Step/Value.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Step::Value;

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

} // namespace

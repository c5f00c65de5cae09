// Values own a payload sized for their kind: copies must be deep, moves
// must leave an unset value, and equality must look at kind and content.
#include "Step/Value.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Step::Value;

TEST(Value, CopiesAreDeepAndMovesLeaveAnUnsetValue)
{
    // Text and items long enough to live outside the value itself.
    const std::string text(40, 'a');
    const Value values[] = {Value::string(text), Value::enumeration("NOTDEFINED"),
                            Value::binary("0123456789ABCDEF0123456789ABCDEF"),
                            Value::list({Value::string(text), Value::integer(1), Value::list({Value::reference(7)})}),
                            Value::typed("IFCLABEL", Value::typed("IFCTEXT", Value::string(text)))};
    for (const Value& original : values) {
        Value copy(original);
        Value assigned = Value::integer(3);
        assigned = copy;
        EXPECT_EQ(assigned, original);
        if (copy.isList()) {
            // Unset items leave a list, the others keep their order.
            copy.items().front() = Value::null();
            copy.eraseUnsetItems();
            EXPECT_EQ(copy, Value::list({Value::integer(1), Value::list({Value::reference(7)})}));
            EXPECT_EQ(original.items().front().text(), text);
        }
        Value moved(std::move(assigned));
        EXPECT_TRUE(assigned.isNull());
        Value target = Value::string("replaced");
        target = std::move(moved);
        EXPECT_TRUE(moved.isNull());
        EXPECT_EQ(target, original);
        Value& self = target;
        target = self;
        EXPECT_EQ(target, original);
    }
}

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

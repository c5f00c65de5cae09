// Values own a payload sized for their kind: copies must be deep, moves
// must leave an unset value, and equality must look at kind and content.
#include "Step/Value.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Step::Value;

// One value of every kind that holds a payload, each with text or items
// long enough to live outside the payload itself.
std::vector<Value> payloadValues()
{
    const std::string text(40, 'a');
    return {Value::string(text),
            Value::enumeration("NOTDEFINED"),
            Value::binary("0123456789ABCDEF0123456789ABCDEF"),
            Value::list({Value::string(text), Value::integer(1), Value::list({Value::reference(7)})}),
            Value::typed("IFCPOSITIVELENGTHMEASURE", Value::real(2.5)),
            Value::typed("IFCLABEL", Value::typed("IFCTEXT", Value::string(text)))};
}

TEST(Value, CopiesAreDeepAndEqual)
{
    for (const Value& original : payloadValues()) {
        Value copy(original);
        EXPECT_EQ(copy, original);
        Value assigned = Value::integer(3);
        assigned = original;
        EXPECT_EQ(assigned, original);
        if (copy.isList()) {
            copy.items().front() = Value::null();
            copy.eraseUnsetItems();
            EXPECT_EQ(copy.items().size(), 2u);
            EXPECT_EQ(original.items().size(), 3u);
            EXPECT_EQ(original.items().front().text(), std::string(40, 'a'));
        }
        if (!copy.isList()) {
            EXPECT_NE(copy.text().data(), original.text().data());
        }
        if (copy.isTyped()) {
            EXPECT_NE(&copy.inner(), &original.inner());
        }
    }
}

TEST(Value, MovesLeaveAnUnsetValue)
{
    for (const Value& original : payloadValues()) {
        Value source(original);
        const void* payload = source.isList() ? static_cast<const void*>(source.items().data()) : source.text().data();
        Value moved(std::move(source));
        EXPECT_TRUE(source.isNull());
        EXPECT_EQ(moved, original);
        EXPECT_EQ(moved.isList() ? static_cast<const void*>(moved.items().data()) : moved.text().data(), payload)
            << "the payload itself moves";

        Value target = Value::string("replaced");
        target = std::move(moved);
        EXPECT_TRUE(moved.isNull());
        EXPECT_EQ(target, original);

        Value& self = target;
        target = self;
        EXPECT_EQ(target, original);
        target = std::move(self);
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
}

TEST(Value, AccessorsOfEachKind)
{
    const Value typed = Value::typed("ifcLabel", Value::typed("IFCTEXT", Value::string("x")));
    EXPECT_EQ(typed.text(), "IFCLABEL");
    EXPECT_EQ(typed.inner().text(), "IFCTEXT");
    EXPECT_EQ(typed.plain(), Value::string("x"));
    EXPECT_TRUE(typed.items().empty());
    EXPECT_TRUE(Value::string("x").inner().isNull());
    EXPECT_TRUE(Value::list({Value::integer(1)}).text().empty());
    EXPECT_EQ(Value::typed("IFCBOOLEAN", Value::logical(true)).logicalState(), 1);
    EXPECT_EQ(Value::typed("IFCREAL", Value::real(1.5)).realValue(), 1.5);

    Value becomesList = Value::typed("IFCLABEL", Value::string("x"));
    EXPECT_TRUE(becomesList.items().empty());
    EXPECT_EQ(becomesList, Value::list({}));

    // Unset items leave a list, the others keep their order.
    Value list = Value::list(
        {Value::null(), Value::integer(1), Value::string(std::string(30, 's')), Value::null(), Value::reference(5)});
    list.eraseUnsetItems();
    EXPECT_EQ(list, Value::list({Value::integer(1), Value::string(std::string(30, 's')), Value::reference(5)}));
    EXPECT_EQ(list.items().at(2).referenceKey(), 5u);
    EXPECT_THROW(list.items().at(3), std::out_of_range);
    Value copied(list);
    EXPECT_EQ(copied, list);
}

} // namespace

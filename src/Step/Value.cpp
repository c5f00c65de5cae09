#include "Value.h"

namespace Step {

namespace {
const std::string emptyText;
const std::vector<Value> emptyItems;
const Value nullValue;

// Keywords are case-insensitive in files and read in upper case; values
// made in code are held the same way, so both compare equal and are
// written with the usual spelling.
std::string upperCase(std::string name)
{
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

bool hasPayload(Value::Kind kind)
{
    switch (kind) {
    case Value::Kind::String:
    case Value::Kind::Enumeration:
    case Value::Kind::Binary:
    case Value::Kind::List:
    case Value::Kind::Typed:
        return true;
    default:
        return false;
    }
}
} // namespace

Value::Value(const Value& other)
{
    copyFrom(other);
}

Value::Value(Value&& other) noexcept : m_kind(other.m_kind), m_data(other.m_data)
{
    other.m_kind = Kind::Null;
    other.m_data.integer = 0;
}

Value& Value::operator=(const Value& other)
{
    if (this != &other) {
        Value copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Value& Value::operator=(Value&& other) noexcept
{
    if (this != &other) {
        destroy();
        m_kind = other.m_kind;
        m_data = other.m_data;
        other.m_kind = Kind::Null;
        other.m_data.integer = 0;
    }
    return *this;
}

Value::~Value()
{
    destroy();
}

void Value::destroy()
{
    if (hasPayload(m_kind)) {
        delete m_data.payload;
    }
    m_kind = Kind::Null;
    m_data.integer = 0;
}

void Value::copyFrom(const Value& other)
{
    m_kind = other.m_kind;
    if (hasPayload(other.m_kind)) {
        m_data.payload = new Payload(*other.m_data.payload);
    } else {
        m_data = other.m_data;
    }
}

Value Value::withPayload(Kind kind, std::string text, std::vector<Value> items)
{
    Value v;
    v.m_kind = kind;
    v.m_data.payload = new Payload{std::move(text), std::move(items)};
    return v;
}

Value Value::derived()
{
    Value v;
    v.m_kind = Kind::Derived;
    return v;
}

Value Value::integer(std::int64_t i)
{
    Value v;
    v.m_kind = Kind::Integer;
    v.m_data.integer = i;
    return v;
}

Value Value::real(double d)
{
    Value v;
    v.m_kind = Kind::Real;
    v.m_data.real = d;
    return v;
}

Value Value::string(std::string utf8)
{
    return withPayload(Kind::String, std::move(utf8), {});
}

Value Value::enumeration(std::string name)
{
    return withPayload(Kind::Enumeration, upperCase(std::move(name)), {});
}

Value Value::binary(std::string hex)
{
    return withPayload(Kind::Binary, std::move(hex), {});
}

Value Value::reference(Id key)
{
    Value v;
    v.m_kind = Kind::Reference;
    v.m_data.key = key;
    return v;
}

Value Value::list(std::vector<Value> items)
{
    return withPayload(Kind::List, {}, std::move(items));
}

Value Value::typed(std::string typeName, Value inner)
{
    std::vector<Value> items;
    items.push_back(std::move(inner));
    return withPayload(Kind::Typed, upperCase(std::move(typeName)), std::move(items));
}

double Value::realValue() const
{
    switch (m_kind) {
    case Kind::Real:
        return m_data.real;
    case Kind::Integer:
        return static_cast<double>(m_data.integer);
    case Kind::Typed:
        return inner().realValue();
    default:
        return 0.0;
    }
}

const std::string& Value::text() const
{
    return hasPayload(m_kind) ? m_data.payload->text : emptyText;
}

const std::vector<Value>& Value::items() const
{
    return m_kind == Kind::List ? m_data.payload->items : emptyItems;
}

std::vector<Value>& Value::items()
{
    if (m_kind != Kind::List) {
        *this = list({});
    }
    return m_data.payload->items;
}

const Value& Value::inner() const
{
    if (m_kind == Kind::Typed && !m_data.payload->items.empty()) {
        return m_data.payload->items.front();
    }
    return nullValue;
}

const Value& Value::plain() const
{
    const Value* v = this;
    while (v->m_kind == Kind::Typed) {
        v = &v->inner();
    }
    return *v;
}

int Value::logicalState() const
{
    const Value& v = plain();
    if (v.m_kind != Kind::Enumeration) {
        return -1;
    }
    const std::string& t = v.text();
    if (t == "T") {
        return 1;
    }
    if (t == "F") {
        return 0;
    }
    return -1;
}

bool Value::operator==(const Value& other) const
{
    if (m_kind != other.m_kind) {
        return false;
    }
    switch (m_kind) {
    case Kind::Null:
    case Kind::Derived:
        return true;
    case Kind::Integer:
        return m_data.integer == other.m_data.integer;
    case Kind::Real:
        return m_data.real == other.m_data.real;
    case Kind::Reference:
        return m_data.key == other.m_data.key;
    default:
        return m_data.payload->text == other.m_data.payload->text &&
               m_data.payload->items == other.m_data.payload->items;
    }
}

} // namespace Step

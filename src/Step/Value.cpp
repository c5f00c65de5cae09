#include "Value.h"

#include "Lexer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>

namespace Step {

namespace {
const Value nullValue;

// Keywords are case-insensitive in files and read in upper case; values
// made in code are held the same way, so both compare equal and are
// written with the usual spelling.
std::string upperCase(std::string name)
{
    Lexer::toUpper(name);
    return name;
}

} // namespace

struct Value::TypedPayload
{
    std::string name;
    Value inner;
};

struct Value::List
{
    std::size_t count;

    Value* items() { return reinterpret_cast<Value*>(this + 1); }
    const Value* items() const { return reinterpret_cast<const Value*>(this + 1); }

    /// A list of `count` values made from those `first` points to, copied
    /// or moved as the iterator gives them.
    template <class Iterator> static List* make(Iterator first, std::size_t count)
    {
        static_assert(sizeof(List) % alignof(Value) == 0, "items follow the length");
        List* made = new (::operator new(sizeof(List) + count * sizeof(Value))) List{count};
        for (std::size_t i = 0; i < count; ++i, ++first) {
            new (&made->items()[i]) Value(*first);
        }
        return made;
    }
    static void destroy(List* list)
    {
        for (std::size_t i = 0; i < list->count; ++i) {
            list->items()[i].~Value();
        }
        ::operator delete(list);
    }
};

struct Value::Text
{
    /// The text's length; its top bit marks a string kept as written, whose
    /// characters are followed by the length of the written bytes (unaligned)
    /// and those bytes.
    std::size_t size;
    char characters[1];

    static constexpr std::size_t writtenFlag = ~(~std::size_t(0) >> 1);

    static Text* make(std::string_view text)
    {
        void* block = ::operator new(std::max(sizeof(Text), offsetof(Text, characters) + text.size()));
        Text* made = static_cast<Text*>(block);
        made->size = text.size();
        std::memcpy(made->characters, text.data(), text.size());
        return made;
    }
    static Text* make(std::string_view text, std::string_view written)
    {
        const std::size_t writtenSize = written.size();
        void* block = ::operator new(offsetof(Text, characters) + text.size() + sizeof writtenSize + writtenSize);
        Text* made = static_cast<Text*>(block);
        made->size = text.size() | writtenFlag;
        char* p = made->characters;
        std::memcpy(p, text.data(), text.size());
        std::memcpy(p + text.size(), &writtenSize, sizeof writtenSize);
        std::memcpy(p + text.size() + sizeof writtenSize, written.data(), writtenSize);
        return made;
    }
    Text* copy() const { return keptAsWritten() ? make(view(), written()) : make(view()); }
    static void destroy(Text* text) { ::operator delete(text); }
    bool keptAsWritten() const { return size & writtenFlag; }
    std::string_view view() const { return std::string_view(characters, size & ~writtenFlag); }
    std::string_view written() const
    {
        if (!keptAsWritten()) {
            return {};
        }
        const char* p = characters + view().size();
        std::size_t writtenSize = 0;
        std::memcpy(&writtenSize, p, sizeof writtenSize);
        return std::string_view(p + sizeof writtenSize, writtenSize);
    }
};

static_assert(sizeof(Value) == 16, "every loaded record holds a vector of values");

Value::Value(const Value& other)
{
    copyFrom(other);
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
        if (ownsPayload()) {
            destroyPayload();
        }
        m_kind = other.m_kind;
        m_data = other.m_data;
        other.m_kind = Kind::Null;
        other.m_data.integer = 0;
    }
    return *this;
}

void Value::destroyPayload()
{
    static_assert(textKinds ==
                  (1u << unsigned(Kind::String) | 1u << unsigned(Kind::Enumeration) | 1u << unsigned(Kind::Binary)));
    static_assert(payloadKinds == (textKinds | 1u << unsigned(Kind::List) | 1u << unsigned(Kind::Typed)));
    switch (m_kind) {
    case Kind::List:
        List::destroy(m_data.items);
        break;
    case Kind::Typed:
        delete m_data.typed;
        break;
    default:
        Text::destroy(m_data.text);
        break;
    }
}

void Value::copyFrom(const Value& other)
{
    m_kind = other.m_kind;
    if (other.holdsText()) {
        m_data.text = other.m_data.text->copy();
    } else if (other.m_kind == Kind::List) {
        m_data.items = List::make(other.m_data.items->items(), other.m_data.items->count);
    } else if (other.m_kind == Kind::Typed) {
        m_data.typed = new TypedPayload(*other.m_data.typed);
    } else {
        m_data = other.m_data;
    }
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

Value Value::string(std::string_view utf8)
{
    Value v;
    v.m_data.text = Text::make(utf8);
    v.m_kind = Kind::String;
    return v;
}

Value Value::stringAsWritten(std::string_view utf8, std::string_view written)
{
    Value v;
    v.m_data.text = Text::make(utf8, written);
    v.m_kind = Kind::String;
    return v;
}

bool Value::isKeptAsWritten() const
{
    return m_kind == Kind::String && m_data.text->keptAsWritten();
}

std::string_view Value::writtenText() const
{
    return m_kind == Kind::String ? m_data.text->written() : std::string_view();
}

Value Value::enumeration(std::string name)
{
    Value v;
    v.m_data.text = Text::make(upperCase(std::move(name)));
    v.m_kind = Kind::Enumeration;
    return v;
}

Value Value::binary(std::string_view hex)
{
    Value v;
    v.m_data.text = Text::make(hex);
    v.m_kind = Kind::Binary;
    return v;
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
    Value v;
    v.m_data.items = List::make(std::make_move_iterator(items.begin()), items.size());
    v.m_kind = Kind::List;
    return v;
}

Value Value::typed(std::string typeName, Value inner)
{
    Value v;
    v.m_data.typed = new TypedPayload{upperCase(std::move(typeName)), std::move(inner)};
    v.m_kind = Kind::Typed;
    return v;
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

std::string_view Value::text() const
{
    if (holdsText()) {
        return m_data.text->view();
    }
    return m_kind == Kind::Typed ? std::string_view(m_data.typed->name) : std::string_view();
}

Value::Range<const Value> Value::items() const
{
    if (m_kind != Kind::List) {
        return {nullptr, 0};
    }
    return {m_data.items->items(), m_data.items->count};
}

Value::Range<Value> Value::items()
{
    if (m_kind != Kind::List) {
        *this = list({});
    }
    return {m_data.items->items(), m_data.items->count};
}

void Value::eraseUnsetItems()
{
    if (m_kind != Kind::List) {
        return;
    }
    Value* first = m_data.items->items();
    Value* const end = first + m_data.items->count;
    Value* const kept = std::remove_if(first, end, [](const Value& v) { return v.isNull(); });
    // The block keeps its size; the values past the kept ones are unset
    // and are no longer counted.
    m_data.items->count = static_cast<std::size_t>(kept - first);
    for (Value* v = kept; v != end; ++v) {
        v->~Value();
    }
}

const Value& Value::inner() const
{
    return m_kind == Kind::Typed ? m_data.typed->inner : nullValue;
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
    const std::string_view t = v.text();
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
    case Kind::List:
        return std::equal(m_data.items->items(), m_data.items->items() + m_data.items->count,
                          other.m_data.items->items(), other.m_data.items->items() + other.m_data.items->count);
    case Kind::Typed:
        return m_data.typed->name == other.m_data.typed->name && m_data.typed->inner == other.m_data.typed->inner;
    default:
        return m_data.text->view() == other.m_data.text->view() &&
               m_data.text->written() == other.m_data.text->written();
    }
}

} // namespace Step

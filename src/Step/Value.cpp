#include "Value.h"

#include "Arena.h"
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
void upperCase(char* name, std::size_t size)
{
    std::transform(name, name + size, name, [](char c) { return Lexer::toUpper(c); });
}

// A payload's block: in the arena when there is one and the block fits.
void* allocatePayload(std::size_t bytes, Arena* arena, bool& inArena)
{
    void* block = arena ? arena->allocate(bytes) : nullptr;
    inArena = block != nullptr;
    return inArena ? block : ::operator new(bytes);
}

void freePayload(void* block, std::size_t bytes, bool inArena)
{
    if (inArena) {
        Arena::giveBack(block, bytes);
    } else {
        ::operator delete(block);
    }
}

} // namespace

struct Value::TypedPayload
{
    Value inner;
    std::size_t nameSize;
    char name[1];

    static std::size_t bytesFor(std::size_t nameSize)
    {
        return std::max(sizeof(TypedPayload), offsetof(TypedPayload, name) + nameSize);
    }
    static TypedPayload* make(std::string_view typeName, Value inner, Arena* arena, bool& inArena)
    {
        auto* made = new (allocatePayload(bytesFor(typeName.size()), arena, inArena))
            TypedPayload{std::move(inner), typeName.size(), {}};
        std::memcpy(made->name, typeName.data(), typeName.size());
        upperCase(made->name, typeName.size());
        return made;
    }
    /// The inner value goes in any case: it may hold a block of its own.
    static void destroy(TypedPayload* typed, bool inArena)
    {
        const std::size_t bytes = bytesFor(typed->nameSize);
        typed->~TypedPayload();
        freePayload(typed, bytes, inArena);
    }
    std::string_view typeName() const { return std::string_view(name, nameSize); }
};

struct Value::List
{
    std::size_t count;

    Value* items() { return reinterpret_cast<Value*>(this + 1); }
    const Value* items() const { return reinterpret_cast<const Value*>(this + 1); }

    /// A list of `count` values made from those `first` points to, copied
    /// or moved as the iterator gives them.
    template <class Iterator> static List* make(Iterator first, std::size_t count, Arena* arena, bool& inArena)
    {
        static_assert(sizeof(List) % alignof(Value) == 0, "items follow the length");
        List* made = new (allocatePayload(sizeof(List) + count * sizeof(Value), arena, inArena)) List{count};
        for (std::size_t i = 0; i < count; ++i, ++first) {
            new (&made->items()[i]) Value(*first);
        }
        return made;
    }
    /// The items go in any case: they may hold blocks of their own.
    static void destroy(List* list, bool inArena)
    {
        for (std::size_t i = 0; i < list->count; ++i) {
            list->items()[i].~Value();
        }
        // A list that lost items since it was made gives back the smaller
        // size: the tail of its block is only wasted.
        freePayload(list, sizeof(List) + list->count * sizeof(Value), inArena);
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

    static std::size_t bytesFor(std::size_t textSize)
    {
        return std::max(sizeof(Text), offsetof(Text, characters) + textSize);
    }
    static std::size_t bytesFor(std::size_t textSize, std::size_t writtenSize)
    {
        return offsetof(Text, characters) + textSize + sizeof writtenSize + writtenSize;
    }
    static Text* make(std::string_view text, Arena* arena, bool& inArena)
    {
        void* block = allocatePayload(bytesFor(text.size()), arena, inArena);
        Text* made = static_cast<Text*>(block);
        made->size = text.size();
        std::memcpy(made->characters, text.data(), text.size());
        return made;
    }
    static Text* make(std::string_view text, std::string_view written, Arena* arena, bool& inArena)
    {
        const std::size_t writtenSize = written.size();
        void* block = allocatePayload(bytesFor(text.size(), writtenSize), arena, inArena);
        Text* made = static_cast<Text*>(block);
        made->size = text.size() | writtenFlag;
        char* p = made->characters;
        std::memcpy(p, text.data(), text.size());
        std::memcpy(p + text.size(), &writtenSize, sizeof writtenSize);
        std::memcpy(p + text.size() + sizeof writtenSize, written.data(), writtenSize);
        return made;
    }
    /// A copy on the heap.
    Text* copy() const
    {
        bool inArena = false;
        return keptAsWritten() ? make(view(), written(), nullptr, inArena) : make(view(), nullptr, inArena);
    }
    static void destroy(Text* text, bool inArena)
    {
        const std::size_t bytes = text->keptAsWritten() ? bytesFor(text->view().size(), text->written().size())
                                                        : bytesFor(text->view().size());
        freePayload(text, bytes, inArena);
    }
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
        m_inArena = other.m_inArena;
        m_data = other.m_data;
        other.m_kind = Kind::Null;
        other.m_inArena = false;
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
        List::destroy(m_data.items, m_inArena);
        break;
    case Kind::Typed:
        TypedPayload::destroy(m_data.typed, m_inArena);
        break;
    default:
        Text::destroy(m_data.text, m_inArena);
        break;
    }
}

void Value::copyFrom(const Value& other)
{
    m_kind = other.m_kind;
    m_inArena = false;
    if (other.holdsText()) {
        m_data.text = other.m_data.text->copy();
    } else if (other.m_kind == Kind::List) {
        m_data.items = List::make(other.m_data.items->items(), other.m_data.items->count, nullptr, m_inArena);
    } else if (other.m_kind == Kind::Typed) {
        m_data.typed =
            TypedPayload::make(other.m_data.typed->typeName(), other.m_data.typed->inner, nullptr, m_inArena);
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

Value Value::string(std::string_view utf8, Arena* arena)
{
    Value v;
    v.m_data.text = Text::make(utf8, arena, v.m_inArena);
    v.m_kind = Kind::String;
    return v;
}

Value Value::stringAsWritten(std::string_view utf8, std::string_view written, Arena* arena)
{
    Value v;
    v.m_data.text = Text::make(utf8, written, arena, v.m_inArena);
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

Value Value::enumeration(std::string_view name, Arena* arena)
{
    Value v;
    v.m_data.text = Text::make(name, arena, v.m_inArena);
    upperCase(v.m_data.text->characters, name.size());
    v.m_kind = Kind::Enumeration;
    return v;
}

Value Value::binary(std::string_view hex, Arena* arena)
{
    Value v;
    v.m_data.text = Text::make(hex, arena, v.m_inArena);
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

Value Value::list(std::vector<Value> items, Arena* arena)
{
    return listFrom(items.data(), items.size(), arena);
}

Value Value::listFrom(Value* first, std::size_t count, Arena* arena)
{
    Value v;
    v.m_data.items = List::make(std::make_move_iterator(first), count, arena, v.m_inArena);
    v.m_kind = Kind::List;
    return v;
}

Value Value::typed(std::string_view typeName, Value inner, Arena* arena)
{
    Value v;
    v.m_data.typed = TypedPayload::make(typeName, std::move(inner), arena, v.m_inArena);
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
    return m_kind == Kind::Typed ? m_data.typed->typeName() : std::string_view();
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
        return m_data.typed->typeName() == other.m_data.typed->typeName() &&
               m_data.typed->inner == other.m_data.typed->inner;
    default:
        return m_data.text->view() == other.m_data.text->view() &&
               m_data.text->written() == other.m_data.text->written();
    }
}

} // namespace Step

#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Step {

class Arena;
using Id = std::uint64_t;

/// One parameter of a STEP record: unset ($), derived (*), integer, real,
/// string (decoded, UTF-8), enumeration (.NAME., logicals included), binary,
/// entity reference (#n), list, or a typed value such as IFCLABEL('x').
/// Kept to 16 bytes because every loaded record holds a vector of them.
///
/// A value made with an arena keeps its payload there, given back to the
/// arena with the value; a copy is made on the heap. Such values belong to
/// the instances of the arena's data set; one moved out of an instance must
/// not outlive the data set (copy it instead).
class Value
{
public:
    enum class Kind : std::uint8_t {
        Null,
        Derived,
        Integer,
        Real,
        String,
        Enumeration,
        Binary,
        Reference,
        List,
        Typed
    };

    Value() = default;
    Value(const Value& other);
    Value(Value&& other) noexcept : m_kind(other.m_kind), m_inArena(other.m_inArena), m_data(other.m_data)
    {
        other.m_kind = Kind::Null;
        other.m_inArena = false;
        other.m_data.integer = 0;
    }
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept;
    ~Value()
    {
        if (ownsPayload()) {
            destroyPayload();
        }
    }

    static Value null() { return Value(); }
    static Value derived();
    static Value integer(std::int64_t v);
    static Value real(double v);
    static Value string(std::string_view utf8, Arena* arena = nullptr);
    /// A string whose literal cannot be decoded (a malformed escape): read
    /// as `utf8`, written back as the literal's own bytes `written` (between
    /// the quotes), so that saving changes nothing of it.
    static Value stringAsWritten(std::string_view utf8, std::string_view written, Arena* arena = nullptr);
    /// Enumeration and type names are held in upper case, as read.
    static Value enumeration(std::string_view name, Arena* arena = nullptr);
    static Value logical(bool v, Arena* arena = nullptr) { return enumeration(v ? "T" : "F", arena); }
    static Value binary(std::string_view hex, Arena* arena = nullptr);
    static Value reference(Id key);
    static Value list(std::vector<Value> items, Arena* arena = nullptr);
    /// A list of the values in [first, first + count), which are moved from.
    static Value listFrom(Value* first, std::size_t count, Arena* arena = nullptr);
    static Value typed(std::string_view typeName, Value inner, Arena* arena = nullptr);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isSet() const { return m_kind != Kind::Null && m_kind != Kind::Derived; }
    bool isReference() const { return m_kind == Kind::Reference; }
    bool isList() const { return m_kind == Kind::List; }
    bool isTyped() const { return m_kind == Kind::Typed; }
    bool isNumber() const { return m_kind == Kind::Integer || m_kind == Kind::Real; }

    std::int64_t integerValue() const { return m_kind == Kind::Integer ? m_data.integer : 0; }
    double realValue() const;
    /// Text of a string, enumeration (without dots), binary, or the type
    /// name of a typed value; empty otherwise.
    std::string_view text() const;
    Id referenceKey() const { return m_kind == Kind::Reference ? m_data.key : 0; }
    /// Whether this is a string kept as written (see stringAsWritten).
    bool isKeptAsWritten() const;
    /// The literal's bytes of a string kept as written; empty otherwise.
    std::string_view writtenText() const;
    /// Values held in one block, such as the items of a list or the
    /// attributes of an instance.
    template <class T> struct Range
    {
        T* first;
        std::size_t count;
        T* begin() const { return first; }
        T* end() const { return first + count; }
        T* data() const { return first; }
        std::size_t size() const { return count; }
        bool empty() const { return count == 0; }
        T& operator[](std::size_t index) const { return first[index]; }
        T& at(std::size_t index) const
        {
            if (index >= count) {
                throw std::out_of_range("list item out of range");
            }
            return first[index];
        }
        T& front() const { return first[0]; }
        T& back() const { return first[count - 1]; }
    };
    /// The items of a list; none for another value.
    Range<const Value> items() const;
    /// The items to change in place; a value that is not a list becomes an
    /// empty one.
    Range<Value> items();
    /// Removes the unset items of a list, keeping the others in order.
    void eraseUnsetItems();
    /// The wrapped value of a typed value; a null value otherwise.
    const Value& inner() const;
    /// Typed values unwrapped down to the plain value.
    const Value& plain() const;

    /// .T. / .F. / .U. of a BOOLEAN or LOGICAL, through typed wrappers:
    /// 1 true, 0 false, -1 unknown or not a logical.
    int logicalState() const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    struct TypedPayload;
    struct Text;
    struct List;

    // Bits by Kind: String, Enumeration, Binary, List and Typed values own
    // a payload. Most values destroyed were moved from, so the test is inline.
    static constexpr unsigned payloadKinds = 0x370;
    static constexpr unsigned textKinds = 0x070;
    bool ownsPayload() const { return (payloadKinds >> static_cast<unsigned>(m_kind)) & 1u; }
    bool holdsText() const { return (textKinds >> static_cast<unsigned>(m_kind)) & 1u; }
    void destroyPayload();
    void copyFrom(const Value& other);

    Kind m_kind = Kind::Null;
    /// The payload is in an arena: its block goes back there with the value.
    bool m_inArena = false;
    // One allocation per payload, sized for its kind: strings are the most
    // frequent values of decoded records, and a list or typed value needs
    // no string. A text is its length and characters in one block.
    union Data {
        std::int64_t integer;
        double real;
        Id key;
        Text* text;          // String, Enumeration, Binary
        List* items;         // List
        TypedPayload* typed; // Typed
    } m_data{0};
};

} // namespace Step

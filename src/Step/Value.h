#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Step {

using Id = std::uint64_t;

/// One parameter of a STEP record: unset ($), derived (*), integer, real,
/// string (decoded, UTF-8), enumeration (.NAME., logicals included), binary,
/// entity reference (#n), list, or a typed value such as IFCLABEL('x').
/// Kept to 16 bytes because every loaded record holds a vector of them.
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
    Value(Value&& other) noexcept;
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept;
    ~Value();

    static Value null() { return Value(); }
    static Value derived();
    static Value integer(std::int64_t v);
    static Value real(double v);
    static Value string(std::string utf8);
    /// Enumeration and type names are held in upper case, as read.
    static Value enumeration(std::string name);
    static Value logical(bool v) { return enumeration(v ? "T" : "F"); }
    static Value binary(std::string hex);
    static Value reference(Id key);
    static Value list(std::vector<Value> items);
    static Value typed(std::string typeName, Value inner);

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
    const std::string& text() const;
    Id referenceKey() const { return m_kind == Kind::Reference ? m_data.key : 0; }
    const std::vector<Value>& items() const;
    std::vector<Value>& items();
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
    struct Payload
    {
        std::string text;
        std::vector<Value> items;
    };

    void destroy();
    void copyFrom(const Value& other);
    static Value withPayload(Kind kind, std::string text, std::vector<Value> items);

    Kind m_kind = Kind::Null;
    union Data {
        std::int64_t integer;
        double real;
        Id key;
        Payload* payload;
    } m_data{0};
};

} // namespace Step

#pragma once

#include "Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace Step {

class Arena;

/// Decodes the parameter list of one record, "(...)" up to its closing
/// parenthesis, into values. Failures are reported, never thrown.
class RecordParser
{
public:
    static constexpr int maxDepth = 64;

    /// Values read keep their payloads in `arena` when there is one.
    explicit RecordParser(std::string_view text, Arena* arena = nullptr);

    /// Parses "(p1,p2,...)" at the start of the text.
    bool parseArguments(std::vector<Value>& out);
    /// Parses the value at `index` of "(p1,p2,...)", reading only the ones
    /// before it and leaving the rest of the text unread.
    bool parseArgumentAt(std::size_t index, Value& out);

    const std::string& error() const { return m_error; }
    /// Offset in the text where parsing stopped: for a string or comment
    /// left open, where it opens.
    std::size_t position() const { return m_pos; }
    /// Strings whose escapes were malformed (kept undecoded).
    int badStringCount() const { return m_badStrings; }

private:
    bool parseList(std::vector<Value>& out, int depth);
    /// Reads "(...)" onto the stack, above its current top.
    bool parseItems(int depth);
    bool parseValue(Value& out, int depth);
    /// Moves past the value at the current position, up to the ',' or ')'
    /// that ends it, reading nothing of it.
    bool skipValue();
    bool parseNumber(Value& out);
    bool parseString(Value& out);
    bool parseEnumeration(Value& out);
    bool parseBinary(Value& out);
    bool parseReference(Value& out);
    bool parseTyped(Value& out, int depth);
    void skipSpace();
    bool fail(const std::string& message);
    [[gnu::noinline]] bool fail(const char* message);

    std::string_view m_text;
    Arena* m_arena;
    std::size_t m_pos = 0;
    std::string m_error;
    int m_badStrings = 0;
    /// Values of the lists being read, innermost last: each list is moved
    /// out in one piece once its size is known. Shared by the parsers of a
    /// thread, so that reading a record allocates only what it keeps.
    std::vector<Value>& m_stack;
};

/// Canonical text of values as written for new or changed records.
namespace ValueWriter {
void write(std::string& out, const Value& value);
void writeReal(std::string& out, double value);
void writeArguments(std::string& out, const Value* arguments, std::size_t count);
} // namespace ValueWriter

} // namespace Step

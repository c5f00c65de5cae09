#include "RecordParser.h"

#include "Lexer.h"
#include "StringCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Step {

namespace {
// The first quote, backslash or 8-bit byte from p on, or end.
const char* skipStringText(const char* p, const char* end)
{
#ifdef __SSE2__
    const __m128i quote = _mm_set1_epi8('\'');
    const __m128i backslash = _mm_set1_epi8('\\');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i stops = _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash));
        // The sign bit of each byte marks the 8-bit ones.
        if (const int mask = _mm_movemask_epi8(_mm_or_si128(stops, bytes))) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
    }
#endif
    while (p < end && *p != '\'' && *p != '\\' && static_cast<unsigned char>(*p) < 0x80) {
        ++p;
    }
    return p;
}

std::vector<Value>& threadStack()
{
    static thread_local std::vector<Value> stack;
    return stack;
}
} // namespace

RecordParser::RecordParser(std::string_view text, Arena* arena) : m_text(text), m_arena(arena), m_stack(threadStack())
{
}

bool RecordParser::fail(const std::string& message)
{
    if (m_error.empty()) {
        m_error = message;
    }
    return false;
}

// Out of line: a string made where a loop fails costs the loop a frame.
bool RecordParser::fail(const char* message)
{
    if (m_error.empty()) {
        m_error = message;
    }
    return false;
}

void RecordParser::skipSpace()
{
    if (!Lexer::skipBlanks(m_text, m_pos)) {
        fail("unterminated comment"); // where it opens; what follows fails too
    }
}

bool RecordParser::parseArguments(std::vector<Value>& out)
{
    skipSpace();
    const std::size_t base = m_stack.size();
    const bool parsed = parseList(out, 0);
    // A failure leaves the values read so far behind.
    m_stack.resize(base);
    if (m_stack.capacity() > 4096 && base == 0) {
        std::vector<Value>().swap(m_stack); // after an unusually long list
    }
    return parsed;
}

bool RecordParser::parseArgumentAt(std::size_t index, Value& out)
{
    skipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != '(') {
        return fail("expected '('");
    }
    ++m_pos;
    const std::size_t base = m_stack.size();
    bool parsed = true;
    // The values before the one asked for are stepped over unread.
    for (std::size_t i = 0; i <= index; ++i) {
        parsed = i < index ? skipValue() : parseValue(out, 1);
        if (!parsed) {
            break;
        }
        skipSpace();
        if (i < index && (m_pos >= m_text.size() || m_text[m_pos++] != ',')) {
            parsed = fail("fewer parameters than asked for");
        }
    }
    m_stack.resize(base);
    return parsed;
}

bool RecordParser::skipValue()
{
    skipSpace();
    int depth = 0;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '\'' || c == '/' || c == '"') {
            m_pos = std::max(m_pos + 1, Lexer::skipOpaque(m_text, m_pos));
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if ((c == ')' && depth-- == 0) || (c == ',' && depth == 0)) {
            return true;
        }
        ++m_pos;
    }
    return fail("unexpected end of record");
}

bool RecordParser::parseList(std::vector<Value>& out, int depth)
{
    const std::size_t mark = m_stack.size();
    if (!parseItems(depth)) {
        return false;
    }
    // One allocation of the exact size, instead of growing item by item.
    out.reserve(out.size() + (m_stack.size() - mark));
    for (auto it = m_stack.begin() + static_cast<std::ptrdiff_t>(mark); it != m_stack.end(); ++it) {
        out.push_back(std::move(*it));
    }
    m_stack.resize(mark);
    return true;
}

bool RecordParser::parseItems(int depth)
{
    if (depth > maxDepth) {
        return fail("lists nested too deeply");
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != '(') {
        return fail("expected '('");
    }
    ++m_pos;
    skipSpace();
    if (m_pos < m_text.size() && m_text[m_pos] == ')') {
        ++m_pos;
        return true;
    }
    while (true) {
        Value v; // not read into the stack: nested lists may move it
        if (!parseValue(v, depth + 1)) {
            return false;
        }
        m_stack.push_back(std::move(v));
        skipSpace();
        if (m_pos >= m_text.size()) {
            return fail("unterminated parameter list");
        }
        const char c = m_text[m_pos++];
        if (c == ')') {
            break;
        }
        if (c != ',') {
            return fail(std::string("expected ',' or ')' but found '") + c + "'");
        }
        skipSpace();
    }
    return true;
}

bool RecordParser::parseValue(Value& out, int depth)
{
    skipSpace();
    if (m_pos >= m_text.size()) {
        return fail("unexpected end of record");
    }
    const char c = m_text[m_pos];
    switch (c) {
    case '$':
        ++m_pos;
        out = Value::null();
        return true;
    case '*':
        ++m_pos;
        out = Value::derived();
        return true;
    case '\'':
        return parseString(out);
    case '.':
        return parseEnumeration(out);
    case '"':
        return parseBinary(out);
    case '#':
        return parseReference(out);
    case '(': {
        const std::size_t mark = m_stack.size();
        if (!parseItems(depth)) {
            return false;
        }
        out = Value::listFrom(m_stack.data() + mark, m_stack.size() - mark, m_arena);
        m_stack.resize(mark);
        return true;
    }
    default:
        if (Lexer::isDigit(c) || c == '-' || c == '+') {
            return parseNumber(out);
        }
        if (Lexer::isLetter(c)) {
            return parseTyped(out, depth);
        }
        return fail(std::string("unexpected character '") + c + "'");
    }
}

bool RecordParser::parseNumber(Value& out)
{
    const std::size_t start = m_pos;
    if (m_text[m_pos] == '-' || m_text[m_pos] == '+') {
        ++m_pos;
    }
    bool isReal = false;
    bool digits = false;
    while (m_pos < m_text.size() && Lexer::isDigit(m_text[m_pos])) {
        ++m_pos;
        digits = true;
    }
    if (m_pos < m_text.size() && m_text[m_pos] == '.') {
        isReal = true;
        ++m_pos;
        while (m_pos < m_text.size() && Lexer::isDigit(m_text[m_pos])) {
            ++m_pos;
        }
    }
    if (isReal && m_pos < m_text.size() && (m_text[m_pos] == 'E' || m_text[m_pos] == 'e')) {
        ++m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+')) {
            ++m_pos;
        }
        bool expDigits = false;
        while (m_pos < m_text.size() && Lexer::isDigit(m_text[m_pos])) {
            ++m_pos;
            expDigits = true;
        }
        if (!expDigits) {
            return fail("malformed exponent");
        }
    }
    if (!digits) {
        return fail("malformed number");
    }
    const char* first = m_text.data() + start + (m_text[start] == '+' ? 1 : 0);
    const char* last = m_text.data() + m_pos;
    if (isReal) {
        const std::size_t length = static_cast<std::size_t>(last - first);
        if (length >= 128) {
            return fail("number too long");
        }
        double value = 0;
        const auto result = std::from_chars(first, last, value);
        if (result.ec != std::errc() || result.ptr != last) {
            // Out of range: strtod gives the infinity or zero it rounds to.
            char buffer[128];
            std::memcpy(buffer, first, length);
            buffer[length] = '\0';
            value = std::strtod(buffer, nullptr);
        }
        out = Value::real(value);
        return true;
    }
    std::int64_t v = 0;
    const auto result = std::from_chars(first, last, v);
    if (result.ec != std::errc() || result.ptr != last) {
        return fail("integer out of range");
    }
    out = Value::integer(v);
    return true;
}

bool RecordParser::parseString(Value& out)
{
    const std::size_t start = ++m_pos;
    const char* const begin = m_text.data();
    const char* const end = begin + m_text.size();
    const char* p = begin + start;
    // Most strings hold no escape, no doubled quote and no 8-bit byte: those
    // are taken as they are, the others go through the decoder.
    bool plain = true;
    while (true) {
        p = skipStringText(p, end);
        if (p >= end) {
            m_pos = start - 1; // reported where the string opens
            return fail("unterminated string");
        }
        if (*p != '\'') {
            plain = false;
            ++p;
            continue;
        }
        if (p + 1 < end && p[1] == '\'') {
            plain = false;
            p += 2;
            continue;
        }
        break;
    }
    const std::size_t quote = static_cast<std::size_t>(p - begin);
    m_pos = quote + 1;
    const std::string_view body = m_text.substr(start, quote - start);
    if (plain) {
        out = Value::string(body, m_arena);
        return true;
    }
    std::string decoded;
    if (!StringCodec::decode(body, decoded)) {
        ++m_badStrings;
        out = Value::stringAsWritten(decoded, body, m_arena);
        return true;
    }
    out = Value::string(decoded, m_arena);
    return true;
}

bool RecordParser::parseEnumeration(Value& out)
{
    const std::size_t start = ++m_pos;
    while (m_pos < m_text.size() && Lexer::isNameChar(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != '.' || m_pos == start) {
        return fail("malformed enumeration");
    }
    const std::string_view name = m_text.substr(start, m_pos - start);
    ++m_pos;
    out = Value::enumeration(name, m_arena);
    return true;
}

bool RecordParser::parseBinary(Value& out)
{
    const std::size_t start = ++m_pos;
    const std::size_t end = m_text.find('"', m_pos);
    if (end == std::string_view::npos) {
        return fail("unterminated binary");
    }
    m_pos = end + 1;
    out = Value::binary(m_text.substr(start, end - start), m_arena);
    return true;
}

bool RecordParser::parseReference(Value& out)
{
    Id key = 0;
    if (!Lexer::readReference(m_text, m_pos, key, m_pos)) {
        return fail("malformed instance reference");
    }
    out = Value::reference(key);
    return true;
}

bool RecordParser::parseTyped(Value& out, int depth)
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && Lexer::isNameChar(m_text[m_pos])) {
        ++m_pos;
    }
    const std::string_view name = m_text.substr(start, m_pos - start);
    skipSpace();
    const std::size_t mark = m_stack.size();
    if (!parseItems(depth)) {
        return false;
    }
    if (m_stack.size() - mark != 1) {
        std::string upper(name);
        Lexer::toUpper(upper);
        return fail("typed parameter " + upper + " must hold one value");
    }
    out = Value::typed(name, std::move(m_stack[mark]), m_arena);
    m_stack.resize(mark);
    return true;
}

namespace ValueWriter {

void writeReal(std::string& out, double value)
{
    if (std::isnan(value)) {
        out += '$';
        return;
    }
    if (std::isinf(value)) {
        // What a number too large to read became: the largest one written
        // instead, as an unset value cannot stand in a list.
        value = std::copysign(std::numeric_limits<double>::max(), value);
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    std::string text(buffer, result.ptr);
    std::string mantissa = text;
    std::string exponent;
    const std::size_t e = text.find('e');
    if (e != std::string::npos) {
        mantissa = text.substr(0, e);
        exponent = text.substr(e + 1);
        if (!exponent.empty() && exponent[0] == '+') {
            exponent.erase(0, 1);
        }
    }
    if (mantissa.find('.') == std::string::npos) {
        mantissa += '.';
    }
    out += mantissa;
    if (!exponent.empty()) {
        out += 'E';
        out += exponent;
    }
}

void write(std::string& out, const Value& value)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        out += '$';
        break;
    case Value::Kind::Derived:
        out += '*';
        break;
    case Value::Kind::Integer:
        out += std::to_string(value.integerValue());
        break;
    case Value::Kind::Real:
        writeReal(out, value.realValue());
        break;
    case Value::Kind::String:
        out += '\'';
        if (value.isKeptAsWritten()) {
            out += value.writtenText();
        } else {
            StringCodec::encodeTo(value.text(), out);
        }
        out += '\'';
        break;
    case Value::Kind::Enumeration:
        out += '.';
        out += value.text();
        out += '.';
        break;
    case Value::Kind::Binary:
        out += '"';
        out += value.text();
        out += '"';
        break;
    case Value::Kind::Reference:
        out += '#';
        out += std::to_string(value.referenceKey());
        break;
    case Value::Kind::List:
        writeArguments(out, value.items().data(), value.items().size());
        break;
    case Value::Kind::Typed:
        out += value.text();
        out += '(';
        write(out, value.inner());
        out += ')';
        break;
    }
}

void writeArguments(std::string& out, const Value* arguments, std::size_t count)
{
    out += '(';
    for (std::size_t i = 0; i < count; ++i) {
        if (i) {
            out += ',';
        }
        write(out, arguments[i]);
    }
    out += ')';
}

} // namespace ValueWriter
} // namespace Step

#pragma once

#include "StringCodec.h"

#include "Value.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Step {

/// The lexical rules of an exchange file (ISO 10303-21): blanks, comments,
/// strings with their doubled quotes, instance names and references "#n",
/// and keywords, read in upper case. Every reader of the text (the indexer,
/// the record parser, the removal of references to deleted instances)
/// follows these, so that a quote in a comment, a comment marker in a
/// string or a "#n" in either reads the same to all of them. Inline: the
/// indexer calls them for every record.
namespace Lexer {

constexpr std::size_t npos = std::string_view::npos;

constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

/// Letters, digits and '_': the characters of entity, type and
/// enumeration names.
constexpr bool isNameChar(char c)
{
    return isLetter(c) || isDigit(c) || c == '_';
}

/// Name characters and '-', which the section keywords (ISO-10303-21,
/// END-ISO-10303-21) hold. Entity names are read with them too, so that a
/// malformed name is reported whole rather than cut at its '-'.
constexpr bool isKeywordChar(char c)
{
    return isNameChar(c) || c == '-';
}

constexpr char toUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// Keywords are case-insensitive: they are held in upper case.
inline void toUpper(std::string& keyword)
{
    for (char& c : keyword) {
        c = toUpper(c);
    }
}

namespace detail {
constexpr std::array<char, 256> makeKeywordUpper()
{
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        if (isKeywordChar(static_cast<char>(c))) {
            table[static_cast<std::size_t>(c)] = toUpper(static_cast<char>(c));
        }
    }
    return table;
}
} // namespace detail

/// The upper-case form of each keyword character, 0 for every other byte:
/// one look-up both tests and converts.
inline constexpr std::array<char, 256> keywordUpper = detail::makeKeywordUpper();

/// The first quote from p on, or end. Strings are mostly short: a library
/// call costs more than looking at the bytes here.
inline const char* findQuote(const char* p, const char* end)
{
#ifdef __SSE2__
    const __m128i quote = _mm_set1_epi8('\'');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote))) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
    }
#endif
    while (p < end && *p != '\'') {
        ++p;
    }
    return p;
}

/// Past the quote closing the string whose opening quote is at p (a doubled
/// quote belongs to the string), or null when the text ends first.
inline const char* stringEnd(const char* p, const char* end)
{
    ++p;
    while (true) {
        p = findQuote(p, end);
        if (p == end) {
            return nullptr;
        }
        ++p;
        if (p == end || *p != '\'') {
            return p;
        }
        ++p;
    }
}

/// Offset past the string whose opening quote is at `quote`, or npos.
inline std::size_t stringEnd(std::string_view text, std::size_t quote)
{
    const char* const end = stringEnd(text.data() + quote, text.data() + text.size());
    return end ? static_cast<std::size_t>(end - text.data()) : npos;
}

inline bool opensComment(std::string_view text, std::size_t pos)
{
    return pos + 1 < text.size() && text[pos] == '/' && text[pos + 1] == '*';
}

/// Offset past the "*/" closing the comment that opens at pos, or npos.
inline std::size_t commentEnd(std::string_view text, std::size_t pos)
{
    const std::size_t close = text.find("*/", pos + 2);
    return close == npos ? npos : close + 2;
}

/// Offset past the string or comment that opens at pos, pos itself when
/// neither does, or the end of the text when it is not closed.
inline std::size_t skipLiteral(std::string_view text, std::size_t pos)
{
    std::size_t end = pos;
    if (pos < text.size() && text[pos] == '\'') {
        end = stringEnd(text, pos);
    } else if (opensComment(text, pos)) {
        end = commentEnd(text, pos);
    }
    return end == npos ? text.size() : end;
}

/// skipLiteral() for a binary "..." too: a reader stepping over values
/// without reading them skips each of the three whole.
inline std::size_t skipOpaque(std::string_view text, std::size_t pos)
{
    if (pos < text.size() && text[pos] == '"') {
        const std::size_t close = text.find('"', pos + 1);
        return close == npos ? text.size() : close + 1;
    }
    return skipLiteral(text, pos);
}

/// Moves pos past blanks and comments. False when a comment is not closed,
/// with pos where it opens.
inline bool skipBlanks(std::string_view text, std::size_t& pos)
{
    while (pos < text.size()) {
        if (isBlank(text[pos])) {
            ++pos;
        } else if (opensComment(text, pos)) {
            const std::size_t end = commentEnd(text, pos);
            if (end == npos) {
                return false;
            }
            pos = end;
        } else {
            break;
        }
    }
    return true;
}

/// A fingerprint of a text (UTF-8, or any code units of the same values
/// below 0x80): texts of different fingerprints differ. Never 0.
template <class Char> std::uint32_t textFingerprint(const Char* text, std::size_t length)
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < length; ++i) {
        hash = (hash ^ static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i]))) * 16777619u;
    }
    return hash ? hash : 1;
}

inline std::uint32_t textFingerprint(std::string_view utf8)
{
    return textFingerprint(utf8.data(), utf8.size());
}

/// textFingerprint() of attribute `index` of a parameter list "(...)" when
/// it is a string, as read; 0 when it is not, when the string cannot be
/// read, or when a list, comment or binary comes before it (rare: the
/// record is then read as usual).
inline std::uint32_t attributeFingerprint(std::string_view parameters, std::size_t index)
{
    std::size_t pos = 1;
    for (std::size_t skipped = 0; skipped < index;) {
        if (pos >= parameters.size()) {
            return 0;
        }
        const char c = parameters[pos];
        if (c == '\'') {
            pos = stringEnd(parameters, pos);
            if (pos == npos) {
                return 0;
            }
            continue;
        }
        if (c == '(' || c == ')' || c == '/' || c == '"') {
            return 0;
        }
        skipped += c == ',';
        ++pos;
    }
    while (pos < parameters.size() && isBlank(parameters[pos])) {
        ++pos;
    }
    if (pos >= parameters.size() || parameters[pos] != '\'') {
        return 0;
    }
    const std::size_t end = stringEnd(parameters, pos);
    if (end == npos) {
        return 0;
    }
    const std::string_view body = parameters.substr(pos + 1, end - pos - 2);
    // As the record parser reads it: verbatim unless escaped or 8-bit.
    const bool plain = std::none_of(body.begin(), body.end(), [](char c) {
        return c == '\'' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
    });
    if (plain) {
        return textFingerprint(body);
    }
    std::string decoded;
    return StringCodec::decode(body, decoded) ? textFingerprint(decoded) : 0;
}

/// Reads the instance name or reference "#n" whose '#' is at pos: its
/// number in key, and in end the offset past its digits, as far as they go.
/// False when no digit follows the '#' or the number does not fit an Id.
inline bool readReference(std::string_view text, std::size_t pos, Id& key, std::size_t& end)
{
    const char* const digits = text.data() + pos + 1;
    const char* const last = text.data() + text.size();
    const char* p = digits;
    Id value = 0;
    while (p < last && isDigit(*p)) {
        value = value * 10 + static_cast<Id>(*p - '0');
        ++p;
    }
    end = static_cast<std::size_t>(p - text.data());
    // Nineteen digits always fit; beyond, the sum above may have wrapped.
    if (p == digits || (p - digits > 19 && std::from_chars(digits, p, value).ec != std::errc())) {
        return false;
    }
    key = value;
    return true;
}

/// The first `wanted` character from pos on outside strings and comments,
/// or the end of the text.
inline std::size_t findOutsideLiterals(std::string_view text, char wanted, std::size_t pos = 0)
{
    while (pos < text.size() && text[pos] != wanted) {
        pos = std::max(pos + 1, skipLiteral(text, pos));
    }
    return pos;
}

/// Offset of the '(' that opens the parameters of a record "#n=NAME(...);"
/// (the first of its partial entities for a complex instance), or npos.
/// Blanks and comments may stand between the tokens of the head, and a
/// comment may hold a '(' of its own.
inline std::size_t parametersStart(std::string_view record)
{
    const std::size_t paren = record.find('(');
    // Heads seldom hold a comment: the first '(' is then the one.
    if (paren == npos || record.substr(0, paren).find('/') == npos) {
        return paren;
    }
    const std::size_t found = findOutsideLiterals(record, '(');
    return found < record.size() ? found : npos;
}

/// The next reference "#n" from pos on outside strings and comments: the
/// offset of its '#', its number in key and the offset past it in end; npos
/// when there is none.
inline std::size_t findReference(std::string_view text, std::size_t pos, Id& key, std::size_t& end)
{
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '#' && readReference(text, pos, key, end)) {
            return pos;
        }
        pos = c == '\'' || c == '/' ? std::max(pos + 1, skipLiteral(text, pos)) : pos + 1;
    }
    return npos;
}

/// Calls visit(attribute, key) for each reference "#n" in the attributes of
/// "(p1,p2,...)" whose bits are set in `attributes` (bit i for pi, up to
/// 64), in their nested lists and typed values too, without reading any
/// value: what the inverse relations need of a record it does not decode.
/// False when the parameters are not closed.
template <class Visit> bool forEachReference(std::string_view parameters, std::uint64_t attributes, Visit&& visit)
{
    std::size_t pos = 0;
    if (!skipBlanks(parameters, pos) || pos >= parameters.size() || parameters[pos] != '(') {
        return false;
    }
    int depth = 0;
    std::size_t attribute = 0;
    while (pos < parameters.size()) {
        const char c = parameters[pos];
        if (c == '\'' || c == '/' || c == '"') {
            pos = std::max(pos + 1, skipOpaque(parameters, pos));
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) {
                return true;
            }
        } else if (c == ',' && depth == 1) {
            if (++attribute >= 64 || (attributes >> attribute) == 0) {
                return true; // past the last attribute asked for
            }
        } else if (c == '#' && attribute < 64 && (attributes >> attribute & 1U)) {
            Id key = 0;
            std::size_t end = pos;
            if (readReference(parameters, pos, key, end)) {
                visit(attribute, key);
                pos = end;
                continue;
            }
        }
        ++pos;
    }
    return false;
}

} // namespace Lexer
} // namespace Step

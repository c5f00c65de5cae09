#pragma once

#include <cstddef>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Step {

/// Where a comment and a string literal of an exchange file end. Every
/// scanner that skips over parameters (the indexer, the record parser, the
/// removal of references to deleted instances) follows these rules, so that
/// a quote in a comment or a comment marker in a string reads the same to
/// all of them. Inline: the indexer calls them for every string it skips.
namespace Lexer {

constexpr std::size_t npos = std::string_view::npos;

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

} // namespace Lexer
} // namespace Step

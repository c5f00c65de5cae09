#pragma once

#include <string>

namespace Step {

/// Minimal UTF-8 encoding and decoding; malformed input decodes to U+FFFD
/// instead of failing, so no text is ever dropped silently.
namespace Utf8 {

void append(std::string& out, char32_t codePoint);
/// Decodes the code point at pos and advances pos past it.
char32_t next(const std::string& text, std::size_t& pos);

} // namespace Utf8
} // namespace Step

#pragma once

#include <string>
#include <string_view>

namespace Step {

/// Encoding of STEP string literals (ISO 10303-21 control directives).
namespace StringCodec {

/// Decodes the body of a string literal (between the quotes) to UTF-8:
/// '' , \\ , \S\ , \P?\ , \X\hh , \X2\...\X0\ and \X4\...\X0\.
/// Raw 8-bit text, which some exporters write, is taken as UTF-8 when it is
/// valid UTF-8 and as ISO 8859-1 otherwise. Returns false on a malformed
/// directive; out then holds the undecoded body, for reading (the record
/// parser keeps the body's own bytes for writing it back).
bool decode(std::string_view body, std::string& out);

/// Encodes UTF-8 text as the body of a string literal using only printable
/// ASCII: quotes doubled, backslashes doubled, other characters as \X2\ (or
/// \X4\ outside the basic plane) and control characters as \X\hh.
std::string encode(std::string_view utf8);
/// Same, appended to out.
void encodeTo(std::string_view utf8, std::string& out);

} // namespace StringCodec
} // namespace Step

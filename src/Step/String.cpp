#include "String.h"

#include "Utf8.h"

#include <cstdint>

namespace Step {

String::String(const char* utf8) : m_text(utf8 ? wideFromUtf8(utf8) : std::wstring()) {}

String::String(const std::string& utf8) : m_text(wideFromUtf8(utf8)) {}

std::string String::toUtf8() const
{
    return utf8FromWide(m_text);
}

std::string String::utf8FromWide(const std::wstring& text)
{
    // Names and identifiers are mostly ASCII: copied as they are up to the
    // first other character.
    std::string out(text.size(), '\0');
    std::size_t ascii = 0;
    for (; ascii < text.size() && static_cast<std::uint32_t>(text[ascii]) < 0x80; ++ascii) {
        out[ascii] = static_cast<char>(text[ascii]);
    }
    if (ascii == text.size()) {
        return out;
    }
    out.resize(ascii);
    for (std::size_t i = ascii; i < text.size(); ++i) {
        Utf8::append(out, static_cast<char32_t>(text[i]));
    }
    return out;
}

std::wstring String::wideFromUtf8(const std::string& utf8)
{
    std::wstring out(utf8.size(), L'\0');
    std::size_t pos = 0;
    for (; pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80; ++pos) {
        out[pos] = static_cast<wchar_t>(utf8[pos]);
    }
    if (pos == utf8.size()) {
        return out;
    }
    out.resize(pos);
    while (pos < utf8.size()) {
        out.push_back(static_cast<wchar_t>(Utf8::next(utf8, pos)));
    }
    return out;
}

} // namespace Step

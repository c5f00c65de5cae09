#include "String.h"

#include "Utf8.h"

namespace Step {

String::String(const char* utf8) : m_text(utf8 ? wideFromUtf8(utf8) : std::wstring()) {}

String::String(const std::string& utf8) : m_text(wideFromUtf8(utf8)) {}

std::string String::toUtf8() const
{
    return utf8FromWide(m_text);
}

std::string String::utf8FromWide(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        Utf8::append(out, static_cast<char32_t>(c));
    }
    return out;
}

std::wstring String::wideFromUtf8(const std::string& utf8)
{
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        out.push_back(static_cast<wchar_t>(Utf8::next(utf8, pos)));
    }
    return out;
}

} // namespace Step

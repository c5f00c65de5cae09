#pragma once

#include <string>
#include <string_view>

namespace Step {

/// Unicode text of STEP string attributes. Held as a wide string (UTF-32 on
/// this platform); 8-bit input is taken as UTF-8.
class String
{
public:
    String() = default;
    String(const char* utf8);
    String(const std::string& utf8);
    String(std::string_view utf8) : String(std::string(utf8)) {}
    String(std::wstring text) : m_text(std::move(text)) {}
    String(const wchar_t* text) : m_text(text ? text : L"") {}

    static String fromUtf8(const std::string& utf8) { return String(utf8); }

    const std::wstring& toWString() const { return m_text; }
    operator const std::wstring&() const { return m_text; }
    std::string toUtf8() const;

    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }

    friend bool operator==(const String& a, const String& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const String& a, const String& b) { return a.m_text != b.m_text; }
    friend bool operator<(const String& a, const String& b) { return a.m_text < b.m_text; }

    static std::string utf8FromWide(const std::wstring& text);
    static std::wstring wideFromUtf8(const std::string& utf8);

private:
    std::wstring m_text;
};

} // namespace Step

#include "StringCodec.h"

#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iconv.h>

namespace Step {
namespace StringCodec {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool readHex(std::string_view s, std::size_t pos, std::size_t digits, std::uint32_t& value)
{
    if (pos + digits > s.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int d = hexDigit(s[pos + i]);
        if (d < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return true;
}

/// Maps a byte of ISO 8859-<part> (selected by \P?\) to Unicode.
char32_t fromCodePage(char page, unsigned char byte)
{
    if (page == 'A' || byte < 0xA0) {
        return byte;
    }
    const std::string name = "ISO-8859-" + std::to_string(page - 'A' + 1);
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return byte;
    }
    char in[1] = {static_cast<char>(byte)};
    std::array<unsigned char, 4> out{};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t inLeft = 1;
    std::size_t outLeft = out.size();
    char32_t result = byte;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
        result = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
    }
    iconv_close(cd);
    return result;
}

/// Whether a well-formed UTF-8 sequence starts at pos: shortest form, no
/// surrogate, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s, std::size_t pos, std::size_t& length)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || pos + length > s.size()) {
        return false;
    }
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(s[pos + i]);
        if ((byte & 0xC0) != 0x80) {
            return false;
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return cp >= smallest[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

/// Appends 8-bit text: UTF-8 sequences as they are, other bytes as
/// ISO 8859-1.
std::size_t appendEightBit(std::string_view s, std::size_t pos, std::string& out)
{
    std::size_t length = 0;
    if (isValidUtf8(s, pos, length)) {
        out.append(s.substr(pos, length));
        return length;
    }
    Utf8::append(out, static_cast<unsigned char>(s[pos]));
    return 1;
}

/// Decodes the hex run of \X2\ or \X4\ up to its \X0\; pos starts after the
/// opening directive and ends after \X0\.
bool decodeWideRun(std::string_view s, std::size_t& pos, std::size_t digits, std::string& out)
{
    while (true) {
        if (s.compare(pos, 4, "\\X0\\") == 0) {
            pos += 4;
            return true;
        }
        std::uint32_t cp = 0;
        if (!readHex(s, pos, digits, cp)) {
            return false; // odd length, bad digit or missing \X0\ .
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            return false;
        }
        Utf8::append(out, cp);
        pos += digits;
    }
}

} // namespace

bool decode(std::string_view s, std::string& out)
{
    out.clear();
    out.reserve(s.size());
    char codePage = 'A';
    std::size_t pos = 0;
    bool malformed = false; // a bad run can end exactly at the end of s
    while (pos < s.size()) {
        const char c = s[pos];
        if (c == '\'') {
            if (pos + 1 < s.size() && s[pos + 1] == '\'') {
                out.push_back('\'');
                pos += 2;
                continue;
            }
            break; // a lone quote cannot occur inside a well-formed literal
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            pos += appendEightBit(s, pos, out);
            continue;
        }
        if (c != '\\') {
            out.push_back(c);
            ++pos;
            continue;
        }
        const std::string_view rest = s.substr(pos);
        std::uint32_t value = 0;
        if (rest.compare(0, 2, "\\\\") == 0) {
            out.push_back('\\');
            pos += 2;
        } else if (rest.compare(0, 3, "\\S\\") == 0 && rest.size() >= 4) {
            Utf8::append(out, fromCodePage(codePage, static_cast<unsigned char>(rest[3]) | 0x80));
            // A quote stays doubled after \S\ (\S\'' is 0xA7).
            pos += rest.compare(3, 2, "''") == 0 ? 5 : 4;
        } else if (rest.size() >= 4 && rest[1] == 'P' && rest[3] == '\\' && rest[2] >= 'A' && rest[2] <= 'I') {
            codePage = rest[2];
            pos += 4;
        } else if (rest.compare(0, 4, "\\X2\\") == 0) {
            pos += 4;
            if (!decodeWideRun(s, pos, 4, out)) {
                malformed = true;
                break;
            }
        } else if (rest.compare(0, 4, "\\X4\\") == 0) {
            pos += 4;
            if (!decodeWideRun(s, pos, 8, out)) {
                malformed = true;
                break;
            }
        } else if (rest.compare(0, 3, "\\X\\") == 0 && readHex(rest, 3, 2, value)) {
            Utf8::append(out, value);
            pos += 5;
        } else {
            break;
        }
    }
    if (malformed || pos < s.size()) {
        // Kept as written, though still as UTF-8 like any decoded text.
        out.clear();
        for (std::size_t i = 0; i < s.size();) {
            if (static_cast<unsigned char>(s[i]) < 0x80) {
                out.push_back(s[i++]);
            } else {
                i += appendEightBit(s, i, out);
            }
        }
        return false;
    }
    return true;
}

std::string encode(std::string_view utf8)
{
    std::string out;
    encodeTo(utf8, out);
    return out;
}

void encodeTo(std::string_view utf8, std::string& out)
{
    // Most texts are printable ASCII with neither quote nor backslash: they
    // are their own encoding.
    const bool plain =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\'' && c != '\\'; });
    if (plain) {
        out += utf8;
        return;
    }
    static const char hex[] = "0123456789ABCDEF";
    const std::string text(utf8);
    out.reserve(out.size() + text.size() + 8);
    std::size_t pos = 0;
    bool inWideRun = false;
    auto closeRun = [&] {
        if (inWideRun) {
            out += "\\X0\\";
            inWideRun = false;
        }
    };
    while (pos < text.size()) {
        const char32_t cp = Utf8::next(text, pos);
        if (cp >= 0x20 && cp < 0x7F) {
            closeRun();
            if (cp == '\'') {
                out += "''";
            } else if (cp == '\\') {
                out += "\\\\";
            } else {
                out.push_back(static_cast<char>(cp));
            }
        } else if (cp < 0x20 || cp == 0x7F) {
            closeRun();
            out += "\\X\\";
            out.push_back(hex[cp >> 4]);
            out.push_back(hex[cp & 0xF]);
        } else if (cp < 0x10000) {
            if (!inWideRun) {
                out += "\\X2\\";
                inWideRun = true;
            }
            for (int shift = 12; shift >= 0; shift -= 4) {
                out.push_back(hex[(cp >> shift) & 0xF]);
            }
        } else {
            closeRun();
            out += "\\X4\\";
            for (int shift = 28; shift >= 0; shift -= 4) {
                out.push_back(hex[(cp >> shift) & 0xF]);
            }
            out += "\\X0\\";
        }
    }
    closeRun();
}

} // namespace StringCodec
} // namespace Step

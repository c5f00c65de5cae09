#include "StepRewriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <random>
#include <utility>

namespace testsupport {

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isKeywordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
}

// Comments that a reader following the lexical rules skips whole, though
// they hold what would end or start something elsewhere.
constexpr std::array<std::string_view, 14> comments = {
    "/* north wall (load-bearing) */",
    "/* it's */",
    "/* 'quoted; text' */",
    "/*;*/",
    "/* #12 = IFCWALL( */",
    "/*(*/",
    "/*)*/",
    "/* \"0A\" .T. $ * , */",
    "/* a\nmulti-line\r\n comment */",
    "/***/",
    "/* / * and * / and /* */",
    "/**/",
    "/* ENDSEC; END-ISO-10303-21; */",
    "/* '' ' */",
};
constexpr std::array<std::string_view, 5> blanks = {" ", "\n", "\t", "  \n  ", "\n\n"};

// Length of the number at pos: [sign] digits [. digits] [E [sign] digits].
std::size_t numberLength(std::string_view text, std::size_t pos)
{
    std::size_t end = pos + 1;
    const auto digits = [&] {
        while (end < text.size() && isDigit(text[end])) {
            ++end;
        }
    };
    digits();
    if (end < text.size() && text[end] == '.') {
        ++end;
        digits();
        if (end < text.size() && (text[end] == 'E' || text[end] == 'e')) {
            ++end;
            if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
                ++end;
            }
            digits();
        }
    }
    return end - pos;
}

// Length of the token at pos, 0 when it is not closed.
std::size_t tokenLength(std::string_view text, std::size_t pos)
{
    const char c = text[pos];
    const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
    std::size_t end = pos + 1;
    if (c == '\'') {
        while ((end = text.find('\'', end)) != std::string_view::npos) {
            if (end + 1 < text.size() && text[end + 1] == '\'') {
                end += 2;
                continue;
            }
            return end + 1 - pos;
        }
        return 0;
    }
    if (c == '"' || (c == '.' && std::isalpha(static_cast<unsigned char>(next)))) {
        end = text.find(c, end);
        return end == std::string_view::npos ? 0 : end + 1 - pos;
    }
    if (isDigit(c) || ((c == '-' || c == '+') && isDigit(next))) {
        return numberLength(text, pos);
    }
    if (c == '#' || c == '!' || std::isalpha(static_cast<unsigned char>(c))) {
        while (end < text.size() && (c == '#' ? isDigit(text[end]) : isKeywordChar(text[end]))) {
            ++end;
        }
    }
    return end - pos;
}

std::size_t separatorLength(std::string_view text, std::size_t pos)
{
    if (text.compare(pos, 2, "/*") == 0) {
        const std::size_t close = text.find("*/", pos + 2);
        return close == std::string_view::npos ? 0 : close + 2 - pos;
    }
    std::size_t end = pos;
    while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    return end - pos;
}

std::size_t lineOf(std::string_view text, std::size_t offset)
{
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

} // namespace

StepRewriter::StepRewriter(std::string source) : m_text(std::move(source))
{
    const std::string_view text = m_text;
    for (std::size_t pos = 0; pos < text.size() && m_valid;) {
        const std::size_t separator = separatorLength(text, pos);
        const std::size_t length = separator ? separator : tokenLength(text, pos);
        m_valid = length > 0;
        m_tokens.push_back(Token{text.substr(pos, length), separator > 0});
        pos += length;
    }
}

std::vector<std::string> StepRewriter::pieces(unsigned seed) const
{
    std::mt19937 random(seed);
    std::vector<std::string> out;
    out.reserve(m_tokens.size() * 2);
    for (std::size_t i = 0; i < m_tokens.size(); ++i) {
        out.emplace_back(m_tokens[i].text);
        if (i + 1 == m_tokens.size() || random() % 3 != 0) {
            continue;
        }
        std::string separator(blanks[random() % blanks.size()]);
        if (random() % 2 == 0) {
            separator = comments[random() % comments.size()];
            separator += blanks[random() % blanks.size()];
        }
        out.push_back(std::move(separator));
    }
    return out;
}

std::string StepRewriter::withSeparators(unsigned seed) const
{
    std::string out;
    for (const std::string& piece : pieces(seed)) {
        out += piece;
    }
    return out;
}

StepRewriter::Fault StepRewriter::withFault(unsigned seed, Fault::Kind kind) const
{
    std::vector<std::string> parts = pieces(seed);
    // Where the records of the data section have their '=', their first
    // '(' and their closing ')'; each record's ';' follows its ')'.
    struct Record
    {
        std::size_t equals = 0, open = 0, close = 0;
    };
    std::vector<Record> records;
    bool inData = false;
    int depth = 0;
    Record record;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part == "DATA") {
            inData = true;
        } else if (!inData) {
            continue;
        } else if (part == "=" && depth == 0) {
            record.equals = i;
        } else if (part == "(" && depth++ == 0) {
            record.open = i;
        } else if (part == ")" && --depth == 0) {
            record.close = i;
            records.push_back(record);
        }
    }
    Fault fault;
    if (records.empty()) {
        return fault;
    }
    const Record chosen = records[std::mt19937(seed + 1)() % records.size()];
    std::size_t at = chosen.equals;
    switch (kind) {
    case Fault::EqualsReplaced:
        parts[at] = "%";
        break;
    case Fault::SemicolonDropped:
        at = chosen.close;
        parts[std::find(parts.begin() + static_cast<std::ptrdiff_t>(at), parts.end(), ";") - parts.begin()].clear();
        break;
    case Fault::ParenthesisAdded:
        at = chosen.open;
        parts[at] += ")";
        break;
    }
    std::size_t offset = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == at) {
            offset = fault.text.size();
        }
        fault.text += parts[i];
    }
    fault.line = lineOf(fault.text, offset);
    return fault;
}

} // namespace testsupport

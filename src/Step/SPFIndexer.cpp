#include "SPFIndexer.h"

#include "RecordParser.h"
#include "Schema.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <unordered_set>

namespace Step {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAlpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isKeywordChar(char c)
{
    return isAlpha(c) || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Characters that matter while skipping over the parameters of a record.
enum : std::uint8_t { Plain = 0, Quote, Open, Close, Slash, Semicolon };

constexpr std::array<std::uint8_t, 256> makeClassTable()
{
    std::array<std::uint8_t, 256> table{};
    table[static_cast<unsigned char>('\'')] = Quote;
    table[static_cast<unsigned char>('(')] = Open;
    table[static_cast<unsigned char>(')')] = Close;
    table[static_cast<unsigned char>('/')] = Slash;
    table[static_cast<unsigned char>(';')] = Semicolon;
    return table;
}

constexpr auto charClass = makeClassTable();
constexpr std::size_t progressStep = std::size_t(16) << 20;

} // namespace

void lineAndColumn(std::string_view text, std::size_t offset, std::size_t& line, std::size_t& column)
{
    offset = std::min(offset, text.size());
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    column = offset - lineStart + 1;
}

bool SPFIndexer::fail(const std::string& message, std::size_t offset)
{
    if (m_error.empty()) {
        m_error = message;
        m_errorOffset = offset;
    }
    return false;
}

bool SPFIndexer::skipSpace()
{
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (isSpace(c)) {
            ++m_pos;
        } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '*') {
            const std::size_t end = m_text.find("*/", m_pos + 2);
            if (end == std::string_view::npos) {
                return fail("unterminated comment", m_pos);
            }
            m_pos = end + 2;
        } else {
            break;
        }
    }
    return true;
}

bool SPFIndexer::readKeyword(std::string& out)
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && isKeywordChar(m_text[m_pos])) {
        ++m_pos;
    }
    out.assign(m_text.substr(start, m_pos - start));
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return !out.empty();
}

bool SPFIndexer::expectKeyword(const char* keyword)
{
    if (!skipSpace()) {
        return false;
    }
    const std::size_t start = m_pos;
    std::string word;
    if (!readKeyword(word) || word != keyword) {
        return fail(std::string("expected ") + keyword, start);
    }
    if (!skipSpace()) {
        return false;
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
        return fail(std::string("expected ';' after ") + keyword, m_pos);
    }
    ++m_pos;
    return true;
}

bool SPFIndexer::run()
{
    if (m_text.empty()) {
        return fail("empty file", 0);
    }
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
        m_pos = 3;
    }
    const std::size_t firstNewline = m_text.find('\n');
    m_crlf = firstNewline != std::string_view::npos && firstNewline > 0 && m_text[firstNewline - 1] == '\r';
    return expectKeyword("ISO-10303-21") && parseHeader() && parseData();
}

bool SPFIndexer::parseHeader()
{
    if (!expectKeyword("HEADER")) {
        return false;
    }
    while (true) {
        if (!skipSpace()) {
            return false;
        }
        const std::size_t start = m_pos;
        std::string name;
        if (!readKeyword(name)) {
            return fail(m_pos >= m_text.size() ? "unexpected end of file in header" : "malformed header entity", start);
        }
        if (name == "ENDSEC") {
            if (!skipSpace()) {
                return false;
            }
            if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
                return fail("expected ';' after ENDSEC", m_pos);
            }
            ++m_pos;
            break;
        }
        if (!parseHeaderEntity(name)) {
            return false;
        }
    }
    if (m_header.schemaNames.empty()) {
        return fail("the header has no FILE_SCHEMA", m_pos);
    }
    const std::string& schema = m_header.schemaNames.front();
    std::string upper = schema;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    if (upper.rfind(m_schema.name(), 0) != 0) {
        return fail("unsupported schema '" + schema + "': only " + m_schema.name() + " files can be opened", 0);
    }
    return true;
}

bool SPFIndexer::parseHeaderEntity(const std::string& name)
{
    if (!skipSpace()) {
        return false;
    }
    RecordParser parser(m_text.substr(m_pos));
    std::vector<Value> arguments;
    if (!parser.parseArguments(arguments)) {
        return fail("malformed " + name + ": " + parser.error(), m_pos + parser.position());
    }
    m_pos += parser.position();
    if (!skipSpace()) {
        return false;
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
        return fail("expected ';' after " + name, m_pos);
    }
    ++m_pos;
    if (name == "FILE_DESCRIPTION") {
        m_header.fileDescription = std::move(arguments);
    } else if (name == "FILE_NAME") {
        m_header.fileName = std::move(arguments);
    } else if (name == "FILE_SCHEMA") {
        if (!arguments.empty()) {
            for (const Value& v : arguments.front().items()) {
                m_header.schemaNames.push_back(v.text());
            }
        }
    }
    return true;
}

bool SPFIndexer::parseData()
{
    if (!skipSpace()) {
        return false;
    }
    const std::size_t dataStart = m_pos;
    std::string word;
    if (!readKeyword(word) || word != "DATA") {
        return fail("expected DATA", dataStart);
    }
    if (!skipSpace()) {
        return false;
    }
    if (m_pos < m_text.size() && m_text[m_pos] == '(') {
        // DATA section with parameters (later editions): skip them.
        RecordParser parser(m_text.substr(m_pos));
        std::vector<Value> ignored;
        if (!parser.parseArguments(ignored)) {
            return fail("malformed DATA parameters", m_pos + parser.position());
        }
        m_pos += parser.position();
        skipSpace();
    }
    if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
        return fail("expected ';' after DATA", m_pos);
    }
    ++m_pos;
    m_records.reserve(m_text.size() / 64);
    std::size_t nextProgress = progressStep;
    std::unordered_set<std::string> unknown;
    std::string name;
    while (true) {
        if (!skipSpace()) {
            return false;
        }
        if (m_pos >= m_text.size()) {
            return fail("unexpected end of file: the data section is not closed", m_pos);
        }
        const std::size_t recordStart = m_pos;
        if (m_text[m_pos] != '#') {
            if (isAlpha(m_text[m_pos]) && readKeyword(name) && name == "ENDSEC") {
                m_dataEnd = recordStart;
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
                    return fail("expected ';' after ENDSEC", m_pos);
                }
                ++m_pos;
                break;
            }
            return fail("expected an instance name '#<number>'", recordStart);
        }
        ++m_pos;
        const std::size_t digitsStart = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            ++m_pos;
        }
        Id key = 0;
        const auto parsed = std::from_chars(m_text.data() + digitsStart, m_text.data() + m_pos, key);
        if (m_pos == digitsStart || parsed.ec != std::errc() || key == 0) {
            return fail("bad instance name", recordStart);
        }
        if (!skipSpace()) {
            return false;
        }
        if (m_pos >= m_text.size() || m_text[m_pos] != '=') {
            return fail("expected '=' after the instance name", m_pos);
        }
        ++m_pos;
        if (!skipSpace()) {
            return false;
        }
        RecordLocation location;
        location.offset = recordStart;
        location.key = key;
        if (m_pos < m_text.size() && m_text[m_pos] == '(') {
            // Complex instance (several partial entities): kept as it is.
            location.typeId = 0;
        } else {
            const std::size_t nameStart = m_pos;
            if (m_pos >= m_text.size() || !isAlpha(m_text[m_pos]) || !readKeyword(name)) {
                return fail("expected an entity name", nameStart);
            }
            location.typeId = m_schema.findEntity(name);
            if (location.typeId == 0 && unknown.insert(name).second) {
                m_unknownNames.push_back(name);
            }
            if (!skipSpace()) {
                return false;
            }
            if (m_pos >= m_text.size() || m_text[m_pos] != '(') {
                return fail("expected '(' after the entity name", m_pos);
            }
        }
        if (m_pos - recordStart > 0xFFFF) {
            return fail("instance name too long", recordStart);
        }
        location.argumentsOffset = static_cast<std::uint16_t>(m_pos - recordStart);
        if (!scanRecordBody(recordStart)) {
            return false;
        }
        if (m_pos - recordStart > 0xFFFFFFFFu) {
            return fail("record too long", recordStart);
        }
        location.length = static_cast<std::uint32_t>(m_pos - recordStart);
        m_records.push_back(location);
        if (m_progress && m_pos >= nextProgress) {
            m_progress(m_progressContext, m_pos);
            nextProgress = m_pos + progressStep;
        }
    }
    if (!expectKeyword("END-ISO-10303-21")) {
        return false;
    }
    return true;
}

// Skips from the opening '(' to the ';' that ends the record, honouring
// strings and comments, and checks that the parentheses balance.
bool SPFIndexer::scanRecordBody(std::size_t recordStart)
{
    const char* const begin = m_text.data();
    const char* p = begin + m_pos;
    const char* const end = begin + m_text.size();
    int depth = 0;
    while (p < end) {
        switch (charClass[static_cast<unsigned char>(*p)]) {
        case Plain:
            ++p;
            break;
        case Quote: {
            ++p;
            while (true) {
                const void* q = std::memchr(p, '\'', static_cast<std::size_t>(end - p));
                if (!q) {
                    return fail("unterminated string", recordStart);
                }
                p = static_cast<const char*>(q) + 1;
                if (p < end && *p == '\'') {
                    ++p;
                    continue;
                }
                break;
            }
            break;
        }
        case Open:
            ++depth;
            ++p;
            break;
        case Close:
            if (--depth < 0) {
                return fail("unbalanced ')'", static_cast<std::size_t>(p - begin));
            }
            ++p;
            if (depth == 0) {
                m_pos = static_cast<std::size_t>(p - begin);
                if (!skipSpace()) {
                    return false;
                }
                if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
                    return fail("expected ';' at the end of the instance", m_pos);
                }
                ++m_pos;
                return true;
            }
            break;
        case Slash:
            if (p + 1 < end && p[1] == '*') {
                const std::size_t close = m_text.find("*/", static_cast<std::size_t>(p - begin) + 2);
                if (close == std::string_view::npos) {
                    return fail("unterminated comment", static_cast<std::size_t>(p - begin));
                }
                p = begin + close + 2;
            } else {
                ++p;
            }
            break;
        case Semicolon:
            return fail("expected ')' before ';'", static_cast<std::size_t>(p - begin));
        }
    }
    return fail("unexpected end of file inside an instance", recordStart);
}

} // namespace Step

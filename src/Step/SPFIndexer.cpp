#include "SPFIndexer.h"

#include "Lexer.h"
#include "RecordParser.h"
#include "Schema.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Step {

namespace {

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

// The first byte from p on that matters in the parameters of a record
// (quote, parenthesis, slash, semicolon), or end.
const char* skipPlain(const char* p, const char* end)
{
#ifdef __SSE2__
    const __m128i quote = _mm_set1_epi8('\'');
    const __m128i open = _mm_set1_epi8('(');
    const __m128i close = _mm_set1_epi8(')');
    const __m128i slash = _mm_set1_epi8('/');
    const __m128i semicolon = _mm_set1_epi8(';');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, open)),
                         _mm_or_si128(_mm_cmpeq_epi8(bytes, close),
                                      _mm_or_si128(_mm_cmpeq_epi8(bytes, slash), _mm_cmpeq_epi8(bytes, semicolon))));
        if (const int mask = _mm_movemask_epi8(hits)) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
    }
#endif
    while (p < end && charClass[static_cast<unsigned char>(*p)] == Plain) {
        ++p;
    }
    return p;
}

#ifdef __SSE2__
// Bytes of v within [first, first + count), as a mask.
__m128i inRange(__m128i v, char first, int count)
{
    // Moves first to -128, so that one signed comparison does.
    const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(static_cast<unsigned char>(0x80 - first))));
    return _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(-128 + count)));
}
#endif

constexpr std::size_t nameBuffer = 64; // names longer than this are rare

// Length of the keyword (letters, digits, '_', '-') at p; its first
// nameBuffer bytes go to upper in upper case. upper must have room for
// nameBuffer + 16 bytes.
std::size_t scanName(const char* p, const char* end, char* upper)
{
    std::size_t length = 0;
#ifdef __SSE2__
    while (end - (p + length) >= 16 && length < nameBuffer) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + length));
        const __m128i lower = inRange(bytes, 'a', 26);
        const __m128i keyword = _mm_or_si128(
            _mm_or_si128(inRange(bytes, 'A', 26), lower),
            _mm_or_si128(inRange(bytes, '0', 10), _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')),
                                                               _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-')))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(upper + length),
                         _mm_sub_epi8(bytes, _mm_and_si128(lower, _mm_set1_epi8(0x20))));
        const unsigned stop = ~static_cast<unsigned>(_mm_movemask_epi8(keyword)) & 0xFFFFu;
        if (stop) {
            return length + static_cast<std::size_t>(__builtin_ctz(stop));
        }
        length += 16;
    }
#endif
    while (p + length < end && Lexer::keywordUpper[static_cast<unsigned char>(p[length])]) {
        if (length < nameBuffer) {
            upper[length] = Lexer::keywordUpper[static_cast<unsigned char>(p[length])];
        }
        ++length;
    }
    return length;
}

/// The entity names of a schema in an open-addressing table: the indexer
/// looks up one name per record and needs no string built for it.
class NameTable
{
public:
    static constexpr std::size_t maxLength = nameBuffer;

    explicit NameTable(const Schema& schema)
    {
        std::size_t capacity = 64;
        while (capacity < 4 * std::size_t(schema.entityCount())) {
            capacity *= 2;
        }
        m_entries.assign(capacity, Entry{});
        m_mask = capacity - 1;
        char padded[maxLength + 8];
        for (std::uint16_t id = 1; id <= schema.entityCount(); ++id) {
            const char* name = schema.stepName(id);
            const std::size_t length = std::strlen(name);
            if (length == 0 || length > maxLength) {
                continue;
            }
            std::memcpy(padded, name, length);
            std::memset(padded + length, 0, 8);
            std::size_t i = hash(padded, length) & m_mask;
            while (m_entries[i].name) {
                i = (i + 1) & m_mask;
            }
            m_entries[i] = Entry{name, static_cast<std::uint16_t>(length), schema.findEntity(name)};
        }
    }

    /// Type id of an upper-case name of at most maxLength bytes, followed by
    /// eight zero bytes; 0 when the table does not have it.
    std::uint16_t find(const char* padded, std::size_t length) const
    {
        for (std::size_t i = hash(padded, length) & m_mask;; i = (i + 1) & m_mask) {
            const Entry& entry = m_entries[i];
            if (!entry.name) {
                return 0;
            }
            if (entry.length == length && std::memcmp(entry.name, padded, length) == 0) {
                return entry.id;
            }
        }
    }

private:
    struct Entry
    {
        const char* name = nullptr;
        std::uint16_t length = 0;
        std::uint16_t id = 0;
    };

    static std::size_t hash(const char* padded, std::size_t length)
    {
        std::uint64_t h = length * 0x9E3779B97F4A7C15ull;
        for (std::size_t i = 0; i < length; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, padded + i, 8);
            h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        }
        return static_cast<std::size_t>(h ^ (h >> 32));
    }

    std::vector<Entry> m_entries;
    std::size_t m_mask = 0;
};

} // namespace

std::string schemaNameOf(std::string_view identifier)
{
    // "NAME { 1 0 10303 ... }": the object identifier does not name the schema.
    identifier = identifier.substr(0, identifier.find('{'));
    const auto first = std::find_if_not(identifier.begin(), identifier.end(), Lexer::isBlank);
    const auto last = std::find_if_not(identifier.rbegin(), identifier.rend(), Lexer::isBlank).base();
    std::string name(first, std::max(first, last));
    Lexer::toUpper(name);
    return name;
}

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

SPFIndexer::SPFIndexer(std::string_view text, const Schema& schema)
    : m_text(text), m_schema(schema),
      m_splitThreshold(std::thread::hardware_concurrency() > 1 ? std::size_t(8) << 20 : 0)
{
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
    return Lexer::skipBlanks(m_text, m_pos) || fail("unterminated comment", m_pos);
}

bool SPFIndexer::readKeyword(std::string& out)
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && Lexer::isKeywordChar(m_text[m_pos])) {
        ++m_pos;
    }
    out.assign(m_text.substr(start, m_pos - start));
    Lexer::toUpper(out);
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
    if (!expectKeyword("ISO-10303-21") || !parseHeader()) {
        return false;
    }
    const std::size_t dataStart = m_pos;
    if (!parseData()) {
        blameRunawayString(dataStart);
        return false;
    }
    return true;
}

// A string left open swallows the records after it, and every later quote
// then closes a string where one opens: the scan fails far from the fault,
// often at the last quote of the file. The string that swallowed a record
// start ("#n=" at the start of a line) is the one to name.
void SPFIndexer::blameRunawayString(std::size_t from)
{
    const std::size_t to = std::min(m_errorOffset, m_text.size());
    for (std::size_t pos = from; pos < to;) {
        if (m_text[pos] != '\'') {
            pos = std::max(pos + 1, Lexer::skipLiteral(m_text, pos));
            continue;
        }
        const std::size_t end = std::min(Lexer::stringEnd(m_text, pos), m_text.size());
        if (holdsRecordStart(m_text.substr(pos, end - pos))) {
            m_error = "unterminated string";
            m_errorOffset = pos;
            return;
        }
        pos = end;
    }
}

bool SPFIndexer::holdsRecordStart(std::string_view text)
{
    for (std::size_t line = text.find('\n'); line != std::string_view::npos; line = text.find('\n', line + 1)) {
        // Blanks and comments may come before the name and around the '='.
        std::size_t p = line + 1;
        if (!Lexer::skipBlanks(text, p) || p >= text.size() || text[p] != '#') {
            continue;
        }
        const std::size_t hash = p;
        Id key = 0;
        Lexer::readReference(text, hash, key, p);
        if (p > hash + 1 && Lexer::skipBlanks(text, p) && p < text.size() && text[p] == '=') {
            return true;
        }
    }
    return false;
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
        if (name == "FILE_SCHEMA") {
            m_schemaOffset = start;
        }
        if (!parseHeaderEntity(name)) {
            return false;
        }
    }
    if (m_header.schemaNames.empty()) {
        return fail("the header has no FILE_SCHEMA", m_pos);
    }
    const std::string& schema = m_header.schemaNames.front();
    if (!m_schema.isNameOf(schemaNameOf(schema))) {
        return fail("unsupported schema '" + schema + "': only " + m_schema.name() + " files can be opened",
                    m_schemaOffset);
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
                m_header.schemaNames.emplace_back(v.text());
            }
        }
    }
    return true;
}

bool SPFIndexer::parseData()
{
    if (!parseDataKeyword()) {
        return false;
    }
    const std::size_t split = splitPoint(m_pos);
    if (split == npos) {
        return parseRecords(npos, nullptr) == Scan::Ended;
    }
    // Two threads, one from each end of the split. The second half is read
    // on the guess that the split starts a record; the first half's scan
    // tells whether it does, by stopping right there. Otherwise, or when
    // the second half found something wrong, the first half's scan reads on
    // itself: the outcome is always that of one scan from the start.
    SPFIndexer tail(m_text, m_schema);
    tail.m_memoryPolicy = m_memoryPolicy;
    tail.m_fingerprinted = m_fingerprinted;
    std::atomic<bool> cancel{false};
    std::thread worker;
    try {
        worker = std::thread([&tail, &cancel, split] { tail.runTail(split, cancel); });
    } catch (const std::system_error&) {
        return parseRecords(npos, nullptr) == Scan::Ended;
    }
    Scan head = Scan::Failed;
    try {
        head = parseRecords(split, &cancel);
    } catch (...) {
        cancel.store(true, std::memory_order_relaxed);
        worker.join();
        throw;
    }
    if (head != Scan::ReachedStop) {
        cancel.store(true, std::memory_order_relaxed);
    }
    worker.join();
    if (head == Scan::Failed) {
        return false;
    }
    if (head == Scan::Ended) {
        return true;
    }
    if (!tail.m_tailRead) {
        return parseRecords(npos, nullptr) == Scan::Ended;
    }
    adoptTail(tail);
    return true;
}

bool SPFIndexer::parseDataKeyword()
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
    return true;
}

std::size_t SPFIndexer::splitPoint(std::size_t dataStart) const
{
    if (m_splitThreshold == 0 || dataStart >= m_text.size() || m_text.size() - dataStart < m_splitThreshold) {
        return npos;
    }
    const std::size_t from =
        m_splitFrom == npos ? dataStart + (m_text.size() - dataStart) / 2 : std::max(m_splitFrom, dataStart);
    // The first line from there that starts with an instance name and '='.
    // Inside a string or a comment such a line is a wrong guess, which the
    // first half's scan finds out.
    constexpr std::size_t searched = std::size_t(1) << 20;
    for (std::size_t line = m_text.find('\n', from); line != std::string_view::npos && line - from < searched;
         line = m_text.find('\n', line + 1)) {
        const std::size_t hash = line + 1;
        Id key = 0;
        std::size_t end = 0;
        if (hash < m_text.size() && m_text[hash] == '#' && Lexer::readReference(m_text, hash, key, end) && key != 0 &&
            end < m_text.size() && m_text[end] == '=') {
            return hash;
        }
    }
    return npos;
}

void SPFIndexer::runTail(std::size_t start, const std::atomic<bool>& cancel)
{
    m_pos = start;
    m_inBlocks = true;
    try {
        m_tailRead = parseRecords(npos, nullptr, &cancel) == Scan::Ended;
    } catch (const std::bad_alloc&) {
        m_tailRead = false; // the first half's thread reads on instead
    }
}

void SPFIndexer::adoptTail(SPFIndexer& tail)
{
    for (std::vector<RecordLocation>& block : tail.m_blocks) {
        for (const RecordLocation& location : block) {
            keep(location);
        }
        block = {};
    }
    for (std::string& name : tail.m_unknownNames) {
        if (m_unknownSet.insert(name).second) {
            m_unknownNames.push_back(std::move(name));
        }
    }
    m_dataEnd = tail.m_dataEnd;
    m_pos = tail.m_pos;
    m_readInTwo = true;
}

void SPFIndexer::keep(const RecordLocation& location)
{
    if (m_sink) {
        m_sink(m_sinkContext, location);
    } else if (m_inBlocks) {
        // Blocks rather than one table: nothing is copied as it grows, and
        // none of it is over twice the size it needs.
        constexpr std::size_t blockRecords = (std::size_t(8) << 20) / sizeof(RecordLocation);
        if (m_blocks.empty() || m_blocks.back().size() == blockRecords) {
            m_blocks.emplace_back().reserve(blockRecords);
            m_memoryPolicy.adviseTable(m_blocks.back().data(), blockRecords * sizeof(RecordLocation));
        }
        m_blocks.back().push_back(location);
    } else {
        m_records.push_back(location);
    }
}

SPFIndexer::Scan SPFIndexer::parseRecords(std::size_t stopAt, std::atomic<bool>* cancelTail,
                                          const std::atomic<bool>* cancelled)
{
    if (!m_sink && !m_inBlocks && m_records.capacity() == 0) {
        m_records.reserve(m_text.size() / 64);
    }
    const NameTable names(m_schema);
    std::string name;
    const char* const begin = m_text.data();
    const char* const end = begin + m_text.size();
    // Skips blanks and comments from p; false (m_pos set) on an open comment.
    auto skipBlank = [&](const char*& p) {
        while (p < end && Lexer::isBlank(*p)) {
            ++p;
        }
        if (p == end || *p != '/') {
            return true; // nearly always
        }
        m_pos = static_cast<std::size_t>(p - begin);
        const bool closed = skipSpace();
        p = begin + m_pos;
        return closed;
    };
    const char* p = begin + m_pos;
    char upper[NameTable::maxLength + 24];
    while (true) {
        if (!skipBlank(p)) {
            return Scan::Failed;
        }
        const std::size_t recordStart = static_cast<std::size_t>(p - begin);
        if (recordStart >= stopAt) {
            if (recordStart == stopAt) {
                m_pos = recordStart;
                return Scan::ReachedStop;
            }
            // The split lay inside a record or a comment: read on alone.
            stopAt = npos;
            cancelTail->store(true, std::memory_order_relaxed);
        }
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            return Scan::Failed;
        }
        if (p >= end) {
            fail("unexpected end of file: the data section is not closed", m_text.size());
            return Scan::Failed;
        }
        if (*p != '#') {
            m_pos = recordStart;
            if (Lexer::isLetter(*p) && readKeyword(name) && name == "ENDSEC") {
                m_dataEnd = recordStart;
                skipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
                    fail("expected ';' after ENDSEC", m_pos);
                    return Scan::Failed;
                }
                ++m_pos;
                break;
            }
            fail("expected an instance name '#<number>'", recordStart);
            return Scan::Failed;
        }
        Id key = 0;
        std::size_t nameEnd = 0;
        if (!Lexer::readReference(m_text, recordStart, key, nameEnd) || key == 0) {
            fail(nameEnd == recordStart + 1 ? "bad instance name: the number must follow '#' directly"
                                            : "bad instance name",
                 recordStart);
            return Scan::Failed;
        }
        p = begin + nameEnd;
        if (!skipBlank(p)) {
            return Scan::Failed;
        }
        if (p >= end || *p != '=') {
            fail("expected '=' after the instance name", static_cast<std::size_t>(p - begin));
            return Scan::Failed;
        }
        ++p;
        if (!skipBlank(p)) {
            return Scan::Failed;
        }
        RecordLocation location;
        location.offset = recordStart;
        location.key = key;
        if (p < end && *p == '(') {
            // Complex instance (several partial entities): kept as it is.
            location.typeId = 0;
        } else {
            const char* const nameStart = p;
            if (p >= end || !Lexer::isLetter(*p)) {
                fail("expected an entity name", static_cast<std::size_t>(nameStart - begin));
                return Scan::Failed;
            }
            const std::size_t length = scanName(nameStart, end, upper);
            p = nameStart + length;
            if (length <= NameTable::maxLength) {
                std::memset(upper + length, 0, 8);
                location.typeId = names.find(upper, length);
                if (location.typeId == 0) {
                    name.assign(upper, length);
                    location.typeId = m_schema.findEntity(name);
                }
            } else {
                name.assign(nameStart, length);
                Lexer::toUpper(name);
                location.typeId = m_schema.findEntity(name);
            }
            if (location.typeId == 0 && m_unknownSet.insert(name).second) {
                m_unknownNames.push_back(name);
            }
            if (!skipBlank(p)) {
                return Scan::Failed;
            }
            if (p >= end || *p != '(') {
                fail("expected '(' after the entity name", static_cast<std::size_t>(p - begin));
                return Scan::Failed;
            }
        }
        m_pos = static_cast<std::size_t>(p - begin);
        const std::size_t argumentsOffset = m_pos - recordStart;
        if (!scanRecordBody(recordStart)) {
            return Scan::Failed;
        }
        if (m_pos - recordStart > 0xFFFFFFFFu) {
            fail("record too long", recordStart);
            return Scan::Failed;
        }
        location.argumentsOffset = static_cast<std::uint32_t>(argumentsOffset);
        location.length = static_cast<std::uint32_t>(m_pos - recordStart);
        if (location.typeId < m_fingerprinted.size() && m_fingerprinted[location.typeId]) {
            // The record was just read: telling its name now costs next to
            // nothing, where a reader would fault its page in again.
            location.fingerprint = Lexer::attributeFingerprint(
                m_text.substr(recordStart + argumentsOffset, location.length - argumentsOffset),
                m_fingerprinted[location.typeId] - 1u);
        }
        keep(location);
        p = begin + m_pos;
    }
    return expectKeyword("END-ISO-10303-21") ? Scan::Ended : Scan::Failed;
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
        // Most bytes are plain: digits, names, commas.
        p = skipPlain(p, end);
        if (p == end) {
            break;
        }
        switch (charClass[static_cast<unsigned char>(*p)]) {
        case Plain:
            break;
        case Quote: {
            const char* const opening = p;
            p = Lexer::stringEnd(p, end);
            if (!p) {
                return fail("unterminated string", static_cast<std::size_t>(opening - begin));
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
                // Nearly always the ';' comes right after.
                if (p < end && *p == ';') {
                    m_pos = static_cast<std::size_t>(p + 1 - begin);
                    return true;
                }
                const std::size_t closed = static_cast<std::size_t>(p - begin);
                m_pos = closed;
                if (!skipSpace()) {
                    return false;
                }
                if (m_pos >= m_text.size() || m_text[m_pos] != ';') {
                    return fail("expected ';' at the end of the instance", closed);
                }
                ++m_pos;
                return true;
            }
            break;
        case Slash:
            if (Lexer::opensComment(m_text, static_cast<std::size_t>(p - begin))) {
                const std::size_t close = Lexer::commentEnd(m_text, static_cast<std::size_t>(p - begin));
                if (close == Lexer::npos) {
                    return fail("unterminated comment", static_cast<std::size_t>(p - begin));
                }
                p = begin + close;
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

#pragma once

#include "MemoryPolicy.h"
#include "Value.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace Step {

class Schema;

/// Where one instance of the data section lies in the source text.
struct RecordLocation
{
    std::uint64_t offset = 0; ///< of the '#' that starts the record
    Id key = 0;
    std::uint32_t length = 0;          ///< up to and including the ';'
    std::uint32_t argumentsOffset = 0; ///< of the '(' of the parameters, from offset
    std::uint16_t typeId = 0;          ///< schema type id, 0 when unknown
    /// Of the attribute setFingerprintedAttributes() names for the type, when
    /// a string (Lexer::attributeFingerprint()); else 0.
    std::uint32_t fingerprint = 0;
};

/// Header entities of the file, decoded.
struct FileHeader
{
    std::vector<Value> fileDescription;
    std::vector<Value> fileName;
    std::vector<std::string> schemaNames;
};

/// One pass over an ISO 10303-21 text that checks its structure and records
/// where each instance is, without decoding any parameter of the data
/// section. Errors carry the offset where the text cannot be read.
///
/// A large data section is read by two threads, one per half; records,
/// names and errors come out as from one scan from the start.
class SPFIndexer
{
public:
    SPFIndexer(std::string_view text, const Schema& schema);

    bool run();

    const FileHeader& header() const { return m_header; }
    std::vector<RecordLocation>& records() { return m_records; }
    /// Offset of the ENDSEC that closes the data section.
    std::uint64_t dataEnd() const { return m_dataEnd; }
    /// Entity names the schema does not know, once each.
    const std::vector<std::string>& unknownEntityNames() const { return m_unknownNames; }
    bool usesCrLf() const { return m_crlf; }

    const std::string& error() const { return m_error; }
    std::size_t errorOffset() const { return m_errorOffset; }

    /// Hands each record to sink as it is found instead of collecting them
    /// in records(), so a caller with its own table holds them only once.
    void setRecordSink(void (*sink)(void*, const RecordLocation&), void* context)
    {
        m_sink = sink;
        m_sinkContext = context;
    }

    /// Data sections of at least this many bytes are read in two halves
    /// at once; 0 reads every file in one. By default, 8 MB where the
    /// processor runs two threads at once.
    void setSplitThreshold(std::size_t bytes) { m_splitThreshold = bytes; }
    /// Where the second half is looked for: the first line from this offset
    /// on that starts with an instance name. By default, the middle of the
    /// data section.
    void setSplitSearchFrom(std::size_t offset) { m_splitFrom = offset; }
    /// For each type id, 1 + the index of the attribute whose fingerprint
    /// records of the type get, or 0 for none.
    void setFingerprintedAttributes(std::vector<std::uint8_t> attributeByType)
    {
        m_fingerprinted = std::move(attributeByType);
    }
    /// Whether run() read the data section in two halves at once.
    bool readInTwo() const { return m_readInTwo; }
    /// The advice for the tables the indexer fills itself.
    void setMemoryPolicy(const MemoryPolicy& policy) { m_memoryPolicy = policy; }

private:
    enum class Scan { Failed, Ended, ReachedStop };
    static constexpr std::size_t npos = std::string_view::npos;

    bool parseHeader();
    bool parseHeaderEntity(const std::string& name);
    bool parseData();
    bool parseDataKeyword();
    /// Reads records from m_pos to the end of the file, or up to stopAt
    /// when a record starts exactly there. A record found to run over
    /// stopAt cancels the thread reading from it.
    Scan parseRecords(std::size_t stopAt, std::atomic<bool>* cancelTail, const std::atomic<bool>* cancelled = nullptr);
    std::size_t splitPoint(std::size_t dataStart) const;
    void runTail(std::size_t start, const std::atomic<bool>& cancel);
    void adoptTail(SPFIndexer& tail);
    void keep(const RecordLocation& location);
    bool scanRecordBody(std::size_t recordStart);
    bool skipComment();
    bool skipSpace();
    bool expectKeyword(const char* keyword);
    bool readKeyword(std::string& out);
    bool fail(const std::string& message, std::size_t offset);
    void blameRunawayString(std::size_t from);
    static bool holdsRecordStart(std::string_view text);

    std::string_view m_text;
    const Schema& m_schema;
    std::size_t m_pos = 0;
    FileHeader m_header;
    std::vector<RecordLocation> m_records;
    /// Where the second half's records go (see keep()).
    std::vector<std::vector<RecordLocation>> m_blocks;
    bool m_inBlocks = false;
    std::vector<std::string> m_unknownNames;
    std::unordered_set<std::string> m_unknownSet;
    std::uint64_t m_dataEnd = 0;
    std::size_t m_schemaOffset = 0; ///< of FILE_SCHEMA, where a wrong schema is reported
    bool m_crlf = false;
    std::string m_error;
    std::size_t m_errorOffset = 0;
    void (*m_sink)(void*, const RecordLocation&) = nullptr;
    void* m_sinkContext = nullptr;
    std::size_t m_splitThreshold = 0;
    std::size_t m_splitFrom = npos;
    MemoryPolicy m_memoryPolicy;
    std::vector<std::uint8_t> m_fingerprinted;
    bool m_tailRead = false; ///< a second half read to its end
    bool m_readInTwo = false;
};

/// The schema name of a FILE_SCHEMA entry, in upper case, without the
/// blanks around it nor the object identifier "{...}" that may follow it.
std::string schemaNameOf(std::string_view identifier);

/// Line and column (both from 1) of an offset in a text.
void lineAndColumn(std::string_view text, std::size_t offset, std::size_t& line, std::size_t& column);

} // namespace Step

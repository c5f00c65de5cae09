#pragma once

#include "Value.h"

#include <cstdint>
#include <string>
#include <string_view>
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
class SPFIndexer
{
public:
    SPFIndexer(std::string_view text, const Schema& schema) : m_text(text), m_schema(schema) {}

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

private:
    bool parseHeader();
    bool parseHeaderEntity(const std::string& name);
    bool parseData();
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
    std::vector<std::string> m_unknownNames;
    std::uint64_t m_dataEnd = 0;
    std::size_t m_schemaOffset = 0; ///< of FILE_SCHEMA, where a wrong schema is reported
    bool m_crlf = false;
    std::string m_error;
    std::size_t m_errorOffset = 0;
    void (*m_sink)(void*, const RecordLocation&) = nullptr;
    void* m_sinkContext = nullptr;
};

/// The schema name of a FILE_SCHEMA entry, in upper case, without the
/// blanks around it nor the object identifier "{...}" that may follow it.
std::string schemaNameOf(std::string_view identifier);

/// Line and column (both from 1) of an offset in a text.
void lineAndColumn(std::string_view text, std::size_t offset, std::size_t& line, std::size_t& column);

} // namespace Step

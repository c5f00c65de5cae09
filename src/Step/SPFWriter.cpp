#include "SPFWriter.h"

#include "BaseEntity.h"
#include "RecordParser.h"
#include "Schema.h"
#include "SlotTable.h"
#include "SourceBuffer.h"

#include <algorithm>

namespace Step {

namespace {
// Pieces of this size keep the copy's memory small and let the pages
// copied be released as it goes.
constexpr std::size_t writeChunk = std::size_t(8) << 20;
// Data sets from this size on have their created records written on a
// second thread: below, starting it costs more than it gains.
constexpr std::size_t backgroundSlots = 65536;
} // namespace

SPFWriter::SPFWriter(const Schema& schema, const SlotTable& slots, const SourceBuffer& source,
                     const RewrittenRecords& rewritten, std::uint64_t dataEnd, bool crlf)
    : m_schema(schema), m_slots(slots), m_source(source), m_rewritten(rewritten), m_dataEnd(dataEnd), m_crlf(crlf)
{
}

bool SPFWriter::write(const Sink& sink) const
{
    const std::string_view source = m_source.text();
    if (source.empty()) {
        std::string head = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                           "FILE_NAME('','',(''),(''),'','','');\nFILE_SCHEMA(('";
        head += m_schema.name();
        head += "'));\nENDSEC;\nDATA;\n";
        if (!sink(head)) {
            return false;
        }
    }
    // Created records come after all of the file's: in a large data set,
    // a second thread writes their text while the file's is copied.
    TextPipe created([this](const TextPipe::Put& put) { return makeCreatedRecords(put); },
                     m_slots.size() >= backgroundSlots);
    std::size_t cursor = 0;
    if (!writeChangedRecords(sink, cursor)) {
        return false;
    }
    const std::size_t dataEnd = source.empty() ? 0 : m_dataEnd;
    if (!copySource(sink, cursor, dataEnd) || !created.drainTo(sink)) {
        return false;
    }
    if (source.empty()) {
        return sink("ENDSEC;\nEND-ISO-10303-21;\n");
    }
    return copySource(sink, dataEnd, source.size()) && m_source.intact();
}

bool SPFWriter::copySource(const Sink& sink, std::size_t from, std::size_t to) const
{
    const std::string_view source = m_source.text();
    while (from < to) {
        const std::size_t end = std::min(to, from + writeChunk);
        if (!sink(source.substr(from, end - from))) {
            return false;
        }
        m_source.release(from, end);
        from = end;
    }
    return true;
}

// The records of the source up to the last one changed, with the changed
// ones written anew; cursor ends past the last record handled.
bool SPFWriter::writeChangedRecords(const Sink& sink, std::size_t& cursor) const
{
    const std::string_view source = m_source.text();
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        const SlotState state = m_slots.state(i);
        const auto rewritten = m_rewritten.empty() || m_slots.object(i) ? m_rewritten.end() : m_rewritten.find(i);
        const bool asInSource =
            state == SlotState::Unloaded || state == SlotState::Loaded || state == SlotState::Broken;
        if (asInSource && rewritten == m_rewritten.end()) {
            continue;
        }
        const std::uint64_t offset = m_slots.offset(i);
        if (offset == SlotTable::noOffset) {
            continue;
        }
        if (!copySource(sink, cursor, offset)) {
            return false;
        }
        cursor = offset + m_slots.length(i);
        if (state == SlotState::Deleted) {
            // Take the line break with the record, so no blank line remains.
            if (source.substr(cursor, 2) == "\r\n") {
                cursor += 2;
            } else if (cursor < source.size() && source[cursor] == '\n') {
                cursor += 1;
            }
            continue;
        }
        const bool written = rewritten != m_rewritten.end() ? sink(rewritten->second) : sink(serialize(i));
        if (!written) {
            return false;
        }
    }
    return true;
}

bool SPFWriter::makeCreatedRecords(const TextPipe::Put& put) const
{
    const std::string_view newline = m_crlf ? "\r\n" : "\n";
    std::string pending;
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots.state(i) != SlotState::New || m_slots.offset(i) != SlotTable::noOffset) {
            continue;
        }
        if (pending.capacity() < writeChunk) {
            // Room for a piece and the record that ends it: grown by
            // doubling, each piece would take twice the memory.
            pending.reserve(writeChunk + (std::size_t(64) << 10));
        }
        appendRecord(pending, i);
        pending += newline;
        if (pending.size() >= writeChunk && !put(pending)) {
            return false;
        }
    }
    return pending.empty() || put(pending);
}

std::string SPFWriter::serialize(std::uint32_t slot) const
{
    std::string out;
    appendRecord(out, slot);
    return out;
}

void SPFWriter::appendRecord(std::string& out, std::uint32_t slot) const
{
    out += '#';
    out += std::to_string(m_slots.key(slot));
    out += '=';
    out += m_schema.stepName(m_slots.typeId(slot));
    const BaseEntity::Arguments arguments = m_slots.object(slot)->arguments();
    ValueWriter::writeArguments(out, arguments.begin(), arguments.size());
    out += ';';
}

} // namespace Step

#pragma once

#include "TextPipe.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Step {

class Schema;
class SlotTable;
class SourceBuffer;

/// Writes a data set as an exchange file. Records left as they were read
/// are copied from the source byte for byte; changed and created instances
/// are written anew, created ones after the file's own; deleted ones go
/// with their line break. A data set made from nothing gets a minimal
/// header of its own.
class SPFWriter
{
public:
    /// Receives the file in pieces; false stops the writing.
    using Sink = std::function<bool(std::string_view)>;
    /// Texts that stand for records the data set cannot decode, by slot.
    using RewrittenRecords = std::unordered_map<std::uint32_t, std::string>;

    /// dataEnd: offset of the ENDSEC closing the source's data section;
    /// crlf: whether the source ends its lines with CR LF.
    SPFWriter(const Schema& schema, const SlotTable& slots, const SourceBuffer& source,
              const RewrittenRecords& rewritten, std::uint64_t dataEnd, bool crlf);

    /// False when the sink refused a piece, or the source changed while it
    /// was copied.
    bool write(const Sink& sink) const;

private:
    bool copySource(const Sink& sink, std::size_t from, std::size_t to) const;
    bool writeChangedRecords(const Sink& sink, std::size_t& cursor) const;
    bool makeCreatedRecords(const TextPipe::Put& put) const;
    std::string serialize(std::uint32_t slot) const;
    /// Appends the record of a slot, as serialize() makes it.
    void appendRecord(std::string& out, std::uint32_t slot) const;

    const Schema& m_schema;
    const SlotTable& m_slots;
    const SourceBuffer& m_source;
    const RewrittenRecords& m_rewritten;
    std::uint64_t m_dataEnd;
    bool m_crlf;
};

} // namespace Step

#pragma once

#include "Value.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Step {

class Arena;
class Schema;

/// Reads the parameters of one record into values and checks them against
/// the schema: their number, and the kind of each. What it cannot accept
/// is described, naming the instance, for the data set's warnings.
class RecordDecoder
{
public:
    explicit RecordDecoder(const Schema& schema) : m_schema(schema) {}

    /// Reads "(...)" of an instance of typeId into arguments, their payloads
    /// in `arena` when there is one. False when the instance cannot be
    /// taken, with the reason in problem().
    bool decode(Id key, std::uint16_t typeId, std::string_view parameters, std::vector<Value>& arguments,
                Arena* arena = nullptr);
    /// Reads the one attribute at index of "(...)", leaving the others
    /// unread. False when it cannot be read or holds a malformed string.
    static bool peek(std::size_t index, std::string_view parameters, Value& value);

    const std::string& problem() const { return m_problem; }
    /// Whether the last record decoded holds a string with a malformed
    /// escape, kept as written.
    bool hadMalformedString() const { return m_malformedString; }

private:
    std::string nameOf(std::uint16_t typeId) const;
    bool reject(Id key, const std::string& reason);

    const Schema& m_schema;
    std::string m_problem;
    bool m_malformedString = false;
};

} // namespace Step

#include "RecordDecoder.h"

#include "RecordParser.h"
#include "Schema.h"

namespace Step {

bool RecordDecoder::decode(Id key, std::uint16_t typeId, std::string_view parameters, std::vector<Value>& arguments,
                           Arena* arena)
{
    m_malformedString = false;
    RecordParser parser(parameters, arena);
    arguments.clear();
    if (!parser.parseArguments(arguments)) {
        return reject(key, "cannot read " + nameOf(typeId) + " (" + parser.error() + ")");
    }
    const std::size_t expected = m_schema.attributeCount(typeId);
    if (arguments.size() != expected) {
        return reject(key, nameOf(typeId) + " has " + std::to_string(arguments.size()) + " attributes instead of " +
                               std::to_string(expected));
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!m_schema.acceptsArgument(typeId, i, arguments[i])) {
            return reject(key, nameOf(typeId) + " attribute " + m_schema.attributeName(typeId, i) + " (#" +
                                   std::to_string(i + 1) + ") holds a value of the wrong kind");
        }
    }
    m_malformedString = parser.badStringCount() > 0;
    return true;
}

bool RecordDecoder::peek(std::size_t index, std::string_view parameters, Value& value)
{
    RecordParser parser(parameters);
    return parser.parseArgumentAt(index, value) && parser.badStringCount() == 0;
}

std::string RecordDecoder::nameOf(std::uint16_t typeId) const
{
    return m_schema.stepName(typeId);
}

bool RecordDecoder::reject(Id key, const std::string& reason)
{
    m_problem = "#" + std::to_string(key) + ": " + reason + "; the instance is ignored";
    return false;
}

} // namespace Step

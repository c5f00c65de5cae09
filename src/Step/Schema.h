#pragma once

#include "Value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Step {

class BaseEntity;
class BaseExpressDataSet;
class ClassType;

/// What the runtime needs to know of an EXPRESS schema. Entity type ids run
/// from 1 to entityCount(); 0 stands for a name the schema does not know.
class Schema
{
public:
    virtual ~Schema() = default;

    /// Schema name as FILE_SCHEMA gives it, e.g. "IFC2X3".
    virtual const char* name() const = 0;
    /// Whether a schema name read from FILE_SCHEMA, in upper case and
    /// without its object identifier, is this schema: name() itself, or one
    /// of its published revisions, never a name that merely starts alike.
    virtual bool isNameOf(std::string_view upperName) const { return upperName == name(); }
    virtual std::uint16_t entityCount() const = 0;
    /// Type id of an upper-case entity name, 0 when unknown.
    virtual std::uint16_t findEntity(std::string_view upperName) const = 0;
    virtual const ClassType& classType(std::uint16_t id) const = 0;
    /// Upper-case name written in files.
    virtual const char* stepName(std::uint16_t id) const = 0;
    virtual std::size_t attributeCount(std::uint16_t id) const = 0;
    virtual const char* attributeName(std::uint16_t id, std::size_t index) const = 0;
    virtual int attributeIndex(std::uint16_t id, const std::string& name) const = 0;
    /// True when a subtype redeclares the attribute as derived (written *).
    virtual bool isDerivedAttribute(std::uint16_t id, std::size_t index) const = 0;
    /// Whether a value read for an attribute is of a kind its type allows
    /// (a reference where an entity is expected, a list for an aggregate,
    /// ...). Unset and derived values are always accepted.
    virtual bool acceptsArgument(std::uint16_t id, std::size_t index, const Value& value) const
    {
        (void)id;
        (void)index;
        (void)value;
        return true;
    }
    virtual BaseEntity* create(std::uint16_t id, BaseExpressDataSet* dataSet, Id key) const = 0;
};

} // namespace Step

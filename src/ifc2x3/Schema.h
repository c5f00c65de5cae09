#pragma once

#include "Step/ClassType.h"
#include "Step/Schema.h"

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ifc2x3 {

/// The IFC2X3 TC1 schema: entity types, their supertypes and explicit
/// attributes, from tables generated out of the EXPRESS schema.
class Schema : public Step::Schema
{
public:
    Schema();
    ~Schema() override;

    const char* name() const override { return "IFC2X3"; }
    /// IFC2X3, or IFC2X3_TC1, the name some programs give the corrected
    /// edition this schema is read from.
    bool isNameOf(std::string_view upperName) const override
    {
        return upperName == "IFC2X3" || upperName == "IFC2X3_TC1";
    }
    std::uint16_t entityCount() const override;
    std::uint16_t findEntity(std::string_view upperName) const override;
    const Step::ClassType& classType(std::uint16_t id) const override;
    const char* stepName(std::uint16_t id) const override;
    std::size_t attributeCount(std::uint16_t id) const override;
    const char* attributeName(std::uint16_t id, std::size_t index) const override;
    int attributeIndex(std::uint16_t id, const std::string& name) const override;
    bool isDerivedAttribute(std::uint16_t id, std::size_t index) const override;
    bool acceptsArgument(std::uint16_t id, std::size_t index, const Step::Value& value) const override;
    Step::BaseEntity* create(std::uint16_t id, Step::BaseExpressDataSet* dataSet, Step::Id key) const override;

    /// Entity name as the schema spells it, e.g. "IfcWallStandardCase".
    const char* entityName(std::uint16_t id) const;
    bool isAbstract(std::uint16_t id) const;
    /// Declared type of an attribute, e.g. "IfcLabel" or "SET [1:?] OF IfcObject".
    const char* attributeType(std::uint16_t id, std::size_t index) const;
    bool isOptionalAttribute(std::uint16_t id, std::size_t index) const;

private:
    void buildClassType(std::uint16_t id);

    std::vector<std::unique_ptr<Step::ClassType>> m_types;
    std::unordered_map<std::string_view, std::uint16_t> m_byName;
};

/// The one schema instance.
const Schema& schema();

} // namespace ifc2x3

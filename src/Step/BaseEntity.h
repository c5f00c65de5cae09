#pragma once

#include "BaseObject.h"
#include "Value.h"

#include <string>
#include <vector>

namespace Step {

/// An instance of the data section (#key=ENTITY(...)). Its attributes are
/// held as STEP values in schema order; typed accessors of the schema's
/// classes read and write them through argument()/setArgument().
class BaseEntity : public BaseObject
{
public:
    BaseEntity(BaseExpressDataSet* dataSet, Id key) : BaseObject(dataSet), m_key(key) {}

    static const ClassType& getClassType();
    const ClassType& getType() const override { return getClassType(); }
    bool acceptVisitor(BaseVisitor* visitor) override;

    Id getKey() const { return m_key; }

    std::size_t argumentCount() const { return m_arguments.size(); }
    const Value& argument(std::size_t index) const;
    const std::vector<Value>& arguments() const { return m_arguments; }

    /// Changes one attribute and tells the data set, which then writes the
    /// record anew on save and keeps its inverse relations up to date.
    void setArgument(std::size_t index, Value value);

    /// Schema position of an explicit attribute by name, or -1.
    int attributeIndex(const std::string& name) const;
    const Value& attribute(const std::string& name) const;

    /// Resolves a reference value to the loaded entity, or null.
    BaseEntity* resolve(const Value& value) const;

protected:
    friend class BaseExpressDataSet;
    void initArguments(std::vector<Value> arguments) { m_arguments = std::move(arguments); }

private:
    Id m_key;
    std::vector<Value> m_arguments;
};

} // namespace Step

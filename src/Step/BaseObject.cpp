#include "BaseObject.h"

#include "BaseExpressDataSet.h"
#include "BaseSPFObject.h"
#include "BaseVisitor.h"

namespace Step {

const ClassType& BaseObject::getClassType()
{
    static const ClassType type("BaseObject", nullptr, 0);
    return type;
}

bool BaseObject::acceptVisitor(BaseVisitor* visitor)
{
    return visitor->visitBaseObject(this);
}

const ClassType& BaseEntity::getClassType()
{
    static const ClassType type("BaseEntity", &BaseObject::getClassType(), 0);
    return type;
}

const ClassType& BaseSPFObject::getClassType()
{
    static const ClassType type("BaseSPFObject", &BaseEntity::getClassType(), 0);
    return type;
}

bool BaseEntity::acceptVisitor(BaseVisitor* visitor)
{
    return visitor->visitBaseEntity(this);
}

const Value& BaseEntity::argument(std::size_t index) const
{
    static const Value none;
    return index < m_arguments.size() ? m_arguments[index] : none;
}

void BaseEntity::setArgument(std::size_t index, Value value)
{
    if (index >= m_arguments.size()) {
        m_arguments.resize(index + 1);
    }
    Value old = std::move(m_arguments[index]);
    m_arguments[index] = std::move(value);
    if (BaseExpressDataSet* ds = getExpressDataSet()) {
        ds->argumentChanged(this, index, old);
    }
}

int BaseEntity::attributeIndex(const std::string& name) const
{
    const BaseExpressDataSet* ds = getExpressDataSet();
    return ds ? ds->schema().attributeIndex(getType().id(), name) : -1;
}

const Value& BaseEntity::attribute(const std::string& name) const
{
    const int index = attributeIndex(name);
    return argument(index < 0 ? m_arguments.size() : static_cast<std::size_t>(index));
}

BaseEntity* BaseEntity::resolve(const Value& value) const
{
    BaseExpressDataSet* ds = getExpressDataSet();
    return ds && value.isReference() ? ds->get(value.referenceKey()) : nullptr;
}

} // namespace Step

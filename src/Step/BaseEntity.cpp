#include "BaseEntity.h"

#include "Arena.h"
#include "BaseExpressDataSet.h"
#include "BaseVisitor.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace Step {

const ClassType& BaseEntity::getClassType()
{
    static const ClassType type("BaseEntity", &BaseObject::getClassType(), 0);
    return type;
}

BaseEntity::~BaseEntity()
{
    destroyArguments();
}

bool BaseEntity::acceptVisitor(BaseVisitor* visitor)
{
    return visitor->visitBaseEntity(this);
}

void BaseEntity::checkRoom(std::size_t count)
{
    if (count >= onHeap) {
        throw std::length_error("too many attributes");
    }
}

void* BaseEntity::allocateBlock(BaseExpressDataSet* dataSet, std::size_t bytes, std::uint16_t& sizeClass)
{
    sizeClass = 0;
    void* block = dataSet ? dataSet->arena().allocateInstance(bytes, sizeClass) : nullptr;
    return block ? block : ::operator new(bytes);
}

void BaseEntity::freeBlock(void* block, std::uint16_t sizeClass)
{
    if (sizeClass) {
        Arena::recycle(block, sizeClass);
    } else {
        ::operator delete(block);
    }
}

void BaseEntity::destroy() const
{
    const std::uint16_t sizeClass = m_sizeClass;
    void* const block = const_cast<BaseEntity*>(this);
    this->~BaseEntity();
    freeBlock(block, sizeClass);
}

void BaseEntity::useRoom(void* room, std::size_t count)
{
    checkRoom(count);
    m_arguments = static_cast<Value*>(room);
    m_room = static_cast<std::uint16_t>(count);
}

void BaseEntity::destroyArguments()
{
    for (std::uint32_t i = 0; i < m_count; ++i) {
        m_arguments[i].~Value();
    }
    m_count = 0;
    if (m_room == onHeap) {
        ::operator delete(m_arguments);
        m_arguments = nullptr;
        m_room = 0;
    }
}

void BaseEntity::resizeArguments(std::size_t count)
{
    if (count >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("too many attributes");
    }
    if (count <= m_count) {
        for (std::size_t i = count; i < m_count; ++i) {
            m_arguments[i].~Value();
        }
        m_count = static_cast<std::uint32_t>(count);
        return;
    }
    if (m_room == onHeap || count > m_room) {
        // Beyond the room the instance was made with: the values move to a
        // block of their own.
        auto* moved = static_cast<Value*>(::operator new(count * sizeof(Value)));
        for (std::uint32_t i = 0; i < m_count; ++i) {
            new (&moved[i]) Value(std::move(m_arguments[i]));
            m_arguments[i].~Value();
        }
        if (m_room == onHeap) {
            ::operator delete(m_arguments);
        }
        m_arguments = moved;
        m_room = onHeap;
    }
    for (std::size_t i = m_count; i < count; ++i) {
        new (&m_arguments[i]) Value();
    }
    m_count = static_cast<std::uint32_t>(count);
}

void BaseEntity::takeArguments(std::vector<Value>& arguments)
{
    resizeArguments(0);
    resizeArguments(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        m_arguments[i] = std::move(arguments[i]);
    }
    arguments.clear();
    m_unread.store(false, std::memory_order_release);
}

void BaseEntity::readDeferred() const
{
    if (BaseExpressDataSet* ds = getExpressDataSet()) {
        ds->readDeferredArguments(const_cast<BaseEntity&>(*this));
    }
}

void BaseEntity::putArgument(std::size_t index, Value value)
{
    readIfUnread();
    if (index >= m_count) {
        resizeArguments(index + 1);
    }
    m_arguments[index] = std::move(value);
}

const Value& BaseEntity::argument(std::size_t index) const
{
    static const Value none;
    readIfUnread();
    return index < m_count ? m_arguments[index] : none;
}

void BaseEntity::setArgument(std::size_t index, Value value)
{
    readIfUnread();
    if (index >= m_count) {
        resizeArguments(index + 1);
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
    return argument(index < 0 ? argumentCount() : static_cast<std::size_t>(index));
}

BaseEntity* BaseEntity::resolve(const Value& value) const
{
    BaseExpressDataSet* ds = getExpressDataSet();
    return ds && value.isReference() ? ds->get(value.referenceKey()) : nullptr;
}

} // namespace Step

#pragma once

#include "BaseObject.h"
#include "Value.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace Step {

/// An instance of the data section (#key=ENTITY(...)). Its attributes are
/// held as STEP values in schema order; typed accessors of the schema's
/// classes read and write them through argument()/setArgument().
///
/// Instances made by the schema (createWithRoom) hold their values in the
/// same block of memory as themselves: a model is millions of instances,
/// and a second block each would cost an allocation and its overhead.
/// That block comes from the data set's arena; an instance made without a
/// data set, or too large for the arena, is on the heap.
class BaseEntity : public BaseObject
{
public:
    BaseEntity(BaseExpressDataSet* dataSet, Id key) : BaseObject(dataSet), m_key(key) {}
    ~BaseEntity() override;
    BaseEntity(const BaseEntity&) = delete;
    BaseEntity& operator=(const BaseEntity&) = delete;

    /// A new T with room for `count` values after it, in one allocation.
    template <class T> static T* createWithRoom(BaseExpressDataSet* dataSet, Id key, std::size_t count)
    {
        checkRoom(count);
        std::uint16_t sizeClass = 0;
        void* block = allocateBlock(dataSet, roomOffset(sizeof(T)) + count * sizeof(Value), sizeClass);
        T* entity = nullptr;
        try {
            entity = ::new (block) T(dataSet, key);
        } catch (...) {
            freeBlock(block, sizeClass);
            throw;
        }
        entity->m_sizeClass = sizeClass;
        entity->useRoom(static_cast<char*>(block) + roomOffset(sizeof(T)), count);
        return entity;
    }
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* block) { ::operator delete(block); }

    static const ClassType& getClassType();
    const ClassType& getType() const override { return getClassType(); }
    bool acceptVisitor(BaseVisitor* visitor) override;

    Id getKey() const { return m_key; }

    /// The values in schema order, as a read-only range.
    using Arguments = Value::Range<const Value>;

    std::size_t argumentCount() const
    {
        readIfUnread();
        return m_count;
    }
    const Value& argument(std::size_t index) const;
    Arguments arguments() const
    {
        readIfUnread();
        return {m_arguments, m_count};
    }
    /// Whether the values are still to be read from the data set's text
    /// (see BaseExpressDataSet::getBySlotDeferred()); any read of them
    /// reads them first.
    bool argumentsUnread() const { return m_unread.load(std::memory_order_acquire); }

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
    void destroy() const override;
    /// Replaces the values by those of `arguments`, which is left empty
    /// with its capacity, for the caller to fill again.
    void takeArguments(std::vector<Value>& arguments);
    /// Sets one attribute without telling the data set: for the data set
    /// itself, putting back a value it recorded.
    void putArgument(std::size_t index, Value value);

private:
    static constexpr std::uint16_t onHeap = 0xffff;

    static constexpr std::size_t roomOffset(std::size_t size)
    {
        return (size + alignof(Value) - 1) / alignof(Value) * alignof(Value);
    }
    static void checkRoom(std::size_t count);
    /// Memory for an instance: from the data set's arena (a size class other
    /// than 0) or from the heap.
    static void* allocateBlock(BaseExpressDataSet* dataSet, std::size_t bytes, std::uint16_t& sizeClass);
    static void freeBlock(void* block, std::uint16_t sizeClass);

    void readIfUnread() const
    {
        if (argumentsUnread()) {
            readDeferred();
        }
    }
    void readDeferred() const;
    void markUnread() { m_unread.store(true, std::memory_order_release); }

    void useRoom(void* room, std::size_t count);
    /// Storage for `count` values, the first `m_count` of them kept; the
    /// new ones are unset.
    void resizeArguments(std::size_t count);
    void destroyArguments();

    Id m_key;
    Value* m_arguments = nullptr;
    std::uint32_t m_count = 0;
    /// Values the block after the instance holds, or onHeap once they have
    /// moved to a block of their own (more than the room, rarely).
    std::uint16_t m_room = 0;
    /// The arena's size class of the instance's block; 0 when on the heap.
    std::uint16_t m_sizeClass = 0;
    /// Set while the values are left in the text; cleared, once they are
    /// read, under the data set's lock.
    mutable std::atomic<bool> m_unread{false};
};

} // namespace Step

#pragma once

#include "Value.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Step {

class BaseEntity;

enum class SlotState : std::uint8_t { Unloaded, Loaded, Modified, Broken, Deleted, New };

/// The index of a data set, one slot per instance: where its record lies
/// in the source, its key, type, state and decoded object.
///
/// A slot takes 16 bytes, as files hold millions of instances of which
/// few are decoded: one word packs offset and length (40 and 24 bits), the
/// other the key, type and state (40, 16 and 8 bits). Once the instance is
/// decoded, its object, which knows the key, takes the key's place in the
/// form of an index into a table of decoded objects. Values that do not
/// fit (files beyond 1 TB, records beyond 16 MB, keys beyond 2^40) are kept
/// whole in side tables, which ordinary files never use.
class SlotTable
{
public:
    static constexpr std::uint64_t noOffset = ~std::uint64_t(0);

    std::size_t size() const { return m_slots.size(); }
    void reserve(std::size_t count) { m_slots.reserve(count); }
    /// The storage of the slots, for memory advice.
    const void* storage() const { return m_slots.data(); }
    std::size_t storageBytes() const { return m_slots.capacity() * sizeof(Slot); }
    void clear();

    /// Appends a slot without object; a record not read from the source has
    /// noOffset.
    void append(std::uint64_t offset, std::uint64_t length, Id key, std::uint16_t typeId, SlotState state)
    {
        const std::uint64_t tail = std::uint64_t(typeId) << typeShift | static_cast<std::uint8_t>(state);
        // One test for offset and key, as both fields are 40 bits wide; it
        // sends a few packable slots the slow way, never the reverse.
        if ((offset | key) < wideOffset && length < lengthMask) {
            m_slots.push_back(Slot{offset << lengthBits | length, key << fieldShift | tail});
        } else {
            appendWide(offset, length, key, tail);
        }
    }

    std::uint64_t offset(std::size_t slot) const
    {
        const std::uint64_t field = m_slots[slot].place >> lengthBits;
        return field != wideOffset ? field : wideOffsetOf(slot);
    }
    std::uint64_t length(std::size_t slot) const
    {
        const std::uint64_t place = m_slots[slot].place;
        return place != ~std::uint64_t(0) ? place & lengthMask : m_wideExtents.at(slot).length;
    }
    Id key(std::size_t slot) const
    {
        const std::uint64_t word = m_slots[slot].word;
        const Id field = word >> fieldShift;
        if (word & holdsObject) {
            return keyOfObject(field);
        }
        return field != wideKey ? field : m_wideKeys.at(slot);
    }
    std::uint16_t typeId(std::size_t slot) const { return static_cast<std::uint16_t>(m_slots[slot].word >> typeShift); }
    SlotState state(std::size_t slot) const { return static_cast<SlotState>(m_slots[slot].word & stateMask); }
    void setState(std::size_t slot, SlotState state)
    {
        m_slots[slot].word = (m_slots[slot].word & ~stateMask) | static_cast<std::uint8_t>(state);
    }
    BaseEntity* object(std::size_t slot) const
    {
        const std::uint64_t word = m_slots[slot].word;
        return word & holdsObject ? objectAt(word >> fieldShift) : nullptr;
    }
    /// Sets or replaces the object of a slot, which must have the slot's
    /// key; null drops it, and must come before the object is released, as
    /// the slot takes its key back from it.
    void setObject(std::size_t slot, BaseEntity* object);
    /// Drops the last slot, whose object must have been dropped first: an
    /// instance created and then undone leaves no trace.
    void popBack();

private:
    struct Slot
    {
        std::uint64_t place; // offset << 24 | length
        std::uint64_t word;  // key or object index << 24 | typeId << 8 | flag and state
    };
    struct Extent
    {
        std::uint64_t offset;
        std::uint64_t length;
    };

    static constexpr int lengthBits = 24;
    static constexpr int typeShift = 8;
    static constexpr int fieldShift = 24;
    static constexpr std::uint64_t lengthMask = (std::uint64_t(1) << lengthBits) - 1;
    static constexpr std::uint64_t stateMask = 0x7f;
    /// Set when the key field holds the index of the slot's object.
    static constexpr std::uint64_t holdsObject = 0x80;
    /// All ones in the offset field: the place is in m_wideExtents, or there
    /// is none when the length field is 0.
    static constexpr std::uint64_t wideOffset = (std::uint64_t(1) << (64 - lengthBits)) - 1;
    /// All ones in the key field: the key is in m_wideKeys.
    static constexpr Id wideKey = (Id(1) << (64 - fieldShift)) - 1;
    static_assert(wideKey == wideOffset);
    /// Decoded objects are held in blocks that never move, so the table
    /// grows without copying nor slack beyond one block.
    static constexpr int blockBits = 13;
    static constexpr std::size_t blockSize = std::size_t(1) << blockBits;

    BaseEntity* objectAt(std::size_t index) const
    {
        return m_objectBlocks[index >> blockBits][index & (blockSize - 1)];
    }
    Id keyOfObject(std::size_t index) const;
    std::uint64_t wideOffsetOf(std::size_t slot) const;
    void appendWide(std::uint64_t offset, std::uint64_t length, Id key, std::uint64_t tail);
    std::uint64_t keyField(std::size_t slot, Id key);

    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<BaseEntity*[]>> m_objectBlocks;
    std::size_t m_objectCount = 0;
    std::unordered_map<std::size_t, Extent> m_wideExtents;
    std::unordered_map<std::size_t, Id> m_wideKeys;
};

} // namespace Step

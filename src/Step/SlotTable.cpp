#include "SlotTable.h"

#include "BaseEntity.h"

namespace Step {

void SlotTable::clear()
{
    m_slots.clear();
    m_objectBlocks.clear();
    m_objectCount = 0;
    m_wideExtents.clear();
    m_wideKeys.clear();
}

// The key field of a slot without object, the key itself kept aside when
// too wide for the field.
std::uint64_t SlotTable::keyField(std::size_t slot, Id key)
{
    if (key < wideKey) {
        return key;
    }
    m_wideKeys[slot] = key;
    return wideKey;
}

// Slots with a field too wide to pack, and slots of created instances.
void SlotTable::appendWide(std::uint64_t offset, std::uint64_t length, Id key, std::uint64_t tail)
{
    static_assert(sizeof(Slot) == 16, "one slot per instance of the file");
    const std::size_t slot = m_slots.size();
    std::uint64_t place = 0;
    if (offset == noOffset && length == 0) {
        place = wideOffset << lengthBits;
    } else if (offset < wideOffset && length < lengthMask) {
        place = offset << lengthBits | length;
    } else {
        place = ~std::uint64_t(0);
        m_wideExtents[slot] = Extent{offset, length};
    }
    m_slots.push_back(Slot{place, keyField(slot, key) << fieldShift | tail});
}

void SlotTable::popBack()
{
    const std::size_t slot = m_slots.size() - 1;
    m_wideExtents.erase(slot);
    m_wideKeys.erase(slot);
    m_slots.pop_back();
}

std::uint64_t SlotTable::wideOffsetOf(std::size_t slot) const
{
    return (m_slots[slot].place & lengthMask) == 0 ? noOffset : m_wideExtents.at(slot).offset;
}

Id SlotTable::keyOfObject(std::size_t index) const
{
    return objectAt(index)->getKey();
}

void SlotTable::setObject(std::size_t slot, BaseEntity* object)
{
    std::uint64_t& word = m_slots[slot].word;
    const std::uint64_t tail = word & ((std::uint64_t(1) << fieldShift) - 1) & ~holdsObject;
    if (word & holdsObject) {
        const std::size_t index = word >> fieldShift;
        BaseEntity*& held = m_objectBlocks[index >> blockBits][index & (blockSize - 1)];
        if (!object) {
            word = keyField(slot, held->getKey()) << fieldShift | tail;
        }
        held = object; // a dropped object leaves an empty entry behind
        return;
    }
    if (!object) {
        return;
    }
    const std::size_t index = m_objectCount++;
    if ((index >> blockBits) == m_objectBlocks.size()) {
        m_objectBlocks.push_back(std::make_unique<BaseEntity*[]>(blockSize));
    }
    m_objectBlocks[index >> blockBits][index & (blockSize - 1)] = object;
    word = std::uint64_t(index) << fieldShift | tail | holdsObject;
}

} // namespace Step

#include "SlotTable.h"

namespace Step {

void SlotTable::clear()
{
    m_slots.clear();
    m_wideExtents.clear();
    m_wideKeys.clear();
}

// Slots with a field too wide to pack, and slots of created instances.
void SlotTable::appendWide(std::uint64_t offset, std::uint64_t length, Id key, std::uint64_t tail, BaseEntity* object)
{
    static_assert(sizeof(Slot) == 24, "one slot per instance of the file");
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
    Id keyField = key;
    if (key >= wideKey) {
        keyField = wideKey;
        m_wideKeys[slot] = key;
    }
    m_slots.push_back(Slot{place, keyField << keyShift | tail, object});
}

std::uint64_t SlotTable::wideOffsetOf(std::size_t slot) const
{
    return (m_slots[slot].place & lengthMask) == 0 ? noOffset : m_wideExtents.at(slot).offset;
}

} // namespace Step

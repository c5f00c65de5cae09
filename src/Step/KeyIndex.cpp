#include "KeyIndex.h"

#include "MemoryPolicy.h"
#include "SlotTable.h"

#include <utility>

namespace Step {

bool KeyIndex::build(const SlotTable& slots, Id maxKey, std::uint32_t& duplicate)
{
    clear();
    m_dense = maxKey <= 4 * slots.size() + 1024;
    if (m_dense) {
        // Room for the instances a session creates: a first creation would
        // otherwise copy the whole index.
        m_denseSlots.reserve(maxKey + 1 + maxKey / 2);
        MemoryPolicy::adviseFilledInOnePass(m_denseSlots.data(), m_denseSlots.capacity() * sizeof(std::uint32_t));
        m_denseSlots.assign(maxKey + 1, noSlot);
    } else {
        m_sparseSlots.reserve(slots.size());
    }
    for (std::uint32_t i = 0; i < slots.size(); ++i) {
        const Id key = slots.key(i);
        // The dense table covers every key read: no bounds test.
        const bool fresh =
            m_dense ? std::exchange(m_denseSlots[key], i) == noSlot : m_sparseSlots.emplace(key, i).second;
        if (!fresh) {
            duplicate = i;
            return false;
        }
    }
    return true;
}

void KeyIndex::clear()
{
    m_denseSlots.clear();
    m_sparseSlots.clear();
    m_dense = true;
}

void KeyIndex::set(Id key, std::uint32_t slot)
{
    if (m_dense) {
        if (key >= m_denseSlots.size()) {
            m_denseSlots.resize(key + 1, noSlot);
        }
        m_denseSlots[key] = slot;
    } else if (slot == noSlot) {
        m_sparseSlots.erase(key);
    } else {
        m_sparseSlots[key] = slot;
    }
}

} // namespace Step

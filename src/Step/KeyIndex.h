#pragma once

#include "Value.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Step {

class SlotTable;

/// Finds the slot of an instance by its key. Files number their instances
/// mostly from 1 without large gaps: the keys then index an array, four
/// bytes a key, and only files with scattered keys pay for a hash map.
class KeyIndex
{
public:
    static constexpr std::uint32_t noSlot = ~std::uint32_t(0);

    /// Indexes the keys of every slot. False on a key used twice, with the
    /// second slot that uses it in `duplicate`; the index is then partial.
    bool build(const SlotTable& slots, Id maxKey, std::uint32_t& duplicate);
    void clear();

    std::uint32_t find(Id key) const
    {
        if (m_dense) {
            return key < m_denseSlots.size() ? m_denseSlots[key] : noSlot;
        }
        const auto it = m_sparseSlots.find(key);
        return it == m_sparseSlots.end() ? noSlot : it->second;
    }
    bool contains(Id key) const { return find(key) != noSlot; }
    /// Points key at slot; noSlot forgets the key.
    void set(Id key, std::uint32_t slot);

private:
    std::vector<std::uint32_t> m_denseSlots; // by key
    std::unordered_map<Id, std::uint32_t> m_sparseSlots;
    bool m_dense = true;
};

} // namespace Step

#pragma once

#include "SlotTable.h"
#include "Value.h"

#include <cstdint>
#include <vector>

namespace Step {

class BaseEntity;

/// What a data set records of its edits while a journal is open, so that
/// they can be undone as a whole: the instances deleted (kept alive
/// meanwhile), the attribute values replaced and the records read without
/// references to instances deleted since, in the order they happened; and
/// the data set's counters when it opened. Created instances need no entry:
/// they are the slots beyond the count it opened with.
class EditJournal
{
public:
    enum class Kind : std::uint8_t { Removed, ArgumentChanged, DecodedWithoutDeleted };
    struct Entry
    {
        Entry(Kind kind, SlotState state, std::uint32_t slot, BaseEntity* entity = nullptr, std::uint32_t index = 0,
              Value old = Value())
            : kind(kind), state(state), slot(slot), entity(entity), index(index), old(std::move(old))
        {
        }
        Kind kind;
        /// The slot's state before the edit.
        SlotState state;
        std::uint32_t slot;
        /// Removed: the instance, one reference held by the journal.
        BaseEntity* entity;
        /// ArgumentChanged: which attribute, and its value before.
        std::uint32_t index;
        Value old;
    };
    struct Counters
    {
        std::size_t slotCount = 0;
        std::size_t changeCount = 0;
        std::size_t deletedCount = 0;
        Id maxKey = 0;
        bool instanceNumbersExhausted = false;
    };

    explicit EditJournal(const Counters& counters) : m_counters(counters) {}
    /// Lets go of the deleted instances still held.
    ~EditJournal();
    EditJournal(const EditJournal&) = delete;
    EditJournal& operator=(const EditJournal&) = delete;

    void record(Entry entry) { m_entries.push_back(std::move(entry)); }
    std::vector<Entry>& entries() { return m_entries; }
    const Counters& counters() const { return m_counters; }

private:
    Counters m_counters;
    std::vector<Entry> m_entries;
};

} // namespace Step

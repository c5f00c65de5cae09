#pragma once

#include "SlotTable.h"
#include "Value.h"

#include <cstdint>
#include <vector>

namespace Step {

class BaseEntity;

/// What a data set records of its edits while a journal is open, so that
/// they can be undone: the instances deleted (kept alive meanwhile), the
/// attribute values replaced and the records read without references to
/// instances deleted since, in the order they happened.
///
/// Journals nest: each opening is a mark with the data set's counters then
/// (created instances need no entry: they are the slots beyond the count of
/// a mark). Closing the innermost keeps its entries for the marks outside
/// it, so an operation that keeps its edits can still be undone with the
/// one that encloses it; undoing it takes the entries since its mark.
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

    EditJournal() = default;
    /// Lets go of the deleted instances still held.
    ~EditJournal();
    EditJournal(const EditJournal&) = delete;
    EditJournal& operator=(const EditJournal&) = delete;

    void open(const Counters& counters) { m_marks.push_back({counters, m_entries.size()}); }
    bool isOpen() const { return !m_marks.empty(); }
    std::size_t depth() const { return m_marks.size(); }
    /// Closes the innermost mark, its entries kept for the others; with
    /// none left, every entry goes.
    void keepInnermost();
    /// Closes the innermost mark and hands over its entries, oldest first,
    /// and its counters.
    std::vector<Entry> takeInnermost(Counters& counters);
    /// After a save at the current state: that state is now unmodified, and
    /// every other state a mark leads back to is modified.
    void savedAt(std::size_t slotCount, std::size_t changeCountBefore);

    void record(Entry entry) { m_entries.push_back(std::move(entry)); }
    /// Whether undoing the innermost mark drops the slot anyway: one created
    /// since, whose changes need no entry.
    bool createdSinceInnermost(std::size_t slot) const
    {
        return !m_marks.empty() && slot >= m_marks.back().counters.slotCount;
    }

    /// Lets go of the instances the entries hold.
    static void release(std::vector<Entry>& entries);

private:
    struct Mark
    {
        Counters counters;
        std::size_t entryCount;
    };
    std::vector<Mark> m_marks;
    std::vector<Entry> m_entries;
};

} // namespace Step

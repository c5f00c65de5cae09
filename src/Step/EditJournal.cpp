#include "EditJournal.h"

#include "BaseEntity.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace Step {

EditJournal::~EditJournal()
{
    release(m_entries);
}

void EditJournal::release(std::vector<Entry>& entries)
{
    for (Entry& entry : entries) {
        if (entry.kind == Kind::Removed && entry.entity) {
            std::exchange(entry.entity, nullptr)->unref();
        }
    }
}

void EditJournal::keepInnermost()
{
    if (m_marks.empty()) {
        return;
    }
    m_marks.pop_back();
    if (m_marks.empty()) {
        release(m_entries);
        m_entries.clear();
    }
}

std::vector<EditJournal::Entry> EditJournal::takeInnermost(Counters& counters)
{
    const Mark mark = m_marks.back();
    m_marks.pop_back();
    counters = mark.counters;
    const auto first = m_entries.begin() + static_cast<std::ptrdiff_t>(mark.entryCount);
    std::vector<Entry> taken(std::make_move_iterator(first), std::make_move_iterator(m_entries.end()));
    m_entries.erase(first, m_entries.end());
    return taken;
}

void EditJournal::savedAt(std::size_t slotCount, std::size_t changeCountBefore)
{
    for (Mark& mark : m_marks) {
        const bool atSavedState = mark.entryCount == m_entries.size() && mark.counters.slotCount == slotCount &&
                                  mark.counters.changeCount == changeCountBefore;
        mark.counters.changeCount = atSavedState ? 0 : std::max<std::size_t>(mark.counters.changeCount, 1);
    }
}

} // namespace Step

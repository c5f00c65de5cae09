#include "EditJournal.h"

#include "BaseEntity.h"

namespace Step {

EditJournal::~EditJournal()
{
    for (Entry& entry : m_entries) {
        if (entry.kind == Kind::Removed && entry.entity) {
            entry.entity->unref();
        }
    }
}

} // namespace Step

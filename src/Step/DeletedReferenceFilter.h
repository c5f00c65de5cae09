#pragma once

#include "Value.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace Step {

/// The instances deleted since the last save, and their removal from what
/// refers to them, so that no file written names an instance it lacks: a
/// reference becomes unset ($), an entry of a list drops out.
class DeletedReferenceFilter
{
public:
    void add(Id key) { m_deleted.insert(key); }
    void erase(Id key) { m_deleted.erase(key); }
    void clear() { m_deleted.clear(); }
    bool empty() const { return m_deleted.empty(); }
    bool contains(Id key) const { return m_deleted.count(key) != 0; }

    /// Removes the references to deleted instances from value; true when
    /// there was one.
    bool strip(Value& value) const;
    /// Whether the parameters of a record's text refer to a deleted
    /// instance; strings and comments are text, not references.
    bool referencedBy(std::string_view recordText) const;
    /// The record's text without its references to deleted instances, for
    /// records that cannot be decoded. Everything else, strings and
    /// comments included, stays as written.
    std::string stripText(std::string_view recordText) const;

private:
    std::unordered_set<Id> m_deleted;
};

} // namespace Step

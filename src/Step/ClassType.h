#pragma once

#include <cstdint>

namespace Step {

/// Run-time type of a STEP object: its name and its supertype. Type tests
/// walk the supertype chain, so they cost the depth of the hierarchy.
class ClassType
{
public:
    constexpr ClassType(const char* name, const ClassType* parent, std::uint16_t id)
        : m_name(name), m_parent(parent), m_id(id)
    {
    }
    ClassType(const ClassType&) = delete;
    ClassType& operator=(const ClassType&) = delete;

    const char* getName() const { return m_name; }
    const ClassType* getParent() const { return m_parent; }
    std::uint16_t id() const { return m_id; }

    bool isDerivedFrom(const ClassType& other) const
    {
        for (const ClassType* t = this; t; t = t->m_parent) {
            if (t == &other) {
                return true;
            }
        }
        return false;
    }

    bool operator==(const ClassType& other) const { return this == &other; }
    bool operator!=(const ClassType& other) const { return this != &other; }

private:
    const char* m_name;
    const ClassType* m_parent;
    std::uint16_t m_id;
};

} // namespace Step

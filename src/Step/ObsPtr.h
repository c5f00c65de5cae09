#pragma once

#include <cstddef>

namespace Step {

/// Non-owning pointer to an entity, as inverse relations hand them out: the
/// data set owns the entities, and an ObsPtr never keeps one alive.
template <class T> class ObsPtr
{
public:
    ObsPtr() = default;
    ObsPtr(std::nullptr_t) {}
    ObsPtr(T* object) : m_object(object) {}

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool valid() const { return m_object != nullptr; }

    friend bool operator==(const ObsPtr& a, const ObsPtr& b) { return a.m_object == b.m_object; }
    friend bool operator!=(const ObsPtr& a, const ObsPtr& b) { return a.m_object != b.m_object; }

private:
    T* m_object = nullptr;
};

} // namespace Step

#pragma once

#include <cstddef>
#include <utility>

namespace Step {

/// Non-owning pointer that announces itself to the observed object, so that
/// the object's owner can tell it is still being watched. The data set owns
/// the entities; an ObsPtr never keeps one alive.
template <class T> class ObsPtr
{
public:
    ObsPtr() = default;
    ObsPtr(std::nullptr_t) {}
    ObsPtr(T* object) : m_object(object) { observe(); }
    ObsPtr(const ObsPtr& other) : m_object(other.m_object) { observe(); }
    ObsPtr(ObsPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~ObsPtr() { forget(); }

    ObsPtr& operator=(const ObsPtr& other)
    {
        ObsPtr(other).swap(*this);
        return *this;
    }
    ObsPtr& operator=(ObsPtr&& other) noexcept
    {
        ObsPtr(std::move(other)).swap(*this);
        return *this;
    }

    void swap(ObsPtr& other) noexcept { std::swap(m_object, other.m_object); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool valid() const { return m_object != nullptr; }

    friend bool operator==(const ObsPtr& a, const ObsPtr& b) { return a.m_object == b.m_object; }
    friend bool operator!=(const ObsPtr& a, const ObsPtr& b) { return a.m_object != b.m_object; }

private:
    void observe()
    {
        if (m_object) {
            m_object->addObserver();
        }
    }
    void forget()
    {
        if (m_object) {
            m_object->removeObserver();
        }
    }

    T* m_object = nullptr;
};

} // namespace Step

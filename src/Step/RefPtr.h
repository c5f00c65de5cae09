#pragma once

#include <cstddef>
#include <utility>

namespace Step {

/// Owning smart pointer over a Step::Referenced object (intrusive count).
template <class T> class RefPtr
{
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    RefPtr(T* object) : m_object(object) { acquire(); }
    RefPtr(const RefPtr& other) : m_object(other.m_object) { acquire(); }
    RefPtr(RefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U> RefPtr(const RefPtr<U>& other) : m_object(other.get()) { acquire(); }
    ~RefPtr() { release(); }

    RefPtr& operator=(const RefPtr& other)
    {
        RefPtr(other).swap(*this);
        return *this;
    }
    RefPtr& operator=(RefPtr&& other) noexcept
    {
        RefPtr(std::move(other)).swap(*this);
        return *this;
    }
    RefPtr& operator=(T* object)
    {
        RefPtr(object).swap(*this);
        return *this;
    }

    void swap(RefPtr& other) noexcept { std::swap(m_object, other.m_object); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool valid() const { return m_object != nullptr; }

    friend bool operator==(const RefPtr& a, const RefPtr& b) { return a.m_object == b.m_object; }
    friend bool operator!=(const RefPtr& a, const RefPtr& b) { return a.m_object != b.m_object; }
    friend bool operator==(const RefPtr& a, std::nullptr_t) { return a.m_object == nullptr; }
    friend bool operator!=(const RefPtr& a, std::nullptr_t) { return a.m_object != nullptr; }

private:
    void acquire()
    {
        if (m_object) {
            m_object->ref();
        }
    }
    void release()
    {
        if (m_object) {
            m_object->unref();
        }
    }

    T* m_object = nullptr;
};

} // namespace Step

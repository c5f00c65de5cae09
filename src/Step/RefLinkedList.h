#pragma once

#include "RefPtr.h"

#include <algorithm>
#include <vector>

namespace Step {

/// Ordered list of owned references, in data set order.
template <class T> class RefLinkedList
{
public:
    using value_type = RefPtr<T>;
    using const_iterator = typename std::vector<RefPtr<T>>::const_iterator;

    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const RefPtr<T>& front() const { return m_items.front(); }
    const RefPtr<T>& operator[](std::size_t i) const { return m_items[i]; }

    void push_back(T* item) { m_items.emplace_back(item); }
    void remove(const T* item)
    {
        m_items.erase(
            std::remove_if(m_items.begin(), m_items.end(), [item](const RefPtr<T>& p) { return p.get() == item; }),
            m_items.end());
    }
    void clear() { m_items.clear(); }

private:
    std::vector<RefPtr<T>> m_items;
};

} // namespace Step

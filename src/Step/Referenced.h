#pragma once

#include <atomic>

namespace Step {

/// Intrusive reference count shared by every object of the STEP runtime.
/// The count starts at zero: the first RefPtr that takes the object owns it.
class Referenced
{
public:
    Referenced() = default;
    Referenced(const Referenced&) : m_refCount(0) {}
    Referenced& operator=(const Referenced&) { return *this; }
    virtual ~Referenced() = default;

    void ref() const { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    /// Releases one reference and destroys the object when it was the last one.
    void unref() const
    {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            destroy();
        }
    }
    int refCount() const { return m_refCount.load(std::memory_order_relaxed); }

protected:
    /// Ends the object's life: objects not made by `new` give their memory
    /// back where it came from.
    virtual void destroy() const { delete this; }

private:
    mutable std::atomic<int> m_refCount{0};
};

} // namespace Step

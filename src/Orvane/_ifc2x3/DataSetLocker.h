#pragma once

#include <QReadWriteLock>

#if defined(__SANITIZE_THREAD__)
#define ORVANE_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVANE_TSAN 1
#endif
#endif

#ifdef ORVANE_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace Orvane {
namespace _ifc2x3 {

/// Holds a data set's lock for reading or writing. Qt's lock works on
/// futexes that ThreadSanitizer cannot see; in such builds these lockers
/// describe each acquisition to it, so that what the lock orders is not
/// reported as a race.
class DataSetLocker
{
public:
    enum Mode { Read, Write };

    DataSetLocker(QReadWriteLock& lock, Mode mode) : m_lock(lock), m_mode(mode)
    {
#ifdef ORVANE_TSAN
        __tsan_mutex_pre_lock(&m_lock, flags());
#endif
        if (m_mode == Read) {
            m_lock.lockForRead();
        } else {
            m_lock.lockForWrite();
        }
#ifdef ORVANE_TSAN
        __tsan_mutex_post_lock(&m_lock, flags(), 0);
#endif
    }

    ~DataSetLocker()
    {
#ifdef ORVANE_TSAN
        __tsan_mutex_pre_unlock(&m_lock, flags());
#endif
        m_lock.unlock();
#ifdef ORVANE_TSAN
        __tsan_mutex_post_unlock(&m_lock, flags());
#endif
    }

    DataSetLocker(const DataSetLocker&) = delete;
    DataSetLocker& operator=(const DataSetLocker&) = delete;

    /// Tells ThreadSanitizer of a new lock, or of one about to be deleted.
    static void created(QReadWriteLock* lock)
    {
#ifdef ORVANE_TSAN
        __tsan_mutex_create(lock, 0);
#else
        (void)lock;
#endif
    }
    static void destroyed(QReadWriteLock* lock)
    {
#ifdef ORVANE_TSAN
        __tsan_mutex_destroy(lock, 0);
#else
        (void)lock;
#endif
    }

private:
#ifdef ORVANE_TSAN
    unsigned flags() const
    {
        return m_mode == Read ? __tsan_mutex_read_lock : 0;
    }
#endif

    QReadWriteLock& m_lock;
    Mode m_mode;
};

} // namespace _ifc2x3
} // namespace Orvane

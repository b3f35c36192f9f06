#pragma once

#include <mutex>

// Clang's thread-safety analysis checks, at compile time, that data marked GUARDED_BY is only
// touched with its lock held. std::mutex carries no such attributes, so the locks it checks are
// the Mutex below. Other compilers see plain declarations.
#if defined(__clang__)
#define QS_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define QS_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) QS_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY QS_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) QS_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) QS_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) QS_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) QS_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) QS_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define EXCLUDES(...) QS_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

namespace qs {

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { m_mutex.lock(); }
    void unlock() RELEASE() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// Holds the lock for its scope.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex &mutex) ACQUIRE(mutex)
        : m_mutex(mutex)
    {
        m_mutex.lock();
    }
    ~MutexLock() RELEASE() { m_mutex.unlock(); }
    MutexLock(const MutexLock &) = delete;
    MutexLock &operator=(const MutexLock &) = delete;

private:
    Mutex &m_mutex;
};

} // namespace qs

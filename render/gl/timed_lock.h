#pragma once
// A list lock taken with a time limit. A wait past the limit is logged and
// then goes on: changing a list without its lock could corrupt it while a
// frame walks it, so the lock is always held in the end.

#include <chrono>
#include <mutex>

#include "core/log.h"

class TimedListLock {
public:
    TimedListLock(std::timed_mutex& mutex, std::chrono::milliseconds limit, const char* list)
        : mutex_(mutex)
    {
        // Against the system clock: that wait is pthread_mutex_timedlock,
        // which ThreadSanitizer follows. The steady clock's wait is a call
        // it does not see, and every later unlock would then look wrong.
        if (!mutex_.try_lock_until(std::chrono::system_clock::now() + limit)) {
            Log("waiting past ", limit.count(), " ms for the ", list, " lock");
            mutex_.lock();
        }
    }
    ~TimedListLock() { mutex_.unlock(); }
    TimedListLock(const TimedListLock&) = delete;
    TimedListLock& operator=(const TimedListLock&) = delete;

private:
    std::timed_mutex& mutex_;
};

#pragma once

#include <mutex>

namespace Kavo
{

// A re-entrant lock: the thread that holds it may enter again, and must leave as often.
class CriticalSection
{
public:
    void Enter() { mMutex.lock(); }
    bool TryEnter() { return mMutex.try_lock(); }
    void Leave() { mMutex.unlock(); }

    // For std::lock_guard and friends.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mMutex;
};

} // namespace Kavo

#pragma once

#include <string>

// The single-instance guard. The first program holds a lock file in the runtime folder and
// listens on a local socket; a second start finds the lock held, sends a wake-up through the
// socket and exits, and the first one learns of it by polling.
namespace platform
{

class InstanceGuard
{
public:
    // name: the guard's name (the product name and a suffix); folder: where the lock file
    // lives, by default $XDG_RUNTIME_DIR or else /tmp.
    explicit InstanceGuard(std::string name, std::string folder = {});
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // True when this process is the first (it then holds the lock until destroyed); false when
    // another process holds it. A lock file that cannot be made counts as first (nothing to
    // guard against is better than refusing to start).
    bool Acquire();
    // From a second instance: wakes the first; true when the wake-up was delivered.
    bool NotifyFirst();
    // In the first instance: true once for each wake-up received since the last call.
    bool PollNotification();

    const std::string& LockPath() const { return mLockPath; }

private:
    std::string mLockPath;
    std::string mSocketName;
    int mLockFd = -1;
    int mListenFd = -1;
};

} // namespace platform

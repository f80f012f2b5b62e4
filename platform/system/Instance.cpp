#include "platform/system/Instance.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform
{

namespace
{

std::string DefaultFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? runtime : "/tmp";
}

// An address in the abstract socket namespace (no file to clean up), derived from the lock path.
socklen_t MakeAddress(const std::string& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
}

} // namespace

InstanceGuard::InstanceGuard(std::string name, std::string folder)
{
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    if (folder.empty()) folder = DefaultFolder();
    if (folder.back() != '/') folder += '/';
    mLockPath = folder + name + ".lock";
    mSocketName = "kavo-" + std::to_string(std::hash<std::string>()(mLockPath)) + "-" + name;
}

InstanceGuard::~InstanceGuard()
{
    if (mListenFd >= 0) ::close(mListenFd);
    if (mLockFd >= 0) ::close(mLockFd); // releases the lock
}

bool InstanceGuard::Acquire()
{
    if (mLockFd >= 0) return true;
    int fd = ::open(mLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        ::close(fd);
        return false;
    }
    mLockFd = fd;
    mListenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (mListenFd >= 0)
    {
        sockaddr_un address;
        socklen_t length = MakeAddress(mSocketName, address);
        if (::bind(mListenFd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(mListenFd, 4) != 0)
        {
            ::close(mListenFd);
            mListenFd = -1;
        }
    }
    return true;
}

bool InstanceGuard::NotifyFirst()
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    socklen_t length = MakeAddress(mSocketName, address);
    bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                ::send(fd, "N", 1, MSG_NOSIGNAL) == 1;
    ::close(fd);
    return sent;
}

bool InstanceGuard::PollNotification()
{
    if (mListenFd < 0) return false;
    // A knock waits as a readable listening socket; asking poll first spares the kernel a new
    // socket that every accept of an empty queue makes and throws away.
    pollfd listening{mListenFd, POLLIN, 0};
    if (::poll(&listening, 1, 0) <= 0 || !(listening.revents & POLLIN)) return false;
    bool woken = false;
    for (;;)
    {
        int client = ::accept4(mListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) break;
        woken = true;
        ::close(client);
    }
    return woken;
}

} // namespace platform

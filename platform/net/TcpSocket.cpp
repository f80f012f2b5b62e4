#include "platform/net/TcpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform
{

namespace
{

std::mutex gResolverLock;
HostResolver gResolver;

bool SystemResolve(const std::string& host, uint32_t& address)
{
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    bool ok = false;
    for (addrinfo* entry = found; entry && !ok; entry = entry->ai_next)
    {
        if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
        address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
        ok = true;
    }
    freeaddrinfo(found);
    return ok;
}

} // namespace

bool TcpSocket::Open()
{
    Close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    return mFd >= 0;
}

void TcpSocket::Close()
{
    if (mFd >= 0) close(mFd);
    mFd = -1;
}

TcpSocket::ConnectStart TcpSocket::Connect(uint32_t address, uint16_t port)
{
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    if (connect(mFd, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0)
        return ConnectStart::Connected;
    return errno == EINPROGRESS || errno == EINTR ? ConnectStart::InProgress : ConnectStart::Failed;
}

bool TcpSocket::ConnectFailed() const
{
    int failure = 0;
    socklen_t length = sizeof(failure);
    return getsockopt(mFd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0 || failure != 0;
}

TcpSocket::Readiness TcpSocket::Wait(bool read, bool write, int timeoutMs) const
{
    Readiness readiness;
    pollfd entry = {};
    entry.fd = mFd;
    entry.events = short((read ? POLLIN : 0) | (write ? POLLOUT : 0));
    int result = poll(&entry, 1, timeoutMs);
    if (result < 0)
    {
        readiness.waitFailed = errno != EINTR;
        return readiness;
    }
    if (result == 0) return readiness;
    readiness.readable = (entry.revents & POLLIN) != 0;
    readiness.writable = (entry.revents & POLLOUT) != 0;
    readiness.error = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    return readiness;
}

long TcpSocket::Send(const void* data, size_t count)
{
    ssize_t sent = send(mFd, data, count, MSG_NOSIGNAL);
    return sent > 0 ? long(sent) : -1;
}

long TcpSocket::Receive(void* data, size_t count)
{
    ssize_t got = recv(mFd, data, count, 0);
    return got >= 0 ? long(got) : -1;
}

void TcpSocket::Reset()
{
    if (mFd < 0) return;
    linger abrupt = {1, 0};
    setsockopt(mFd, SOL_SOCKET, SO_LINGER, &abrupt, sizeof(abrupt));
    Close();
}

bool TcpSocket::Listen(uint16_t port)
{
    if (!Open()) return false;
    int reuse = 1;
    setsockopt(mFd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(mFd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0 || listen(mFd, 16) != 0)
    {
        Close();
        return false;
    }
    return true;
}

uint16_t TcpSocket::LocalPort() const
{
    sockaddr_in local = {};
    socklen_t length = sizeof(local);
    if (getsockname(mFd, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

bool TcpSocket::Accept(TcpSocket& connection, int timeoutMs)
{
    if (!Wait(true, false, timeoutMs).readable) return false;
    int fd = accept4(mFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return false;
    connection.Close();
    connection.mFd = fd;
    return true;
}

bool ParseIPv4(const std::string& text, uint32_t& address)
{
    in_addr parsed;
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

bool ResolveHost(const std::string& host, uint32_t& address)
{
    HostResolver resolver;
    {
        std::lock_guard<std::mutex> guard(gResolverLock);
        resolver = gResolver;
    }
    return resolver ? resolver(host, address) : SystemResolve(host, address);
}

void SetHostResolver(HostResolver resolver)
{
    std::lock_guard<std::mutex> guard(gResolverLock);
    gResolver = std::move(resolver);
}

} // namespace platform

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The network module: IPv4 TCP connections for the HTTP client. Sockets are non-blocking from
// the start and a send never raises SIGPIPE; waiting is done with poll, so any descriptor
// number works.
namespace platform
{

class TcpSocket
{
public:
    TcpSocket() = default;
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Makes the socket; false when the system gives none.
    bool Open();
    void Close();
    bool IsOpen() const { return mFd >= 0; }

    enum class ConnectStart
    {
        Connected,  // done at once
        InProgress, // wait until writable, then ask ConnectFailed
        Failed,
    };
    // address: IPv4 in host order.
    ConnectStart Connect(uint32_t address, uint16_t port);
    // After a connect in progress: true when it failed.
    bool ConnectFailed() const;

    struct Readiness
    {
        bool readable = false;
        bool writable = false;
        // The socket reported an error or a hang-up (a refused connect, a reset).
        bool error = false;
        // poll itself failed.
        bool waitFailed = false;
    };
    // Waits at most timeoutMs for the asked readiness or an error.
    Readiness Wait(bool read, bool write, int timeoutMs) const;

    // Bytes sent (> 0), or -1 on failure (a reset or a full buffer alike).
    long Send(const void* data, size_t count);
    // Bytes received (> 0), 0 when the peer closed, -1 on failure or when nothing is there yet.
    long Receive(void* data, size_t count);
    // Closes with a reset instead of an orderly close.
    void Reset();

    // A listening socket on 127.0.0.1 (tests' loopback servers). port 0 takes a free port.
    bool Listen(uint16_t port);
    // The local port of the socket.
    uint16_t LocalPort() const;
    // Waits at most timeoutMs for a connection; false when none came.
    bool Accept(TcpSocket& connection, int timeoutMs);

private:
    int mFd = -1;
};

// A dotted IPv4 address ("127.0.0.1") in host order; false for anything else.
bool ParseIPv4(const std::string& text, uint32_t& address);

// Name lookup: the host's first IPv4 address in host order; false when it does not resolve.
// Tests replace the lookup; an empty function restores the system's.
using HostResolver = std::function<bool(const std::string& host, uint32_t& address)>;
bool ResolveHost(const std::string& host, uint32_t& address);
void SetHostResolver(HostResolver resolver);

} // namespace platform

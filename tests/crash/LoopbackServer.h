#pragma once

// A scripted HTTP server for the tests on 127.0.0.1 and a free port. Each accepted connection
// runs the next script; the server takes at most as many connections as it has scripts, gives
// up 20 seconds after it started, and stops by itself.
#include "platform/net/TcpSocket.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace crashtest
{

class LoopbackServer
{
public:
    struct Step
    {
        enum Kind
        {
            ReadRequest, // headers, then as many body bytes as Content-Length says
            ReadBytes,   // at least count bytes
            Send,        // data, whole
            Pause,       // ms milliseconds, to send the next piece apart
            Hold,        // until Release (or the server gives up)
            Close,       // orderly
            Reset,       // abortive: the client sees a reset
        } kind;
        std::string data;
        size_t count = 0;
        int ms = 0;
    };
    using Script = std::vector<Step>;

    static Step ReadRequest() { return {Step::ReadRequest, "", 0, 0}; }
    static Step ReadBytes(size_t count) { return {Step::ReadBytes, "", count, 0}; }
    static Step Send(std::string data) { return {Step::Send, std::move(data), 0, 0}; }
    static Step Pause(int ms) { return {Step::Pause, "", 0, ms}; }
    static Step Hold() { return {Step::Hold, "", 0, 0}; }
    static Step Close() { return {Step::Close, "", 0, 0}; }
    static Step Reset() { return {Step::Reset, "", 0, 0}; }

    explicit LoopbackServer(std::vector<Script> scripts);
    ~LoopbackServer();

    // "127.0.0.1:<port>"
    std::string Address() const;
    // Ends a Hold.
    void Release();
    // Requests read whole so far.
    size_t RequestsRead()
    {
        std::lock_guard<std::mutex> guard(mLock);
        return mRequestsRead;
    }
    // Waits (at most 15 seconds) until count requests have been read whole.
    bool WaitForRequests(size_t count);
    // Waits until every script has run (or the server gave up) and returns what each
    // connection received, in order.
    std::vector<std::string> Finish();

private:
    void Run();
    bool RunStep(platform::TcpSocket& connection, const Step& step, std::string& received);
    bool Expired() const { return mStopping || std::chrono::steady_clock::now() >= mDeadline; }

    std::vector<Script> mScripts;
    platform::TcpSocket mListener;
    uint16_t mPort = 0;
    std::chrono::steady_clock::time_point mDeadline;
    std::mutex mLock;
    std::condition_variable mReleased;
    bool mRelease = false;
    size_t mRequestsRead = 0;
    std::atomic<bool> mStopping{false};
    std::vector<std::string> mReceived;
    std::thread mThread;
};

} // namespace crashtest

#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace platform
{
class TcpSocket;
}

namespace Kavo
{

// A small HTTP/1.1 client: sends one complete request text, built by the caller, over a TCP
// connection on a worker thread of its own and collects the response body. The caller polls
// GetResult; nothing blocks on the network but the worker.
//
// While the application records a demo, every change of the result a poll sees is written as
// demo event 18 (transfer id, result, content); while it plays one back, no connection is
// made and the results come from those events.
//
// Threads: the worker writes the content, then publishes the result (release); a caller that
// reads a final result (acquire) may then read the content. The flags are atomics.
class HTTPTransfer
{
public:
    enum Result
    {
        kFinished = 0,
        kIdle = 1,
        kInProgress = 2,
        kNotFound = 3,  // status "404"
        kBadStatus = 4, // any status but "200" and "404", or a status line too short to hold one
        kAborted = 5,
        kSocketError = 6, // no socket, waiting failed, the socket reported an error, or a
                          // response larger than kMaxResponseBytes
        kHostNotFound = 7,
        kConnectFailed = 8,
        kSendFailed = 9,
    };

    // The most a response may bring (headers and body).
    static constexpr size_t kMaxResponseBytes = 16u << 20;
    // The most content bytes a demo event keeps (a demo string's limit).
    static constexpr size_t kMaxDemoContentBytes = 32767;

    HTTPTransfer();
    virtual ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    // Resets, splits url into host, port and path, and starts sending request (complete:
    // request line, headers, empty line and body).
    void SendRequest(const std::string& url, const std::string& request);
    void ParseURL(const std::string& url);
    void StartTransfer();
    // Asks a running worker to stop; it then ends with kAborted.
    void Abort();
    // Back to idle, after stopping and waiting for a running worker.
    void Reset();
    // The demo step, then the result.
    int GetResult();
    // Polls every 20 ms (with the demo step) until the worker has finished.
    void WaitFinished();
    void UpdateStatus();

    // Read once the result is final.
    const std::string& GetContent() const { return mContent; }
    int GetTransferId() const { return mTransferId; }
    const std::string& GetProtocol() const { return mProtocol; }
    const std::string& GetHost() const { return mHost; }
    int GetPort() const { return mPort; }
    const std::string& GetPath() const { return mPath; }
    int GetAnnouncedLength() const { return mAnnouncedLength; }

private:
    void Fail(int code);
    bool WaitForSocket(bool read, bool write);
    void ThreadProc();
    void ReceiveResponse();
    void JoinWorker();

    int mTransferId = 0;
    platform::TcpSocket* mSocket = nullptr;
    std::string mRequest;
    std::string mURL;
    std::string mProtocol;
    std::string mHost;
    int mPort = 0;
    std::string mPath;
    int mAnnouncedLength = 0;
    std::string mContent;
    std::atomic<bool> mBusy{false};
    std::atomic<bool> mThreadRunning{false};
    std::atomic<bool> mStop{false};
    std::atomic<bool> mAborted{false};
    std::atomic<int> mResult{kIdle};
    int mLastReportedResult = kIdle;
    std::thread mWorker;
};

// The process's one HTTP client.
extern HTTPTransfer gHTTPTransfer;

} // namespace Kavo

#include "crash/HTTPTransfer.h"

#include "app/KavoAppBase.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "platform/net/TcpSocket.h"
#include "platform/system/Clock.h"

#include <algorithm>
#include <chrono>

namespace Kavo
{

HTTPTransfer gHTTPTransfer;

namespace
{

// Every request takes two ids (one in Reset, one in ParseURL).
std::atomic<int> gNextTransferId{1};

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

HTTPTransfer::HTTPTransfer() : mTransferId(gNextTransferId++) {}

HTTPTransfer::~HTTPTransfer()
{
    Abort();
    // The clock object may already be gone at exit: a plain sleep.
    while (mThreadRunning)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    JoinWorker();
}

void HTTPTransfer::SendRequest(const std::string& url, const std::string& request)
{
    ParseURL(url);
    mRequest = request;
    StartTransfer();
}

void HTTPTransfer::ParseURL(const std::string& url)
{
    Reset();
    mTransferId = gNextTransferId++;
    mURL = url;
    mStop = false;
    mAborted = false;
    mResult = kInProgress;
    mContent.clear();
    mAnnouncedLength = 0;
    mPort = 80;

    size_t hostStart = 0;
    size_t slashes = url.find("//");
    if (slashes != std::string::npos)
    {
        mProtocol = slashes == 0 ? url : url.substr(0, slashes - 1);
        hostStart = slashes + 2;
    }
    size_t pathStart = url.find('/', hostStart);
    if (pathStart != std::string::npos)
    {
        mHost = url.substr(hostStart, pathStart - hostStart);
        mPath = url.substr(pathStart);
    }
    else
    {
        mHost = url.substr(hostStart);
        mPath = "/";
    }
    size_t colon = mHost.find(':');
    if (colon != std::string::npos)
    {
        mPort = StringToIntBase10(mHost.substr(colon + 1));
        mHost.resize(colon);
    }
}

void HTTPTransfer::StartTransfer()
{
    mBusy = true;
    KavoAppBase* app = gKavoApp;
    if (app && app->mPlayingDemo) return;
    JoinWorker();
    mThreadRunning = true;
    mWorker = std::thread(&HTTPTransfer::ThreadProc, this);
}

void HTTPTransfer::Abort()
{
    mAborted = true;
    mStop = true;
}

void HTTPTransfer::Reset()
{
    if (mThreadRunning)
    {
        Abort();
        WaitFinished();
    }
    JoinWorker();
    mTransferId = gNextTransferId++;
    mResult = kIdle;
    mLastReportedResult = kIdle;
    mContent.clear();
    mURL.clear();
    mRequest.clear();
    mPath.clear();
    mStop = false;
    mAborted = false;
}

int HTTPTransfer::GetResult()
{
    UpdateStatus();
    return mResult.load(std::memory_order_acquire);
}

void HTTPTransfer::WaitFinished()
{
    while (mBusy)
    {
        UpdateStatus();
        platform::Clock::Get().Sleep(20);
    }
}

void HTTPTransfer::UpdateStatus()
{
    KavoAppBase* app = gKavoApp;
    if (!app) return;
    Buffer& demo = app->mDemo.mBuffer;
    if (app->mPlayingDemo)
    {
        if (!app->ReadDemoEventHeader()) return;
        if (app->mDemo.PendingIsShort() || app->mDemo.PendingType() != DemoStream::kHttpResult) return;
        int64_t idStart = demo.GetReadBitPos();
        if (demo.ReadLong() != mTransferId)
        {
            demo.SetReadBitPos(idStart);
            return;
        }
        int result = demo.ReadByte();
        mContent = demo.ReadString();
        mLastReportedResult = result;
        mResult.store(result, std::memory_order_release);
        app->mDemo.TakeHeader();
        return;
    }
    if (!app->mRecordingDemo) return;
    int result = mResult.load(std::memory_order_acquire);
    if (result == mLastReportedResult) return;
    app->WriteDemoEventHeader();
    demo.WriteNumBits(0, 1);
    demo.WriteNumBits(DemoStream::kHttpResult, 5);
    demo.WriteLong(mTransferId);
    demo.WriteByte(uint8_t(result));
    // A demo string holds at most kMaxDemoContentBytes: a longer body is kept cut.
    demo.WriteString(result == kInProgress ? std::string() : mContent.substr(0, kMaxDemoContentBytes));
    mLastReportedResult = result;
}

void HTTPTransfer::Fail(int code)
{
    mResult.store(code, std::memory_order_release);
    mStop = true;
}

bool HTTPTransfer::WaitForSocket(bool read, bool write)
{
    for (;;)
    {
        if (mStop) return true;
        platform::TcpSocket::Readiness ready = mSocket->Wait(read, write, 100);
        // Waiting to write, an error is a failed connect or a reset; waiting to read, the
        // receive that follows tells the end.
        if (ready.waitFailed || (ready.error && !read))
        {
            Fail(kSocketError);
            return false;
        }
        if (ready.readable || ready.writable || ready.error) return true;
    }
}

void HTTPTransfer::ThreadProc()
{
    platform::TcpSocket socket;
    mSocket = &socket;
    do
    {
        if (!socket.Open())
        {
            Fail(kSocketError);
            break;
        }
        if (mStop) break;
        // A dotted address is used as it is; all ones is no address.
        uint32_t address = 0;
        if (!platform::ParseIPv4(mHost, address) || address == 0xFFFFFFFF)
        {
            if (!platform::ResolveHost(mHost, address) || address == 0xFFFFFFFF)
            {
                Fail(kHostNotFound);
                break;
            }
        }
        platform::TcpSocket::ConnectStart start = socket.Connect(address, uint16_t(mPort));
        if (start != platform::TcpSocket::ConnectStart::Connected)
        {
            if (start == platform::TcpSocket::ConnectStart::Failed) Fail(kConnectFailed);
            if (!WaitForSocket(false, true) || (!mStop && socket.ConnectFailed())) Fail(kConnectFailed);
        }
        size_t sent = 0;
        while (sent < mRequest.size())
        {
            if (mStop) break;
            WaitForSocket(false, true);
            long count = socket.Send(mRequest.data() + sent, mRequest.size() - sent);
            if (count > 0)
                sent += size_t(count);
            else
                Fail(kSendFailed);
        }
        mRequest.erase(0, sent);
        if (mStop) break;
        ReceiveResponse();
    } while (false);
    socket.Close();
    mSocket = nullptr;
    if (mAborted)
        Fail(kAborted);
    else
    {
        int expected = kInProgress;
        mResult.compare_exchange_strong(expected, kFinished, std::memory_order_release);
    }
    mThreadRunning = false;
    mBusy = false;
}

void HTTPTransfer::ReceiveResponse()
{
    // Every position below counts into received; pos may pass its end by the two bytes of a
    // chunk's line end that have not arrived yet, so lengths are taken as signed differences.
    std::string received;
    size_t pos = 0;
    size_t lastPos = 0;
    size_t searchFrom = 0; // the line-end search goes on where the last one stopped
    bool headersDone = false;
    bool chunked = false;
    int64_t chunkLeft = 0;
    int64_t contentLeft = 0;
    auto available = [&]() { return int64_t(received.size()) - int64_t(pos); };
    auto findLineEnd = [&]() -> size_t
    {
        size_t from = std::max(pos, searchFrom);
        if (from >= received.size()) return std::string::npos;
        size_t end = received.find("\r\n", from);
        searchFrom = end == std::string::npos ? std::max(pos, received.size() - 1) : end + 2;
        return end;
    };

    for (;;)
    {
        if (pos == lastPos)
        {
            WaitForSocket(true, false);
            char buffer[256];
            long count = mSocket->Receive(buffer, sizeof(buffer));
            if (count <= 0) break;
            if (received.size() + size_t(count) > kMaxResponseBytes)
            {
                Fail(kSocketError);
                break;
            }
            received.append(buffer, size_t(count));
        }
        lastPos = pos;

        if (!headersDone)
        {
            size_t end = findLineEnd();
            if (end != std::string::npos)
            {
                std::string line = received.substr(pos, end - pos);
                pos = end + 2;
                searchFrom = pos;
                if (StartsWith(line, "HTTP/1."))
                {
                    // A status line too short to hold a status reads as a failure.
                    std::string status = line.size() >= 9 ? line.substr(9, 3) : std::string();
                    if (status == "404")
                        Fail(kNotFound);
                    else if (status != "200")
                        Fail(kBadStatus);
                }
                if (line == "Transfer-Encoding: chunked") chunked = true;
                if (StartsWith(line, "Transfer-Encoding: ") && line.substr(19) != "identity") chunked = true;
                if (StartsWith(line, "Content-Length: "))
                    contentLeft = mAnnouncedLength = StringToIntBase10(line.substr(16));
                if (line.empty()) headersDone = true;
            }
        }
        else if (chunked)
        {
            if (chunkLeft == 0)
            {
                size_t end = findLineEnd();
                if (end != std::string::npos)
                {
                    int size = 0;
                    if (!StringToInt("0x" + StringTrim(received.substr(pos, end - pos)), size) || size <= 0)
                        break;
                    chunkLeft = size;
                    pos = end + 2;
                    searchFrom = pos;
                }
            }
            int64_t count = std::min(chunkLeft, available());
            if (count > 0)
            {
                mContent.append(received, pos, size_t(count));
                pos += size_t(count);
                chunkLeft -= count;
                if (chunkLeft == 0) pos += 2; // the line end after the data, unseen
            }
        }
        else if (contentLeft > 0)
        {
            int64_t count = std::min(contentLeft, available());
            if (count > 0)
            {
                mContent.append(received, pos, size_t(count));
                pos += size_t(count);
                contentLeft -= count;
                if (contentLeft == 0) break;
            }
        }
        else if (available() > 0)
        {
            mContent.append(received, pos, std::string::npos);
            pos = received.size();
        }
        if (mStop) break;
    }
}

void HTTPTransfer::JoinWorker()
{
    if (mWorker.joinable() && !mThreadRunning) mWorker.join();
}

} // namespace Kavo

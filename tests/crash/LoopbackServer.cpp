#include "LoopbackServer.h"

#include <gtest/gtest.h>

namespace crashtest
{

namespace
{

constexpr int kStepWaitMs = 50;

} // namespace

LoopbackServer::LoopbackServer(std::vector<Script> scripts)
    : mScripts(std::move(scripts)), mDeadline(std::chrono::steady_clock::now() + std::chrono::seconds(20))
{
    EXPECT_TRUE(mListener.Listen(0));
    mPort = mListener.LocalPort();
    mThread = std::thread(&LoopbackServer::Run, this);
}

LoopbackServer::~LoopbackServer()
{
    mStopping = true;
    Release();
    if (mThread.joinable()) mThread.join();
}

std::string LoopbackServer::Address() const
{
    return "127.0.0.1:" + std::to_string(mPort);
}

void LoopbackServer::Release()
{
    std::lock_guard<std::mutex> guard(mLock);
    mRelease = true;
    mReleased.notify_all();
}

bool LoopbackServer::WaitForRequests(size_t count)
{
    std::unique_lock<std::mutex> guard(mLock);
    return mReleased.wait_for(guard, std::chrono::seconds(15), [&] { return mRequestsRead >= count; });
}

std::vector<std::string> LoopbackServer::Finish()
{
    if (mThread.joinable()) mThread.join();
    return mReceived;
}

void LoopbackServer::Run()
{
    for (const Script& script : mScripts)
    {
        platform::TcpSocket connection;
        bool accepted = false;
        while (!accepted && !Expired())
            accepted = mListener.Accept(connection, kStepWaitMs);
        if (!accepted) return;
        std::string received;
        for (const Step& step : script)
            if (!RunStep(connection, step, received)) break;
        mReceived.push_back(received);
    }
}

bool LoopbackServer::RunStep(platform::TcpSocket& connection, const Step& step, std::string& received)
{
    auto readUntil = [&](auto done)
    {
        char buffer[4096];
        while (!done() && !Expired())
        {
            if (!connection.Wait(true, false, kStepWaitMs).readable) continue;
            long count = connection.Receive(buffer, sizeof(buffer));
            if (count <= 0) return false;
            received.append(buffer, size_t(count));
        }
        return done();
    };
    switch (step.kind)
    {
    case Step::ReadRequest:
    {
        size_t start = received.size();
        auto complete = [&]
        {
            size_t end = received.find("\r\n\r\n", start);
            if (end == std::string::npos) return false;
            size_t length = 0;
            size_t field = received.find("Content-Length: ", start);
            if (field != std::string::npos && field < end) length = std::stoul(received.substr(field + 16));
            return received.size() >= end + 4 + length;
        };
        if (!readUntil(complete)) return false;
        std::lock_guard<std::mutex> guard(mLock);
        ++mRequestsRead;
        mReleased.notify_all();
        return true;
    }
    case Step::ReadBytes:
    {
        size_t target = received.size() + step.count;
        return readUntil([&] { return received.size() >= target; });
    }
    case Step::Send:
    {
        size_t sent = 0;
        while (sent < step.data.size() && !Expired())
        {
            if (!connection.Wait(false, true, kStepWaitMs).writable) continue;
            long count = connection.Send(step.data.data() + sent, step.data.size() - sent);
            if (count <= 0) return false;
            sent += size_t(count);
        }
        return sent == step.data.size();
    }
    case Step::Pause:
        std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
        return true;
    case Step::Hold:
    {
        std::unique_lock<std::mutex> guard(mLock);
        mReleased.wait_until(guard, mDeadline, [&] { return mRelease; });
        return true;
    }
    case Step::Close:
        connection.Close();
        return false;
    case Step::Reset:
        connection.Reset();
        return false;
    }
    return false;
}

} // namespace crashtest

#pragma once

#include "../ScratchNames.h"
#include "crash/HTTPTransfer.h"
#include "platform/files/Files.h"

#include <chrono>
#include <string>
#include <thread>

namespace crashtest
{

// Polls the transfer until its result is final (neither idle nor in progress), then waits for
// its worker to end and returns the result it ended with; -1 when no result comes within 15
// seconds. A failure the worker records may still be replaced before it ends (a failed wait's
// socket error by the failed connect or send that follows it), so the first one a poll sees is
// not yet the last.
inline int WaitForFinalResult(Kavo::HTTPTransfer& transfer)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline)
    {
        int result = transfer.GetResult();
        if (result != Kavo::HTTPTransfer::kIdle && result != Kavo::HTTPTransfer::kInProgress)
        {
            transfer.WaitFinished();
            return transfer.GetResult();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

// The running test's own folder, made afresh, is the working folder while this lives (the
// crash report reads and writes there).
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& prefix)
        : mPrevious(platform::CurrentFolder()),
          mPath(platform::CurrentFolder() + scratch::FreshFolder(prefix))
    {
        platform::SetCurrentFolder(mPath);
    }
    ~ScratchFolder() { platform::SetCurrentFolder(mPrevious); }
    const std::string& Path() const { return mPath; }

private:
    std::string mPrevious;
    std::string mPath;
};

inline std::string ReadText(const std::string& path)
{
    std::string text;
    platform::ReadFile(path, text);
    return text;
}

} // namespace crashtest

#pragma once

#include "../ScratchNames.h"
#include "crash/HTTPTransfer.h"
#include "platform/files/Files.h"

#include <chrono>
#include <string>
#include <thread>

namespace crashtest
{

// Polls the transfer until its result is final (neither idle nor in progress); -1 when that
// does not happen within 15 seconds.
inline int WaitForFinalResult(Kavo::HTTPTransfer& transfer)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline)
    {
        int result = transfer.GetResult();
        if (result != Kavo::HTTPTransfer::kIdle && result != Kavo::HTTPTransfer::kInProgress) return result;
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

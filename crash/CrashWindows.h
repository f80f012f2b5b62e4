#pragma once

#include "crash/CrashWindowHost.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace Kavo
{

class HTTPTransfer;

// The crash windows as a state machine over a CrashWindowHost, polled like timers: while the
// progress window is up, the transfer's result every 20 ms and the status dots every 1000 ms,
// both measured on platform::Clock (tests install a fake one).
//
// | state     | shown                              | event                                  | to        |
// |-----------|------------------------------------|----------------------------------------|-----------|
// | Error     | error window                       | Close Now, or the window closed        | Done      |
// | Error     |                                    | Send Report                            | Details   |
// | Details   | details window (error hidden)      | Abort, or the window closed            | Done      |
// | Details   |                                    | Continue: user text kept, upload begun | Uploading |
// | Uploading | progress window (details hidden)   | result 0 (sent) or 5 (aborted)         | Done      |
// | Uploading |                                    | Abort, or the window closed: the       | Uploading |
// |           |                                    | transfer is asked to stop (it ends 5)  |           |
// | Uploading |                                    | any other final result: transfer reset | RetryBox  |
// | RetryBox  | retry box over the progress window | Retry: a new upload                    | Uploading |
// | RetryBox  |                                    | Cancel, or the box closed              | Done      |
//
// Events from a window other than the current state's are ignored; polling and dots go on
// while the retry box is up (the poll then sees an idle transfer).
class CrashWindows
{
public:
    enum class State
    {
        Error,
        Details,
        Uploading,
        RetryBox,
        Done,
    };

    // startUpload runs on a thread of its own for each upload (Continue, Retry).
    CrashWindows(CrashWindowHost& host, HTTPTransfer& transfer, std::function<void()> startUpload);
    ~CrashWindows();
    CrashWindows(const CrashWindows&) = delete;
    CrashWindows& operator=(const CrashWindows&) = delete;

    // Shows the error window and runs until CrashHandler::WindowsDone; the user's text goes to
    // CrashHandler::UserText (at most 8191 characters), the dots count CrashHandler::DotCount.
    // offerSend: a report server is set; haveApplication: sending can be started.
    void Run(const std::string& report, bool offerSend, bool haveApplication);
    State GetState() const { return mState; }

    // "Please Wait" followed by dots mod 10 times " .".
    static std::string StatusText(int dots);

private:
    void Handle(const CrashWindowHost::Event& event);
    void Poll();
    void StartUpload();

    CrashWindowHost& mHost;
    HTTPTransfer& mTransfer;
    std::function<void()> mStartUpload;
    std::thread mUpload;
    State mState = State::Error;
    bool mCanSend = false;
};

} // namespace Kavo

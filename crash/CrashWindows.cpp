#include "crash/CrashWindows.h"

#include "base/StringUtils.h"
#include "crash/CrashHandler.h"
#include "crash/HTTPTransfer.h"
#include "platform/system/Clock.h"

namespace Kavo
{

namespace
{

constexpr uint32_t kPollMs = 20;
constexpr uint32_t kDotsMs = 1000;
// The details window's text box keeps 8191 characters.
constexpr size_t kMaxUserText = 8191;

bool Due(uint32_t now, uint32_t at)
{
    return int32_t(now - at) >= 0;
}

} // namespace

CrashWindows::CrashWindows(CrashWindowHost& host, HTTPTransfer& transfer, std::function<void()> startUpload)
    : mHost(host), mTransfer(transfer), mStartUpload(std::move(startUpload))
{
}

CrashWindows::~CrashWindows()
{
    if (mUpload.joinable()) mUpload.join();
}

std::string CrashWindows::StatusText(int dots)
{
    std::string text = "Please Wait";
    for (int i = 0; i < dots % 10; ++i)
        text += " .";
    return text;
}

void CrashWindows::Run(const std::string& report, bool offerSend, bool haveApplication)
{
    CrashHandler::WindowsDone = false;
    mCanSend = offerSend && haveApplication;
    mState = State::Error;
    mHost.ShowErrorWindow(WideToString(CrashHandler::ErrorIntroText), report, offerSend, haveApplication);

    platform::Clock& clock = platform::Clock::Get();
    bool timers = false;
    uint32_t nextPoll = 0, nextDots = 0;
    while (!CrashHandler::WindowsDone)
    {
        uint32_t now = clock.Ticks();
        uint32_t wait = kDotsMs;
        if (timers)
        {
            uint32_t untilPoll = Due(now, nextPoll) ? 0 : nextPoll - now;
            uint32_t untilDots = Due(now, nextDots) ? 0 : nextDots - now;
            wait = std::min(untilPoll, untilDots);
        }
        CrashWindowHost::Event event = mHost.WaitEvent(wait);
        if (event.button != CrashWindowHost::Button::None) Handle(event);
        if (CrashHandler::WindowsDone) break;

        if (!timers && mState == State::Uploading)
        {
            // The progress window's timers start with it.
            timers = true;
            nextPoll = clock.Ticks() + kPollMs;
            nextDots = clock.Ticks() + kDotsMs;
            continue;
        }
        if (!timers) continue;
        now = clock.Ticks();
        if (Due(now, nextPoll))
        {
            nextPoll = now + kPollMs;
            Poll();
        }
        if (Due(now, nextDots) && !CrashHandler::WindowsDone)
        {
            nextDots += kDotsMs;
            ++CrashHandler::DotCount;
            mHost.SetStatusText(StatusText(CrashHandler::DotCount));
        }
    }
    mState = State::Done;
    mHost.CloseAll();
    if (mUpload.joinable()) mUpload.join();
}

void CrashWindows::Handle(const CrashWindowHost::Event& event)
{
    using Button = CrashWindowHost::Button;
    using Window = CrashWindowHost::Window;
    switch (mState)
    {
    case State::Error:
        if (event.window != Window::Error) return;
        if (event.button == Button::Accept)
        {
            if (!mCanSend) return;
            mHost.HideWindow(Window::Error);
            mHost.ShowDetailsWindow(WideToString(CrashHandler::DetailsIntroText), mCanSend);
            mState = State::Details;
        }
        else
            CrashHandler::WindowsDone = true;
        break;
    case State::Details:
        if (event.window != Window::Details) return;
        if (event.button == Button::Accept)
        {
            if (!mCanSend) return;
            mHost.HideWindow(Window::Details);
            CrashHandler::UserText = mHost.GetUserText().substr(0, kMaxUserText);
            mHost.ShowProgressWindow(StatusText(0));
            mState = State::Uploading;
            StartUpload();
        }
        else
            CrashHandler::WindowsDone = true;
        break;
    case State::Uploading:
        if (event.window == Window::Progress) mTransfer.Abort();
        break;
    case State::RetryBox:
        if (event.window != Window::RetryBox) return;
        if (event.button == Button::Accept)
        {
            mState = State::Uploading;
            StartUpload();
        }
        else
            CrashHandler::WindowsDone = true;
        break;
    case State::Done:
        break;
    }
}

void CrashWindows::Poll()
{
    int result = mTransfer.GetResult();
    if (result == HTTPTransfer::kIdle || result == HTTPTransfer::kInProgress) return;
    if (result == HTTPTransfer::kFinished || result == HTTPTransfer::kAborted)
    {
        CrashHandler::WindowsDone = true;
        return;
    }
    mTransfer.Reset();
    mState = State::RetryBox;
    mHost.ShowRetryBox(WideToString(CrashHandler::ConnectFailedText), "Connection Failed");
}

void CrashWindows::StartUpload()
{
    if (mUpload.joinable()) mUpload.join();
    // Idle until the upload thread has handed over its request: a poll in between must not
    // take an earlier transfer's result for this one's.
    mTransfer.Reset();
    mUpload = std::thread(mStartUpload);
}

} // namespace Kavo

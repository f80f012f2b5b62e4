#pragma once

// The crash windows' back-end for tests: the user's button presses come from a script, time is
// the fake clock's, and every call is written down.
#include "crash/CrashHandler.h"
#include "crash/CrashWindowHost.h"
#include "platform/system/FakeClock.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace crashtest
{

class ScriptedCrashWindowHost : public Kavo::CrashWindowHost
{
public:
    // A press at a time (ms on the fake clock since the host was made) on a window, once its
    // condition (when given) holds.
    struct Press
    {
        uint32_t atMs;
        Button button;
        Window window;
        std::function<bool()> when = {};
    };

    explicit ScriptedCrashWindowHost(platform::FakeClock& clock) : mClock(clock), mStart(clock.Ticks()) {}

    std::deque<Press> presses;
    // Answers to the retry boxes, in turn (Accept: Retry, Cancel: Cancel); each comes 100 ms
    // after its box.
    std::deque<Button> retryAnswers;
    std::string userText;
    // What happened, one line per call: "show error send=1/1", "hide details", "status Please Wait .", ...
    std::vector<std::string> log;
    // The status texts with the fake time they were set at.
    std::vector<std::pair<uint32_t, std::string>> statuses;
    std::string shownReport;

    uint32_t Now() const { return mClock.Ticks() - mStart; }

    void ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                         bool sendEnabled) override
    {
        shownReport = report;
        log.push_back("show error " + intro + " send=" + std::to_string(offerSend) + "/" +
                      std::to_string(sendEnabled));
    }
    void ShowDetailsWindow(const std::string& request, bool continueEnabled) override
    {
        log.push_back("show details " + request + " continue=" + std::to_string(continueEnabled));
    }
    void ShowProgressWindow(const std::string& status) override { log.push_back("show progress " + status); }
    void ShowRetryBox(const std::string& text, const std::string& caption) override
    {
        log.push_back("retry box " + caption + ": " + text);
        if (!retryAnswers.empty())
        {
            presses.push_front(Press{Now() + 100, retryAnswers.front(), Window::RetryBox});
            retryAnswers.pop_front();
        }
    }
    void HideWindow(Window window) override { log.push_back("hide " + std::to_string(int(window))); }
    void SetStatusText(const std::string& status) override { statuses.emplace_back(Now(), status); }
    std::string GetUserText() override { return userText; }
    Event WaitEvent(uint32_t waitMs) override
    {
        // A script that never ends the windows gives up after 20 seconds of real time.
        if (std::chrono::steady_clock::now() - mRealStart > std::chrono::seconds(20))
        {
            log.push_back("gave up");
            Kavo::CrashHandler::WindowsDone = true;
            return Event();
        }
        bool ready = !presses.empty() && (!presses.front().when || presses.front().when());
        if (ready && presses.front().atMs <= Now() + waitMs)
        {
            Press press = presses.front();
            presses.pop_front();
            if (press.atMs > Now()) mClock.Advance(press.atMs - Now());
            return Event{press.button, press.window};
        }
        mClock.Advance(waitMs);
        // The transfer's threads run on real time: they get a turn on each wait.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return Event();
    }
    void CloseAll() override { log.push_back("close all"); }

private:
    platform::FakeClock& mClock;
    uint32_t mStart;
    std::chrono::steady_clock::time_point mRealStart = std::chrono::steady_clock::now();
};

} // namespace crashtest

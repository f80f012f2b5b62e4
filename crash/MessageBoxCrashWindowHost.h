#pragma once

#include "crash/CrashWindowHost.h"
#include "crash/StderrCrashWindowHost.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace Kavo
{

// The crash windows as message boxes on the desktop (platform/window/ChoiceBox.h). The error and
// details windows and the retry box are modal boxes shown when the windows wait for their
// answer; the progress window is a box with "Abort" on a thread of its own, so the transfer
// is polled meanwhile. A box cannot take typed text, change its text or be closed from
// outside: the user's text is empty, the status dots are not shown, and a progress box that
// is no longer wanted stays until it is answered or the process ends. When a box cannot be
// shown at all, the windows go on as StderrCrashWindowHost does.
class MessageBoxCrashWindowHost : public CrashWindowHost
{
public:
    void ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                         bool sendEnabled) override;
    void ShowDetailsWindow(const std::string& request, bool continueEnabled) override;
    void ShowProgressWindow(const std::string& status) override;
    void ShowRetryBox(const std::string& text, const std::string& caption) override;
    void HideWindow(Window window) override;
    void SetStatusText(const std::string&) override {}
    std::string GetUserText() override { return std::string(); }
    Event WaitEvent(uint32_t waitMs) override;
    void CloseAll() override {}

private:
    struct Box
    {
        Window window = Window::Error;
        std::string title;
        std::string text;
        std::vector<std::string> buttons;
        std::vector<Button> answers;
    };
    // Answers of the progress box's thread, which may outlive this object.
    struct Queue
    {
        std::mutex lock;
        std::condition_variable changed;
        std::deque<Event> events;
        bool progressOpen = false;
    };

    std::optional<Box> mPending;
    std::string mIntro;
    std::string mReport;
    StderrCrashWindowHost mStderr;
    std::shared_ptr<Queue> mQueue = std::make_shared<Queue>();
    bool mProgressWanted = false;
};

} // namespace Kavo

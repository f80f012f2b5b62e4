#include "crash/MessageBoxCrashWindowHost.h"

#include "platform/window/ChoiceBox.h"

#include <chrono>
#include <thread>

namespace Kavo
{

void MessageBoxCrashWindowHost::ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                                                bool sendEnabled)
{
    mIntro = intro;
    mReport = report;
    Box box;
    box.window = Window::Error;
    box.title = "Fatal Error!";
    for (char c : intro + "\r\n\r\n" + report)
        if (c != '\r') box.text.push_back(c);
    // A box cannot show a disabled button: without the application, Send Report is left out.
    if (offerSend && sendEnabled)
    {
        box.buttons.push_back("Send Report");
        box.answers.push_back(Button::Accept);
    }
    box.buttons.push_back("Close Now");
    box.answers.push_back(Button::Cancel);
    mPending = box;
}

void MessageBoxCrashWindowHost::ShowDetailsWindow(const std::string& request, bool continueEnabled)
{
    Box box;
    box.window = Window::Details;
    box.title = "Error Details";
    box.text = request;
    if (continueEnabled)
    {
        box.buttons.push_back("Continue");
        box.answers.push_back(Button::Accept);
    }
    box.buttons.push_back("Abort");
    box.answers.push_back(Button::Cancel);
    mPending = box;
}

void MessageBoxCrashWindowHost::ShowRetryBox(const std::string& text, const std::string& caption)
{
    mPending = Box{Window::RetryBox, caption, text, {"Retry", "Cancel"}, {Button::Accept, Button::Cancel}};
}

void MessageBoxCrashWindowHost::ShowProgressWindow(const std::string& status)
{
    mProgressWanted = true;
    std::lock_guard<std::mutex> guard(mQueue->lock);
    if (mQueue->progressOpen) return;
    mQueue->progressOpen = true;
    std::thread(
        [queue = mQueue, status]()
        {
            // Closing the box asks to stop, as its Abort does.
            int answer = platform::ShowChoiceBox("Submitting Report", status, {"Abort"}, 0);
            std::lock_guard<std::mutex> guard(queue->lock);
            queue->progressOpen = false;
            if (answer == 0) queue->events.push_back(Event{Button::Cancel, Window::Progress});
            queue->changed.notify_all();
        })
        .detach();
}

void MessageBoxCrashWindowHost::HideWindow(Window window)
{
    if (window == Window::Progress) mProgressWanted = false;
}

CrashWindowHost::Event MessageBoxCrashWindowHost::WaitEvent(uint32_t waitMs)
{
    if (mPending)
    {
        Box box = *mPending;
        mPending.reset();
        int answer = platform::ShowChoiceBox(box.title, box.text, box.buttons, int(box.buttons.size()));
        if (answer < 0)
        {
            // No box could be shown: the report goes to stderr and the windows close.
            if (box.window == Window::Error) mStderr.ShowErrorWindow(mIntro, mReport, false, false);
            return Event{Button::Cancel, box.window};
        }
        return Event{answer < int(box.answers.size()) ? box.answers[size_t(answer)] : Button::Close, box.window};
    }
    std::unique_lock<std::mutex> guard(mQueue->lock);
    mQueue->changed.wait_for(guard, std::chrono::milliseconds(waitMs), [&] { return !mQueue->events.empty(); });
    if (mQueue->events.empty()) return Event();
    Event event = mQueue->events.front();
    mQueue->events.pop_front();
    if (event.window == Window::Progress && !mProgressWanted) return Event();
    return event;
}

} // namespace Kavo

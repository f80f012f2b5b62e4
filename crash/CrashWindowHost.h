#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// What the crash windows (CrashWindows) need of a window system: three windows and a retry box
// that report their buttons as events. Back-ends: windows of their own on the desktop
// (DesktopCrashWindowHost), plain stderr without a display (StderrCrashWindowHost), and a
// scripted one in the tests. Every call comes from the thread that runs the windows.
class CrashWindowHost
{
public:
    enum class Window
    {
        Error,    // "Fatal Error!": the notice, the report, Send Report and Close Now
        Details,  // "Error Details": the request, the user's text, Continue and Abort
        Progress, // "Submitting Report": the status line and Abort
        RetryBox, // "Connection Failed": Retry and Cancel
    };
    enum class Button
    {
        None,   // nothing happened while waiting
        Accept, // Send Report, Continue, Retry
        Cancel, // Close Now, Abort, Cancel
        Close,  // the window was closed
    };
    struct Event
    {
        Button button = Button::None;
        Window window = Window::Error;
    };

    virtual ~CrashWindowHost() = default;

    // offerSend: Send Report is shown; sendEnabled: it can be pressed.
    virtual void ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                                 bool sendEnabled) = 0;
    virtual void ShowDetailsWindow(const std::string& request, bool continueEnabled) = 0;
    virtual void ShowProgressWindow(const std::string& status) = 0;
    // A modal box over the progress window.
    virtual void ShowRetryBox(const std::string& text, const std::string& caption) = 0;
    virtual void HideWindow(Window window) = 0;
    virtual void SetStatusText(const std::string& status) = 0;
    // What the user typed in the details window.
    virtual std::string GetUserText() = 0;
    // The next button event, waiting at most waitMs (on platform::Clock) for one.
    virtual Event WaitEvent(uint32_t waitMs) = 0;
    // The windows are done: everything shown goes away.
    virtual void CloseAll() = 0;
};

} // namespace Kavo

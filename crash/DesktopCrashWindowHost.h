#pragma once

#include "crash/CrashDialog.h"
#include "crash/CrashWindowHost.h"
#include "crash/StderrCrashWindowHost.h"
#include "platform/window/PrivateDesktop.h"

#include <map>
#include <memory>

namespace Kavo
{

// The crash windows as windows of their own on the desktop (platform/window/PrivateDesktop.h):
// each one's dialog (CrashDialog) is drawn by the program and shown as a picture. They keep to
// the sizes of the crash windows and are made smaller where the screen's work area is smaller,
// are placed inside it, and take the keyboard when they open. The report is on the desktop's
// clipboard while they are open. When the desktop cannot be reached, the windows go on as
// StderrCrashWindowHost does.
class DesktopCrashWindowHost : public CrashWindowHost
{
public:
    // Client sizes and places (within the work area) of the windows.
    static constexpr int kErrorWidth = 400, kErrorHeight = 300, kErrorX = 64, kErrorY = 64;
    static constexpr int kDetailsX = 80, kDetailsY = 80;
    static constexpr int kProgressWidth = 240, kProgressHeight = 64;
    static constexpr int kRetryWidth = 300, kRetryHeight = 100;

    DesktopCrashWindowHost();
    ~DesktopCrashWindowHost() override;

    void ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                         bool sendEnabled) override;
    void ShowDetailsWindow(const std::string& request, bool continueEnabled) override;
    void ShowProgressWindow(const std::string& status) override;
    void ShowRetryBox(const std::string& text, const std::string& caption) override;
    void HideWindow(Window window) override;
    void SetStatusText(const std::string& status) override;
    std::string GetUserText() override;
    Event WaitEvent(uint32_t waitMs) override;
    void CloseAll() override;

    // The area a window of that client size and place takes on a work area: no larger than
    // the work area less a margin, and inside it.
    static platform::PrivateDesktop::Area Place(const platform::PrivateDesktop::Area& work, int x, int y,
                                                int width, int height);

private:
    struct Shown
    {
        int id = 0; // the desktop's window
        std::unique_ptr<CrashDialog> dialog;
    };

    void Open(Window window, const std::string& title, const CrashDialog::Spec& spec, int x, int y, int width,
              int height);
    void Redraw(Window window);
    // The shown window of that desktop window; end() when none.
    std::map<Window, Shown>::iterator ShownOf(int id);

    platform::PrivateDesktop mDesktop;
    std::map<Window, Shown> mShown;
    std::string mUserText;
    bool mOnStderr = false; // the desktop could not be reached
    StderrCrashWindowHost mStderr;
};

} // namespace Kavo

#pragma once

#include "crash/CrashWindowHost.h"

namespace Kavo
{

// The crash windows without a display: the error window's notice and report go to stderr and
// the windows close at once (no one is there to ask for sending).
class StderrCrashWindowHost : public CrashWindowHost
{
public:
    void ShowErrorWindow(const std::string& intro, const std::string& report, bool offerSend,
                         bool sendEnabled) override;
    void ShowDetailsWindow(const std::string&, bool) override {}
    void ShowProgressWindow(const std::string&) override {}
    void ShowRetryBox(const std::string&, const std::string&) override {}
    void HideWindow(Window) override {}
    void SetStatusText(const std::string&) override {}
    std::string GetUserText() override { return std::string(); }
    Event WaitEvent(uint32_t waitMs) override;
    void CloseAll() override {}
};

} // namespace Kavo

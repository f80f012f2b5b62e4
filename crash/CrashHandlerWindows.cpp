// Crash windows: choosing the window host and running the windows.
#include "crash/CrashHandler.h"

#include "app/KavoAppBase.h"
#include "crash/CrashWindows.h"
#include "crash/DesktopCrashWindowHost.h"
#include "crash/HTTPTransfer.h"
#include "crash/StderrCrashWindowHost.h"
#include "platform/window/PrivateDesktop.h"

#include <memory>

namespace Kavo
{

void CrashHandler::ShowErrorWindow(const std::string& report, const std::string& title)
{
    ErrorTitle = title;
    ReportText = report;
    std::unique_ptr<CrashWindowHost> own;
    CrashWindowHost* host = sWindowHost;
    if (!host)
    {
        if (platform::PrivateDesktop::Available())
            own = std::make_unique<DesktopCrashWindowHost>();
        else
            own = std::make_unique<StderrCrashWindowHost>();
        host = own.get();
    }
    CrashWindows windows(*host, gHTTPTransfer, &CrashHandler::SubmitReport);
    windows.Run(report, !ServerHost.empty(), gKavoAppForCrash.load() != nullptr);
}

} // namespace Kavo

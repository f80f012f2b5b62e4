#include "crash/StderrCrashWindowHost.h"

#include "platform/files/TextEncoding.h"

#include <cstdio>

namespace Kavo
{

void StderrCrashWindowHost::ShowErrorWindow(const std::string& intro, const std::string& report, bool, bool)
{
    std::string text;
    for (char c : report)
        if (c != '\r') text.push_back(c);
    std::fprintf(stderr, "Fatal Error!: %s\n%s\n", platform::Cp1252ToUtf8(intro).c_str(),
                 platform::Cp1252ToUtf8(text).c_str());
    std::fflush(stderr);
}

CrashWindowHost::Event StderrCrashWindowHost::WaitEvent(uint32_t)
{
    return Event{Button::Cancel, Window::Error};
}

} // namespace Kavo

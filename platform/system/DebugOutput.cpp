#include "platform/system/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform
{

namespace
{
std::mutex gSinkLock;
std::function<void(std::string_view)> gSink;
} // namespace

void DebugOutput(std::string_view text)
{
    std::lock_guard<std::mutex> lock(gSinkLock);
    if (gSink)
    {
        gSink(text);
        return;
    }
    static const bool enabled = std::getenv("KAVO_DEBUG_OUTPUT") != nullptr;
    if (enabled)
    {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
}

void SetDebugOutputSink(std::function<void(std::string_view)> sink)
{
    std::lock_guard<std::mutex> lock(gSinkLock);
    gSink = std::move(sink);
}

} // namespace platform

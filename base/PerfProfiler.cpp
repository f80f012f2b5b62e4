#include "base/PerfProfiler.h"

#include "base/StringUtils.h"
#include "base/SystemInfo.h"
#include "platform/system/Clock.h"

namespace Kavo
{

void PerfProfiler::Start()
{
    mSections.clear();
    mEvents.clear();
    mExcluded = 0;
    mTotal = 0.0;
    mRunning = true;
    mStartStamp = platform::Clock::Get().Cycles();
}

void PerfProfiler::StartSection(const char* name)
{
    if (mRunning) mEvents.push_back({name, platform::Clock::Get().Cycles(), true});
}

void PerfProfiler::StopSection(const char* name)
{
    if (mRunning) mEvents.push_back({name, platform::Clock::Get().Cycles(), false});
}

void PerfProfiler::ProcessEvents()
{
    platform::Clock& clock = platform::Clock::Get();
    uint64_t began = clock.Cycles();
    for (const Event& event : mEvents)
    {
        Section& section = mSections[event.name];
        if (event.start)
        {
            ++section.calls;
            if (section.depth++ == 0) section.startStamp = event.stamp;
        }
        else if (section.depth > 0 && --section.depth == 0)
        {
            double elapsed = double(event.stamp - section.startStamp);
            section.total += elapsed;
            if (elapsed > section.longest) section.longest = elapsed;
        }
    }
    mEvents.clear();
    mExcluded += clock.Cycles() - began;
}

void PerfProfiler::Stop()
{
    if (!mRunning) return;
    uint64_t end = platform::Clock::Get().Cycles();
    ProcessEvents();
    mRunning = false;
    double perMillisecond = double(GetCachedCpuSpeed()) / 1000.0;
    uint64_t elapsed = end - mStartStamp;
    mTotal = double(elapsed > mExcluded ? elapsed - mExcluded : 0) / perMillisecond;
    for (auto& [name, section] : mSections)
    {
        section.total /= perMillisecond;
        section.longest /= perMillisecond;
    }
}

std::string PerfProfiler::Report() const
{
    std::string text = StrFormat("Total Time: %.2f\n", mTotal);
    for (const auto& [name, section] : mSections)
    {
        double share = mTotal > 0.0 ? section.total * 100.0 / mTotal : 0.0;
        double average = section.calls > 0 ? section.total / section.calls : 0.0;
        text += StrFormat("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name.c_str(),
                          section.calls, share, section.total, average, section.longest);
    }
    return text;
}

PerfProfiler& PerfProfiler::Global()
{
    static PerfProfiler profiler;
    return profiler;
}

} // namespace Kavo

#include "base/PerformanceTimer.h"

#include "platform/system/Clock.h"

namespace Kavo
{

void PerformanceTimer::Start()
{
    mStart = platform::Clock::Get().Counter();
    mRunning = true;
}

void PerformanceTimer::Stop()
{
    if (!mRunning) return;
    GetDuration();
    mRunning = false;
}

double PerformanceTimer::GetDuration()
{
    if (mRunning)
    {
        platform::Clock& clock = platform::Clock::Get();
        mDuration = double(clock.Counter() - mStart) * 1000.0 / double(clock.CounterFrequency());
    }
    return mDuration;
}

PerformanceTimer& PerformanceTimer::Global()
{
    static PerformanceTimer timer;
    return timer;
}

} // namespace Kavo

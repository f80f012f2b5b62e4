#include "base/SystemInfo.h"

#include "platform/system/SystemClock.h"

namespace Kavo
{

bool IsWindows9x()
{
    return false;
}

bool IsWindowsVista()
{
    return true;
}

uint64_t GetCpuSpeed()
{
    // Always the real clocks: a test's fake clock knows nothing of the processor.
    platform::SystemClock& clock = platform::SystemClock::Instance();
    uint64_t frequency = clock.CounterFrequency();
    if (frequency == 0) return 0;
    uint64_t startCycles = clock.Cycles();
    uint64_t start = clock.Counter();
    while (clock.Counter() - start < frequency / 100)
    {
    }
    return (clock.Cycles() - startCycles) * 100;
}

uint64_t GetCachedCpuSpeed()
{
    static uint64_t speed = 0;
    if (speed == 0)
    {
        speed = GetCpuSpeed();
        if (speed < 1) speed = 1;
    }
    return speed;
}

} // namespace Kavo

#include "platform/system/SystemClock.h"

#include <chrono>
#include <thread>
#include <time.h>
#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace platform
{

namespace
{
Clock* gInstalled = nullptr;

uint64_t MonotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}
} // namespace

Clock& Clock::Get()
{
    return gInstalled ? *gInstalled : SystemClock::Instance();
}

Clock* Clock::Install(Clock* clock)
{
    Clock* previous = gInstalled ? gInstalled : &SystemClock::Instance();
    gInstalled = clock;
    return previous;
}

std::tm Clock::LocalTime(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

namespace
{
// Built before any code runs, so that reading the clock never passes a first-use guard.
constinit SystemClock gSystemClock;
} // namespace

SystemClock& SystemClock::Instance()
{
    return gSystemClock;
}

uint32_t SystemClock::Ticks()
{
    return uint32_t(MonotonicNanoseconds() / 1000000ull);
}

uint64_t SystemClock::Counter()
{
    return MonotonicNanoseconds();
}

uint64_t SystemClock::CounterFrequency()
{
    return 1000000000ull;
}

uint64_t SystemClock::Cycles()
{
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return MonotonicNanoseconds();
#endif
}

void SystemClock::Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace platform

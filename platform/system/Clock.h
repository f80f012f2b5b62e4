#pragma once

#include <cstdint>
#include <ctime>

namespace platform
{

// The time source of the whole program. Everything that counts time asks Clock::Get(),
// so a test can install a FakeClock and step time by hand.
class Clock
{
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; wraps to 0 after 2^32 ms (about 49.7 days).
    virtual uint32_t Ticks() = 0;
    // High-resolution counter; CounterFrequency() counts per second (never 0).
    virtual uint64_t Counter() = 0;
    virtual uint64_t CounterFrequency() = 0;
    // Processor cycle stamp; falls back to the high-resolution counter where there is none.
    virtual uint64_t Cycles() = 0;
    // Blocks the calling thread for at least ms milliseconds (a fake clock only advances).
    virtual void Sleep(uint32_t ms) = 0;

    // The clock in use: the system clock unless a test installed another.
    static Clock& Get();
    // Installs a clock (nullptr restores the system clock); returns the one it replaces.
    // Not thread-safe: install before other threads start using the clock.
    static Clock* Install(Clock* clock);

    // Calendar time in the local time zone (thread-safe).
    static std::tm LocalTime(std::time_t time);
};

} // namespace platform

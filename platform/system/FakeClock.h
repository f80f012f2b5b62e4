#pragma once

#include "platform/system/Clock.h"

namespace platform
{

// A clock that moves only when told to. The counter runs at 1 MHz and one cycle is one
// microsecond. Sleep advances the time instead of blocking.
//
//   FakeClock clock;                 // installs itself, ticks start at 0
//   clock.Advance(250);              // 250 ms later
//   clock.SetTicks(0xFFFFFFF0);      // just before the tick count wraps
class FakeClock : public Clock
{
public:
    // Installs itself as the clock in use; the destructor restores the previous one.
    FakeClock();
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint32_t Ticks() override;
    uint64_t Counter() override;
    uint64_t CounterFrequency() override;
    uint64_t Cycles() override;
    void Sleep(uint32_t ms) override;

    void Advance(uint32_t ms) { mMicroseconds += uint64_t(ms) * 1000; }
    void AdvanceMicroseconds(uint64_t us) { mMicroseconds += us; }
    // Makes Ticks() answer this value now; the counter is not changed.
    void SetTicks(uint32_t ticks);
    // Total time slept through Sleep, in milliseconds.
    uint64_t SleptMilliseconds() const { return mSlept; }

private:
    Clock* mPrevious;
    uint64_t mMicroseconds = 0;
    uint32_t mTickOffset = 0;
    uint64_t mSlept = 0;
};

} // namespace platform

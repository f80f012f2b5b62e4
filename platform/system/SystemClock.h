#pragma once

#include "platform/system/Clock.h"

namespace platform
{

// The real clocks: a monotonic clock for ticks and the counter, the processor's
// time-stamp counter for cycles.
class SystemClock : public Clock
{
public:
    uint32_t Ticks() override;
    uint64_t Counter() override;
    uint64_t CounterFrequency() override;
    uint64_t Cycles() override;
    void Sleep(uint32_t ms) override;

    static SystemClock& Instance();
};

} // namespace platform

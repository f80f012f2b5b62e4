#include "platform/system/FakeClock.h"

namespace platform
{

FakeClock::FakeClock() : mPrevious(Clock::Install(this)) {}

FakeClock::~FakeClock()
{
    Clock::Install(mPrevious);
}

uint32_t FakeClock::Ticks()
{
    return uint32_t(mMicroseconds / 1000) + mTickOffset;
}

uint64_t FakeClock::Counter()
{
    return mMicroseconds;
}

uint64_t FakeClock::CounterFrequency()
{
    return 1000000;
}

uint64_t FakeClock::Cycles()
{
    return mMicroseconds;
}

void FakeClock::Sleep(uint32_t ms)
{
    mSlept += ms;
    Advance(ms);
}

void FakeClock::SetTicks(uint32_t ticks)
{
    mTickOffset = ticks - uint32_t(mMicroseconds / 1000);
}

} // namespace platform

#include "platform/system/FakeClock.h"
#include "platform/system/SystemClock.h"

#include <gtest/gtest.h>

namespace
{

TEST(FakeClock, InstallsItselfAndRestoresTheSystemClock)
{
    {
        platform::FakeClock fake;
        EXPECT_EQ(&platform::Clock::Get(), &fake);
        {
            platform::FakeClock inner;
            EXPECT_EQ(&platform::Clock::Get(), &inner);
        }
        EXPECT_EQ(&platform::Clock::Get(), &fake);
    }
    EXPECT_EQ(&platform::Clock::Get(), &platform::SystemClock::Instance());
}

TEST(FakeClock, MovesOnlyWhenTold)
{
    platform::FakeClock clock;
    EXPECT_EQ(clock.Ticks(), 0u);
    clock.Advance(250);
    EXPECT_EQ(clock.Ticks(), 250u);
    EXPECT_EQ(clock.Counter(), 250000u);
    EXPECT_EQ(clock.CounterFrequency(), 1000000u);
    clock.Sleep(10);
    EXPECT_EQ(clock.Ticks(), 260u);
    EXPECT_EQ(clock.SleptMilliseconds(), 10u);
}

TEST(FakeClock, TicksWrapAtThirtyTwoBits)
{
    platform::FakeClock clock;
    clock.SetTicks(0xFFFFFFF0u);
    EXPECT_EQ(clock.Ticks(), 0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(clock.Ticks(), 0x10u);
    // Differences across the wrap stay right in unsigned arithmetic.
    EXPECT_EQ(clock.Ticks() - 0xFFFFFFF0u, 0x20u);
}

TEST(SystemClock, RunsForwardAndSleeps)
{
    platform::SystemClock& clock = platform::SystemClock::Instance();
    uint64_t before = clock.Counter();
    uint32_t ticks = clock.Ticks();
    clock.Sleep(2);
    EXPECT_GT(clock.Counter(), before);
    EXPECT_GE(clock.Ticks() - ticks, 1u);
    EXPECT_GT(clock.CounterFrequency(), 0u);
    EXPECT_NE(clock.Cycles(), 0u);
}

} // namespace

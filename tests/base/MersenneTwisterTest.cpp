#include "base/MersenneTwister.h"
#include "base/Random.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

using Kavo::MersenneTwister;

// The standard MT19937 sequence with the top bit cleared.
TEST(MersenneTwister, MatchesTheStandardSequence)
{
    for (uint32_t seed : {0u, 4357u, 5489u, 1u, 0xFFFFFFFFu})
    {
        MersenneTwister generator(seed);
        std::mt19937 reference(seed == 0 ? 4357u : seed);
        for (int i = 0; i < 2000; ++i) // crosses several regenerations
            ASSERT_EQ(generator.Next(), reference() & 0x7FFFFFFFu) << "seed " << seed << " number " << i;
    }
    // The first number for 5489 is the well-known 3499211612 without its top bit.
    EXPECT_EQ(MersenneTwister(5489).Next(), 3499211612u & 0x7FFFFFFFu);
}

TEST(MersenneTwister, StateRoundTripContinuesTheSequence)
{
    MersenneTwister original(12345);
    for (int i = 0; i < 624; ++i) // exactly one block: the position is at the end
        original.Next();
    std::string state = original.SerializeState();
    ASSERT_EQ(state.size(), 2496u);

    MersenneTwister restored(999);
    for (int i = 0; i < 624; ++i)
        restored.Next();
    restored.SetStateFromString(state);
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(restored.Next(), original.Next()) << i;
}

TEST(MersenneTwister, StateKeepsZeroBytes)
{
    MersenneTwister generator(0x00000100); // the first word has zero bytes
    std::string state = generator.SerializeState();
    EXPECT_EQ(state[0], '\0');
    EXPECT_EQ(state[1], '\x01');
    MersenneTwister copy(77);
    copy.SetStateFromString(state);
    EXPECT_EQ(copy.SerializeState(), state);
}

TEST(MersenneTwister, WrongStateLengthSeedsWithDefault)
{
    MersenneTwister generator(5);
    generator.SetStateFromString(std::string(2495, 'x'));
    MersenneTwister fresh(4357);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(generator.Next(), fresh.Next());
}

TEST(Random, GlobalHelpers)
{
    Kavo::SRand(0);
    MersenneTwister reference(4357);
    EXPECT_EQ(Kavo::Rand(), reference.Next());
    for (int i = 0; i < 1000; ++i)
    {
        int value = Kavo::RandRange(7);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 7);
    }
    // No range to pick from: 0, never a division by zero.
    EXPECT_EQ(Kavo::RandRange(0), 0);
    EXPECT_EQ(Kavo::RandRange(-3), 0);
    EXPECT_EQ(Kavo::RandRange(1), 0);
    Kavo::InitGlobalRandom();
    EXPECT_EQ(Kavo::Rand(), MersenneTwister(4357).Next());
}

} // namespace

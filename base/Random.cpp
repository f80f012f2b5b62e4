#include "base/Random.h"

#include "base/MersenneTwister.h"

namespace Kavo
{

MersenneTwister& GlobalRandom()
{
    static MersenneTwister generator(MersenneTwister::kDefaultSeed);
    return generator;
}

void InitGlobalRandom()
{
    GlobalRandom().Seed(MersenneTwister::kDefaultSeed);
}

uint32_t Rand()
{
    return GlobalRandom().Next();
}

int RandRange(int n)
{
    if (n < 1) return 0;
    return int(GlobalRandom().Next() % uint32_t(n));
}

void SRand(uint32_t seed)
{
    GlobalRandom().Seed(seed);
}

} // namespace Kavo

#pragma once

#include <cstdint>

// The process-wide random generator and its helpers. Used for things that do not decide
// play (effects, cosmetic choices); the rules keep generators of their own.
namespace Kavo
{

class MersenneTwister;

// The global generator (seeded with 4357 before first use).
MersenneTwister& GlobalRandom();
// Reseeds the global generator with 4357.
void InitGlobalRandom();
// Next number of the global generator, 0 to 2^31 - 1.
uint32_t Rand();
// A number from 0 to n - 1; 0 when n is below 1.
int RandRange(int n);
// Reseeds the global generator (0 means 4357).
void SRand(uint32_t seed);

} // namespace Kavo

#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

// The MT19937 generator. Every number it gives has its top bit cleared (0 to 2^31 - 1).
// Its state saves to a text of 2496 raw bytes, so a saved game continues the same sequence.
class MersenneTwister
{
public:
    static constexpr int kStateWords = 624;
    static constexpr size_t kStateBytes = kStateWords * 4;
    static constexpr uint32_t kDefaultSeed = 4357;

    explicit MersenneTwister(uint32_t seed = kDefaultSeed);

    // Seed 0 is taken as 4357.
    void Seed(uint32_t seed);
    // Next number, 0 to 2^31 - 1.
    uint32_t Next();

    // The 624 state words as little-endian bytes (exactly 2496 bytes; may hold zero bytes).
    // The position within the state is not part of it.
    std::string SerializeState() const;
    // Takes the words back from a text of exactly 2496 bytes, keeping the position; any
    // other length seeds with 4357 instead.
    void SetStateFromString(const std::string& state);

private:
    void Regenerate();

    uint32_t mState[kStateWords];
    int mPosition; // 0 to 624; 624 means the words are regenerated before the next number
};

} // namespace Kavo

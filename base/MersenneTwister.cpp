#include "base/MersenneTwister.h"

namespace Kavo
{

namespace
{
constexpr uint32_t kMatrixA = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr int kShift = 397;
} // namespace

MersenneTwister::MersenneTwister(uint32_t seed)
{
    Seed(seed);
}

void MersenneTwister::Seed(uint32_t seed)
{
    mState[0] = seed == 0 ? kDefaultSeed : seed;
    for (int i = 1; i < kStateWords; ++i)
        mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + uint32_t(i);
    mPosition = kStateWords;
}

void MersenneTwister::Regenerate()
{
    for (int i = 0; i < kStateWords; ++i)
    {
        uint32_t y = (mState[i] & kUpperMask) | (mState[(i + 1) % kStateWords] & kLowerMask);
        mState[i] = mState[(i + kShift) % kStateWords] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    mPosition = 0;
}

uint32_t MersenneTwister::Next()
{
    if (mPosition >= kStateWords) Regenerate();
    uint32_t y = mState[mPosition++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y & 0x7FFFFFFFu;
}

std::string MersenneTwister::SerializeState() const
{
    std::string out(kStateBytes, '\0');
    for (int i = 0; i < kStateWords; ++i)
        for (int b = 0; b < 4; ++b)
            out[size_t(i) * 4 + size_t(b)] = char((mState[i] >> (8 * b)) & 0xFF);
    return out;
}

void MersenneTwister::SetStateFromString(const std::string& state)
{
    if (state.size() != kStateBytes)
    {
        Seed(kDefaultSeed);
        return;
    }
    for (int i = 0; i < kStateWords; ++i)
    {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b)
            word |= uint32_t(uint8_t(state[size_t(i) * 4 + size_t(b)])) << (8 * b);
        mState[i] = word;
    }
}

} // namespace Kavo

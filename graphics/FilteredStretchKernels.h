#pragma once

// The vertical pass and blend of FilteredStretch::Draw written once over a vector type V, included
// by the SSE2 and the AVX2 translation units, each with its own V. Everything here has internal
// linkage (but RowPair), so that each unit keeps the instructions it was compiled for.
//
// V is Sse2Register or Avx2Register: a register of V::kPixels words holds V::kPixels / 2 pixels
// as 16-bit lanes blue, green, red, alpha.
#include "graphics/FilteredStretch.h"

namespace Kavo::FilteredStretch
{

// Two filtered source rows of 16-bit sums, stored with their top bit flipped (the sum less
// 32768 as a signed number), and their vertical weights.
struct RowPair
{
    const uint16_t* a;
    const uint16_t* b;
    int32_t wa, wb;
};

namespace
{

// One destination pixel from `count` pairs of filtered rows: each channel
// (bias + sum of w x (sum - 32768)) >> 16, the bias adding back 32768 x the weights.
inline uint32_t FilteredPixel(uint32_t d, const RowPair* pairs, int count, int32_t bias, int i)
{
    int32_t c[4];
    for (int k = 0; k < 4; ++k)
    {
        int32_t sum = bias;
        for (int p = 0; p < count; ++p)
            sum +=
                pairs[p].wa * int16_t(pairs[p].a[4 * i + k]) + pairs[p].wb * int16_t(pairs[p].b[4 * i + k]);
        c[k] = sum >> 16;
    }
    return Over(d, uint32_t(c[0]), uint32_t(c[1]), uint32_t(c[2]), uint32_t(c[3]));
}

// The pixels of a register from offset i of two rows, added to the 32-bit sums lo and hi.
template <class V>
inline void AddPair(const uint16_t* ra, const uint16_t* rb, typename V::Reg weights, int i,
                    typename V::Reg& lo, typename V::Reg& hi)
{
    typename V::Reg a = V::Load(ra + 4 * i), b = V::Load(rb + 4 * i);
    lo = V::Add32(lo, V::Madd16(V::UnpackLo16(a, b), weights));
    hi = V::Add32(hi, V::Madd16(V::UnpackHi16(a, b), weights));
}

template <class V>
inline typename V::Reg PairWeights(const RowPair& pair)
{
    return V::Set32(uint32_t(pair.wb) << 16 | uint32_t(pair.wa));
}

// Over for the pixels of a register: the colour lanes (d (256 - a)) >> 8 + (s a) >> 8, the latter as the
// high half of (s << 7) (a << 1), both of which fit 16 bits where s a may not; the alpha lane
// d + (255 - d) a / 255, dividing by 255 as the high half of x 0x8081, shifted by 7 (exact for
// every 16-bit x). Lanes above 255 are held by PackStore.
template <class V>
inline typename V::Reg OverLanes(typename V::Reg d, typename V::Reg s)
{
    typename V::Reg a = V::BroadcastAlpha16(s);
    typename V::Reg keep = V::Srli16(V::Mullo16(d, V::Sub16(V::Set16(256), a)), 8);
    typename V::Reg colour = V::Add16(keep, V::Mulhi16u(V::Slli16(s, 7), V::Slli16(a, 1)));
    typename V::Reg gained = V::Mullo16(V::Sub16(V::Set16(255), d), a);
    typename V::Reg alpha = V::Add16(d, V::Srli16(V::Mulhi16u(gained, V::Set16(0x8081)), 7));
    typename V::Reg alphaLanes = V::Set64(0xFFFF000000000000ull);
    return V::Or(V::And(alphaLanes, alpha), V::AndNot(alphaLanes, colour));
}

// One destination row of n pixels from `count` pairs of filtered rows; kOne: one pair, its
// rows and weights held in registers.
template <class V, bool kOne>
void FilterRowPairs(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    using Reg = typename V::Reg;
    constexpr int kLanes = V::kPixels / 2; // pixels of a register of 16-bit lanes
    constexpr int kStep = 2 * kLanes;
    const Reg biases = V::Set32(uint32_t(bias)), zero = V::Zero(), all = V::Set16(256);
    const uint16_t* ra = pairs[0].a;
    const uint16_t* rb = pairs[0].b;
    const Reg weights = PairWeights<V>(pairs[0]);
    auto filtered = [&](int at)
    {
        Reg lo = biases, hi = biases;
        if (kOne)
            AddPair<V>(ra, rb, weights, at, lo, hi);
        else
            for (int p = 0; p < count; ++p)
                AddPair<V>(pairs[p].a, pairs[p].b, PairWeights<V>(pairs[p]), at, lo, hi);
        return V::Packs32(V::Srai32(lo, 16), V::Srai32(hi, 16));
    };
    int i = 0;
    for (; i + kStep <= n; i += kStep)
    {
        Reg s0 = filtered(i), s1 = filtered(i + kLanes);
        // Alpha 0 leaves the pixels; alpha 256 takes the source, its alpha held to 255.
        if (V::AllAlphaLanes(V::And(V::Eq16(s0, zero), V::Eq16(s1, zero)))) continue;
        if (V::AllAlphaLanes(V::And(V::Eq16(s0, all), V::Eq16(s1, all))))
        {
            V::PackStore(d + i, s0, s1);
            continue;
        }
        V::PackStore(d + i, OverLanes<V>(V::Widen(d + i), s0), OverLanes<V>(V::Widen(d + i + kLanes), s1));
    }
    for (; i < n; ++i)
        d[i] = FilteredPixel(d[i], pairs, count, bias, i);
}

template <class V>
void FilterRowWith(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    if (count == 1)
        FilterRowPairs<V, true>(d, pairs, count, bias, n);
    else if (count > 1)
        FilterRowPairs<V, false>(d, pairs, count, bias, n);
}

} // namespace
} // namespace Kavo::FilteredStretch

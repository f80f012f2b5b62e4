#pragma once

// The vertical pass and blend of FilteredStretch::Draw written once over a vector type V, included
// by the SSE2 and the AVX2 translation units, each with its own V. Everything here has internal
// linkage (but RowPair), so that each unit keeps the instructions it was compiled for.
//
// V provides 16-bit registers of V::kPixels pixels (lanes blue, green, red, alpha) and:
// Load16 (kPixels pixels of 16-bit sums), Widen (kPixels destination words to 16-bit lanes),
// PackStore (two registers of 16-bit lanes, held to 255, as 2 kPixels words), the 16- and 32-bit
// arithmetic below, and AllLanes (whether a 16-bit compare holds in every alpha lane).
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

// kPixels filtered pixels from offset i of the pairs, as 16-bit lanes 0-256.
template <class V>
inline typename V::Reg Filtered(const RowPair* pairs, int count, typename V::Reg bias, int i)
{
    typename V::Reg lo = bias, hi = bias;
    for (int p = 0; p < count; ++p)
    {
        typename V::Reg a = V::Load16(pairs[p].a + 4 * i), b = V::Load16(pairs[p].b + 4 * i);
        typename V::Reg w = V::Set32(uint32_t(pairs[p].wb) << 16 | uint32_t(pairs[p].wa));
        lo = V::Add32(lo, V::Madd16(V::UnpackLo16(a, b), w));
        hi = V::Add32(hi, V::Madd16(V::UnpackHi16(a, b), w));
    }
    return V::Packs32(V::Srai32(lo, 16), V::Srai32(hi, 16));
}

// Over for kPixels pixels: the colour lanes (d (256 - a)) >> 8 + (s a) >> 8, the latter as the
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

// One destination row of n pixels from `count` pairs of filtered rows.
template <class V>
void FilterRowWith(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    constexpr int kStep = 2 * V::kPixels;
    const typename V::Reg biases = V::Set32(uint32_t(bias));
    int i = 0;
    for (; i + kStep <= n; i += kStep)
    {
        typename V::Reg s0 = Filtered<V>(pairs, count, biases, i);
        typename V::Reg s1 = Filtered<V>(pairs, count, biases, i + V::kPixels);
        // Alpha 0 leaves the pixels; alpha 256 takes the source, its alpha held to 255.
        if (V::AllLanes(V::And(V::Eq16(s0, V::Zero()), V::Eq16(s1, V::Zero())))) continue;
        if (V::AllLanes(V::And(V::Eq16(s0, V::Set16(256)), V::Eq16(s1, V::Set16(256)))))
        {
            V::PackStore(d + i, s0, s1);
            continue;
        }
        V::PackStore(d + i, OverLanes<V>(V::Widen(d + i), s0),
                     OverLanes<V>(V::Widen(d + i + V::kPixels), s1));
    }
    for (; i < n; ++i)
        d[i] = FilteredPixel(d[i], pairs, count, bias, i);
}

} // namespace
} // namespace Kavo::FilteredStretch

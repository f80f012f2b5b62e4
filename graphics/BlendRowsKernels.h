#pragma once

// The row loops of BlendRows written once over a vector type V (V::kPixels pixels a register),
// included by the SSE2 and the AVX2 translation units, each with its own V. Everything here has
// internal linkage, so that each unit keeps the instructions it was compiled for.
#include "graphics/BlendRows.h"

namespace Kavo::BlendRows
{
namespace
{

// The 16-bit halves of a register of pixels: lanes blue, green, red, alpha per pixel.
template <class V>
struct Halves
{
    typename V::Reg lo, hi;
};

template <class V>
inline Halves<V> Widen(typename V::Reg p)
{
    return {V::UnpackLo8(p, V::Zero()), V::UnpackHi8(p, V::Zero())};
}

// Each pixel's alpha in all four of its lanes.
template <class V>
inline typename V::Reg AlphaLanes(typename V::Reg p16)
{
    return V::BroadcastAlpha16(p16);
}

// True when every pixel of the register has alpha 255.
template <class V>
inline bool AllOpaque(typename V::Reg p)
{
    return V::AllOnes(V::Or(p, V::Set32(0x00FFFFFF)));
}

// (d (256 - a)) >> 8 + (s a) >> 8 per lane.
template <class V>
inline typename V::Reg OpaqueOverLanes(typename V::Reg d16, typename V::Reg s16, typename V::Reg a)
{
    typename V::Reg keep = V::Srli16(V::Mullo16(d16, V::Sub16(V::Set16(256), a)), 8);
    return V::Add16(keep, V::Srli16(V::Mullo16(s16, a), 8));
}

template <class V>
inline typename V::Reg OpaqueOverPixels(typename V::Reg dv, typename V::Reg sv)
{
    Halves<V> d = Widen<V>(dv), s = Widen<V>(sv);
    typename V::Reg lo = OpaqueOverLanes<V>(d.lo, s.lo, AlphaLanes<V>(s.lo));
    typename V::Reg hi = OpaqueOverLanes<V>(d.hi, s.hi, AlphaLanes<V>(s.hi));
    return V::Or(V::Packus16(lo, hi), V::Set32(0xFF000000));
}

template <class V>
void OpaqueOverRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
        V::Store(d + i, OpaqueOverPixels<V>(V::Load(d + i), V::Load(s + i)));
    for (; i < n; ++i)
        d[i] = PixelBlend::OpaqueOver(d[i], s[i], s[i] >> 24);
}

template <class V>
void OverRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
    {
        typename V::Reg dv = V::Load(d + i), sv = V::Load(s + i);
        if (V::AllZero(V::And(sv, V::Set32(0xFF000000)))) continue;
        if (AllOpaque<V>(dv))
        {
            V::Store(d + i, OpaqueOverPixels<V>(dv, sv));
            continue;
        }
        for (int k = i; k < i + V::kPixels; ++k)
            d[k] = PixelBlend::OverSplit(d[k], s[k], s[k] >> 24, t);
    }
    for (; i < n; ++i)
        d[i] = PixelBlend::OverSplit(d[i], s[i], s[i] >> 24, t);
}

// The constants of a modulation as lanes.
template <class V>
struct ModulationLanes
{
    typename V::Reg alpha, colour, pick; // pick: the lanes taken from the second form
    bool grey;
    explicit ModulationLanes(const Modulation& m)
        : alpha(V::Set16(uint16_t(m.alpha))),
          colour(V::SetLanes16(uint16_t(m.blue), uint16_t(m.green), uint16_t(m.red), 0)),
          pick(m.grey ? V::SetLanes16(0, 0xFFFF, 0, 0) : V::SetLanes16(0, 0, 0xFFFF, 0)), grey(m.grey)
    {
        if (m.grey) colour = V::SetLanes16(uint16_t(m.red), uint16_t(m.red), uint16_t(m.red), 0);
    }
};

template <class V>
inline typename V::Reg ModulatedLanes(typename V::Reg d16, typename V::Reg s16, const ModulationLanes<V>& k)
{
    using R = typename V::Reg;
    // a = sa x alpha / 255, the division as (x x 0x8081) >> 23, exact for x up to 255 x 255.
    R a = V::Srli16(V::Mulhi16u(V::Mullo16(AlphaLanes<V>(s16), k.alpha), V::Set16(0x8081)), 7);
    R sw = V::Mullo16(s16, a);
    R first, second;
    if (k.grey)
    {
        // Red and blue: ((s g) >> 8 x w) >> 8; green: (s w g) >> 16.
        first = V::Srli16(V::Mullo16(V::Srli16(V::Mullo16(s16, k.colour), 8), a), 8);
        second = V::Mulhi16u(sw, k.colour);
    }
    else
    {
        // Green and blue: (s w c) >> 16; red: ((s w) >> 8 x c) >> 8.
        first = V::Mulhi16u(sw, k.colour);
        second = V::Srli16(V::Mullo16(V::Srli16(sw, 8), k.colour), 8);
    }
    R rgb = V::Or(V::AndNot(k.pick, first), V::And(k.pick, second));
    R keep = V::Srli16(V::Mullo16(d16, V::Sub16(V::Set16(256), a)), 8);
    return V::Add16(keep, rgb);
}

template <class V>
void ModulatedOverRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m)
{
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    const ModulationLanes<V> k(m);
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
    {
        typename V::Reg dv = V::Load(d + i), sv = V::Load(s + i);
        if (V::AllZero(V::And(sv, V::Set32(0xFF000000)))) continue;
        if (AllOpaque<V>(dv))
        {
            Halves<V> dh = Widen<V>(dv), sh = Widen<V>(sv);
            typename V::Reg lo = ModulatedLanes<V>(dh.lo, sh.lo, k), hi = ModulatedLanes<V>(dh.hi, sh.hi, k);
            V::Store(d + i, V::Or(V::Packus16(lo, hi), V::Set32(0xFF000000)));
            continue;
        }
        for (int j = i; j < i + V::kPixels; ++j)
            d[j] = ModulatedOver(d[j], s[j], m, t);
    }
    for (; i < n; ++i)
        d[i] = ModulatedOver(d[i], s[i], m, t);
}

template <class V>
void AddAlphaRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    using R = typename V::Reg;
    const R colourLanes = V::SetLanes16(0xFFFF, 0xFFFF, 0xFFFF, 0);
    auto half = [&](R d16, R s16)
    { return V::Add16(d16, V::And(V::Srli16(V::Mullo16(s16, AlphaLanes<V>(s16)), 8), colourLanes)); };
    int i = 0;
    for (; i + V::kPixels <= n; i += V::kPixels)
    {
        R sv = V::Load(s + i);
        if (V::AllZero(V::And(sv, V::Set32(0xFF000000)))) continue;
        Halves<V> dh = Widen<V>(V::Load(d + i)), sh = Widen<V>(sv);
        V::Store(d + i, V::Packus16(half(dh.lo, sh.lo), half(dh.hi, sh.hi)));
    }
    for (; i < n; ++i)
    {
        using namespace PixelBlend;
        uint32_t dp = d[i], sp = s[i], a = sp >> 24;
        uint32_t r = std::min<uint32_t>(Red(dp) + ((Red(sp) * a) >> 8), 255);
        uint32_t g = std::min<uint32_t>(Green(dp) + ((Green(sp) * a) >> 8), 255);
        uint32_t b = std::min<uint32_t>(Blue(dp) + ((Blue(sp) * a) >> 8), 255);
        d[i] = (dp & 0xFF000000) | (r << 16) | (g << 8) | b;
    }
}

} // namespace
} // namespace Kavo::BlendRows

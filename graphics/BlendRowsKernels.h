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

// Per pixel, in the 32-bit lanes, the two divisions of the "over" rules for a destination of any
// alpha, computed instead of looked up: outA = dA + (255 - dA) a / 255 (OverAlpha) and
// w = 255 a / outA, 0 where a = 0 (OverWeight). Every product stays below 2^16 in the low half
// of its lane, and the quotient of two integers below 2^24 truncates exactly in single
// precision, so both are the tables' values.
template <class V>
inline typename V::Reg OverAlpha(typename V::Reg dv, typename V::Reg a32)
{
    using R = typename V::Reg;
    R dA = V::Srli32(dv, 24);
    R kept = V::Srli16(V::Mulhi16u(V::Mullo16(V::Sub16(V::Set32(255), dA), a32), V::Set32(0x8081)), 7);
    return V::Add16(dA, kept);
}

template <class V>
inline typename V::Reg OverWeight(typename V::Reg a32, typename V::Reg outA)
{
    return V::DivTrunc32(V::Mullo16(a32, V::Set32(255)), V::Max16(outA, V::Set32(1)));
}

// Per pixel, whether the weight is the source alpha a (255 a / outA truncates to a):
// a (255 - outA) < outA.
template <class V>
inline typename V::Reg WeightIsAlpha(typename V::Reg a32, typename V::Reg outA)
{
    return V::CmpGt32(V::Max16(outA, V::Set32(1)), V::Mullo16(a32, V::Sub16(V::Set32(255), outA)));
}

// The weights of a register as 16-bit lanes (each pixel's w in its four lanes).
template <class V>
inline Halves<V> WeightLanes(typename V::Reg w32)
{
    Halves<V> h = Widen<V>(V::Slli32(w32, 24));
    return {AlphaLanes<V>(h.lo), AlphaLanes<V>(h.hi)};
}

// The pixels' channels with the alpha outA (in the low byte of each 32-bit lane).
template <class V>
inline typename V::Reg WithAlpha(typename V::Reg pixels, typename V::Reg outA)
{
    return V::Or(V::And(pixels, V::Set32(0x00FFFFFF)), V::Slli32(outA, 24));
}

// Channels from 16-bit lanes, alpha outA.
template <class V>
inline typename V::Reg PackWithAlpha(typename V::Reg lo, typename V::Reg hi, typename V::Reg outA)
{
    return WithAlpha<V>(V::Packus16(lo, hi), outA);
}

// Rule over-split onto destination pixels of any alpha, a32 the source alpha and outA its
// OverAlpha.
template <class V>
inline typename V::Reg OverAnyPixels(typename V::Reg dv, typename V::Reg sv, typename V::Reg a32,
                                     typename V::Reg outA)
{
    Halves<V> d = Widen<V>(dv), s = Widen<V>(sv), w = WeightLanes<V>(OverWeight<V>(a32, outA));
    return PackWithAlpha<V>(OpaqueOverLanes<V>(d.lo, s.lo, w.lo), OpaqueOverLanes<V>(d.hi, s.hi, w.hi), outA);
}

// A row by whole registers from two sources read side by side, pixels(d, s, e) giving a
// register's new pixels; registers where the first source's alpha is all 0 are left (with
// kLeaveClear; without, they are drawn too). A row of a register or more ends with the register
// of its last pixels, read before any pixel of it was written: the pixels it shares with the
// register before come out the same. A shorter row is read as one register, the lanes past it
// opaque black under transparent. Without partial registers the pixels past the last whole one
// go to tail(i).
template <class V, bool kLeaveClear = true, class Pixels, class Tail>
inline void RowByRegisters(uint32_t* __restrict d, const uint32_t* __restrict s, const uint32_t* __restrict e,
                           int n, Pixels pixels, Tail tail)
{
    using R = typename V::Reg;
    const R alphas = V::Set32(0xFF000000);
    auto drawn = [&](R sv) { return !kLeaveClear || !V::AllZero(V::And(sv, alphas)); };
    if constexpr (V::kPartial)
    {
        if (n < V::kPixels)
        {
            if (n <= 0) return;
            R sv = V::LoadPart(s, n, 0);
            if (drawn(sv))
                V::StorePart(d, pixels(V::LoadPart(d, n, 0xFF000000), sv, V::LoadPart(e, n, 0)), n);
            return;
        }
        if (n <= 2 * V::kPixels)
        {
            // One or two registers (a glyph's row), both read before either is written.
            int second = n - V::kPixels;
            R firstD = V::Load(d), firstS = V::Load(s), secondD = V::Load(d + second),
              secondS = V::Load(s + second);
            if (drawn(firstS)) V::Store(d, pixels(firstD, firstS, V::Load(e)));
            if (second > 0 && drawn(secondS))
                V::Store(d + second, pixels(secondD, secondS, V::Load(e + second)));
            return;
        }
        int last = n - V::kPixels;
        R lastD = V::Load(d + last), lastS = V::Load(s + last);
        int i = 0;
        for (; i + V::kPixels <= n; i += V::kPixels)
        {
            R dv = V::Load(d + i), sv = V::Load(s + i);
            if (drawn(sv)) V::Store(d + i, pixels(dv, sv, V::Load(e + i)));
        }
        if (i < n && drawn(lastS)) V::Store(d + last, pixels(lastD, lastS, V::Load(e + last)));
    }
    else
    {
        int i = 0;
        for (; i + V::kPixels <= n; i += V::kPixels)
        {
            R dv = V::Load(d + i), sv = V::Load(s + i);
            if (drawn(sv)) V::Store(d + i, pixels(dv, sv, V::Load(e + i)));
        }
        for (; i < n; ++i)
            tail(i);
    }
}

// The same with one source, pixels(d, s).
template <class V, class Pixels, class Tail>
inline void RowByRegisters(uint32_t* __restrict d, const uint32_t* __restrict s, int n, Pixels pixels,
                           Tail tail)
{
    using R = typename V::Reg;
    RowByRegisters<V>(
        d, s, s, n, [&](R dv, R sv, R) { return pixels(dv, sv); }, tail);
}

// Rule over-split onto destination pixels of any alpha; where every weight is the source alpha
// (as over nearly opaque pixels) the channels are those of opaque-over and no division is made.
template <class V>
inline typename V::Reg OverPixels(typename V::Reg dv, typename V::Reg sv)
{
    using R = typename V::Reg;
    if (AllOpaque<V>(dv)) return OpaqueOverPixels<V>(dv, sv);
    R a = V::Srli32(sv, 24), outA = OverAlpha<V>(dv, a);
    if (V::AllOnes(WeightIsAlpha<V>(a, outA))) return WithAlpha<V>(OpaqueOverPixels<V>(dv, sv), outA);
    return OverAnyPixels<V>(dv, sv, a, outA);
}

template <class V>
inline void OverRowOf(uint32_t* __restrict d, const uint32_t* __restrict s, int n,
                      const PixelBlend::OverTables& t)
{
    RowByRegisters<V>(
        d, s, n, [](typename V::Reg dv, typename V::Reg sv) { return OverPixels<V>(dv, sv); },
        [&](int i) { d[i] = PixelBlend::OverSplit(d[i], s[i], s[i] >> 24, t); });
}

template <class V>
void OverRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    OverRowOf<V>(d, s, n, PixelBlend::GetOverTables());
}

template <class V>
void OverRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch)
        OverRowOf<V>(d, s, w, t);
}

// The constants of a modulation as lanes. Each truncation of the rule that falls between its
// two products, ((x >> 8) c) >> 8 for a product x below 2^16, is ((x AND 0xFF00) c) >> 16: the
// high half of a product with the low byte of x cut. So every channel is
// ((s first AND cut) second) >> 16, its factors by lane:
// - a colour: first w; cut 0xFF00 for red (((s w) >> 8 c) >> 8), 0xFFFF for green and blue
//   ((s w c) >> 16); second the colour's channel;
// - grey g: red and blue first g, cut 0xFF00, second w (((s g) >> 8 w) >> 8); green first w,
//   cut 0xFFFF, second g ((s w g) >> 16).
// The alpha lanes' cut is 0.
template <class V>
struct ModulationLanes
{
    typename V::Reg alpha, colour, cut, greyLanes; // greyLanes: where a grey's first factor is g
    bool grey, opaque;                             // opaque: alpha 255, a = sa
    explicit ModulationLanes(const Modulation& m)
        : alpha(V::Set16(uint16_t(m.alpha))),
          colour(V::SetLanes16(uint16_t(m.blue), uint16_t(m.green), uint16_t(m.red), 0)),
          cut(m.grey ? V::SetLanes16(0xFF00, 0xFFFF, 0xFF00, 0) : V::SetLanes16(0xFFFF, 0xFFFF, 0xFF00, 0)),
          greyLanes(V::SetLanes16(0xFFFF, 0, 0xFFFF, 0)), grey(m.grey), opaque(m.alpha == 255)
    {
        if (m.grey) colour = V::SetLanes16(uint16_t(m.red), uint16_t(m.red), uint16_t(m.red), 0);
    }
};

// a = sa x alpha / 255 per pixel, in the low half of each 32-bit lane (or, from 16-bit lanes of
// widened pixels, in every lane): the division as (x x 0x8081) >> 23, exact for x up to 255 x 255;
// sa itself for alpha 255.
template <class V>
inline typename V::Reg ModulatedAlpha(typename V::Reg sa, const ModulationLanes<V>& k)
{
    if (k.opaque) return sa;
    return V::Srli16(V::Mulhi16u(V::Mullo16(sa, k.alpha), V::Set32(0x80818081)), 7);
}

// The channels of rule over with a modulated source and weight w: the destination's
// (d (256 - w)) >> 8 plus the source's share.
template <class V>
inline typename V::Reg ModulatedLanes(typename V::Reg d16, typename V::Reg s16, typename V::Reg w,
                                      const ModulationLanes<V>& k)
{
    using R = typename V::Reg;
    R first = w, second = k.colour;
    if (k.grey)
    {
        first = V::Or(V::And(k.greyLanes, k.colour), V::AndNot(k.greyLanes, w));
        second = V::Or(V::And(k.greyLanes, w), V::AndNot(k.greyLanes, k.colour));
    }
    R rgb = V::Mulhi16u(V::And(V::Mullo16(s16, first), k.cut), second);
    R keep = V::Srli16(V::Mullo16(d16, V::Sub16(V::Set16(256), w)), 8);
    return V::Add16(keep, rgb);
}

template <class V>
inline typename V::Reg ModulatedOverPixels(typename V::Reg dv, typename V::Reg sv,
                                           const ModulationLanes<V>& k)
{
    using R = typename V::Reg;
    Halves<V> dh = Widen<V>(dv), sh = Widen<V>(sv);
    // Where w = a (outA = 255 over opaque pixels), no division.
    auto weightedByAlpha = [&]
    {
        R lo = ModulatedLanes<V>(dh.lo, sh.lo, ModulatedAlpha<V>(AlphaLanes<V>(sh.lo), k), k);
        R hi = ModulatedLanes<V>(dh.hi, sh.hi, ModulatedAlpha<V>(AlphaLanes<V>(sh.hi), k), k);
        return V::Packus16(lo, hi);
    };
    if (AllOpaque<V>(dv)) return V::Or(weightedByAlpha(), V::Set32(0xFF000000));
    R a = ModulatedAlpha<V>(V::Srli32(sv, 24), k), outA = OverAlpha<V>(dv, a);
    if (V::AllOnes(WeightIsAlpha<V>(a, outA))) return WithAlpha<V>(weightedByAlpha(), outA);
    Halves<V> w = WeightLanes<V>(OverWeight<V>(a, outA));
    return PackWithAlpha<V>(ModulatedLanes<V>(dh.lo, sh.lo, w.lo, k),
                            ModulatedLanes<V>(dh.hi, sh.hi, w.hi, k), outA);
}

template <class V>
inline void ModulatedOverRowOf(uint32_t* __restrict d, const uint32_t* __restrict s, int n,
                               const Modulation& m, const ModulationLanes<V>& k,
                               const PixelBlend::OverTables& t)
{
    RowByRegisters<V>(
        d, s, n, [&](typename V::Reg dv, typename V::Reg sv) { return ModulatedOverPixels<V>(dv, sv, k); },
        [&](int i) { d[i] = ModulatedOver(d[i], s[i], m, t); });
}

template <class V>
void ModulatedOverRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m)
{
    ModulatedOverRowOf<V>(d, s, n, m, ModulationLanes<V>(m), PixelBlend::GetOverTables());
}

template <class V>
void ModulatedOverRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h,
                           const Modulation& m)
{
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    const ModulationLanes<V> k(m);
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch)
        ModulatedOverRowOf<V>(d, s, w, m, k, t);
}

// Where the rule's weight is the source alpha a (w = a), the channels (d (256 - a)) >> 8 + the
// tinted ones, and the destination's alpha kept: the destination's channels in the high bytes of
// their lanes, so that the high half of their product with 256 - a is (d (256 - a)) >> 8; in
// the alpha lanes dA times 256, plus 0. The sums stay below 256.
template <class V>
inline typename V::Reg TintedKeepingAlpha(typename V::Reg dv, typename V::Reg tv)
{
    using R = typename V::Reg;
    const R k256 = V::Set16(256);
    R lo = V::Add16(V::Mulhi16u(V::UnpackLo8(V::Zero(), dv), V::Sub16(k256, V::AlphaInColourLanesLo(tv))),
                    V::ChannelLanesLo(tv));
    R hi = V::Add16(V::Mulhi16u(V::UnpackHi8(V::Zero(), dv), V::Sub16(k256, V::AlphaInColourLanesHi(tv))),
                    V::ChannelLanesHi(tv));
    return V::Packus16(lo, hi);
}

// True when every pixel keeps its alpha and takes the weight a: a (255 - dA) < dA, where
// (255 - dA) a / 255 truncates to 0 and 255 a / dA to a (over opaque pixels, and over nearly
// opaque ones for a small enough a).
template <class V>
inline bool KeepsAlpha(typename V::Reg dv, typename V::Reg tv)
{
    typename V::Reg dA = V::Srli32(dv, 24);
    return V::AllOnes(V::CmpGt32(dA, V::Mullo16(V::Srli32(tv, 24), V::Sub16(V::Set32(255), dA))));
}

// Rule over with a modulated source from its tinted form where that gives its weight: onto
// pixels it leaves their alpha (above), and onto any pixel where 255 a / outA truncates to a,
// that is a (255 - outA) < outA (as over most nearly opaque pixels, or where a is 0 or 255) with
// the alpha outA; registers with any other pixel take the rule from the source sv. Opaque
// destinations are not tested for apart: the first test takes them, and measured faster alone
// than behind a cheaper test for them.
template <class V>
inline typename V::Reg TintedOverPixels(typename V::Reg dv, typename V::Reg tv, typename V::Reg sv,
                                        const ModulationLanes<V>& k)
{
    using R = typename V::Reg;
    if (KeepsAlpha<V>(dv, tv)) return TintedKeepingAlpha<V>(dv, tv);
    R a = V::Srli32(tv, 24), outA = OverAlpha<V>(dv, a);
    if (V::AllOnes(WeightIsAlpha<V>(a, outA))) return WithAlpha<V>(TintedKeepingAlpha<V>(dv, tv), outA);
    return ModulatedOverPixels<V>(dv, sv, k);
}

// One pixel of TintedOverPixels.
inline uint32_t TintedOverPixel(uint32_t dp, uint32_t sp, uint32_t tp, const Modulation& m,
                                const PixelBlend::OverTables& tables)
{
    if ((dp >> 24) == 255) return 0xFF000000 | (PixelBlend::SplitKeep(dp, tp >> 24) + (tp & 0x00FFFFFF));
    return ModulatedOver(dp, sp, m, tables);
}

// A row as ModulatedOverRowOf. Registers of tinted alpha 0 are drawn like the others (they come
// out as they were): testing for them cost more than it spared.
template <class V>
inline void TintedOverRowOf(uint32_t* __restrict d, const uint32_t* __restrict s,
                            const uint32_t* __restrict t, int n, const Modulation& m,
                            const ModulationLanes<V>& k, const PixelBlend::OverTables& tables)
{
    using R = typename V::Reg;
    RowByRegisters<V, false>(
        d, t, s, n, [&](R dv, R tv, R sv) { return TintedOverPixels<V>(dv, tv, sv, k); },
        [&](int i) { d[i] = TintedOverPixel(d[i], s[i], t[i], m, tables); });
}

template <class V>
void TintedOverRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t, ptrdiff_t sPitch,
                        int w, int h, const Modulation& m)
{
    const PixelBlend::OverTables& tables = PixelBlend::GetOverTables();
    const ModulationLanes<V> k(m);
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch, t += sPitch)
        TintedOverRowOf<V>(d, s, t, w, m, k, tables);
}

template <class V>
void TintedOverGlyphsWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, const uint32_t* t,
                          ptrdiff_t sPitch, const GlyphBlit* glyphs, int count, const Modulation& m)
{
    const PixelBlend::OverTables& tables = PixelBlend::GetOverTables();
    const ModulationLanes<V> k(m);
    for (int i = 0; i < count; ++i)
    {
        const GlyphBlit& glyph = glyphs[i];
        ptrdiff_t from = ptrdiff_t(glyph.src.mY) * sPitch + glyph.src.mX;
        uint32_t* to = d + ptrdiff_t(glyph.y) * dPitch + glyph.x;
        for (int j = 0; j < glyph.src.mHeight; ++j, to += dPitch, from += sPitch)
            TintedOverRowOf<V>(to, s + from, t + from, glyph.src.mWidth, m, k, tables);
    }
}

// kOpaqueRegisters: registers of opaque source pixels are copied without the blend (a sprite's
// inside; for glyphs, whose registers seldom are, the test costs more than it spares).
template <class V, bool kOpaqueRegisters = false>
void OntoOpaqueRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    using R = typename V::Reg;
    auto pixels = [](R dv, R sv)
    {
        if (kOpaqueRegisters && AllOpaque<V>(sv)) return sv;
        R alpha = V::And(sv, V::Set32(0xFF000000));
        R copied = V::CmpEq32(alpha, V::Set32(0xFF000000)), left = V::CmpEq32(alpha, V::Zero());
        R blended = V::AndNot(V::Or(copied, left), OpaqueOverPixels<V>(dv, sv));
        return V::Or(blended, V::Or(V::And(copied, sv), V::And(left, dv)));
    };
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch)
        RowByRegisters<V>(d, s, w, pixels,
                          [&](int i)
                          {
                              uint32_t a = s[i] >> 24;
                              if (a == 255)
                                  d[i] = s[i];
                              else if (a != 0)
                                  d[i] = PixelBlend::OpaqueOver(d[i], s[i], a);
                          });
}

// Additive with alpha: each colour channel (s a) >> 8, the high half of the channel in the high
// byte of its lane times a, added to the destination's with saturation (the alpha lanes' factor
// is 0, so the destination alpha is kept). A register's pixels depend only on their own
// destination pixels, so a row's last register may overlap the one before it.
template <class V>
void AddAlphaRowWith(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    using R = typename V::Reg;
    auto pixels = [](R dv, R sv)
    {
        R lo = V::Mulhi16u(V::UnpackLo8(V::Zero(), sv), V::AlphaInColourLanesLo(sv));
        R hi = V::Mulhi16u(V::UnpackHi8(V::Zero(), sv), V::AlphaInColourLanesHi(sv));
        return V::AddSat8u(dv, V::Packus16(lo, hi));
    };
    RowByRegisters<V>(d, s, n, pixels,
                      [&](int i)
                      {
                          using namespace PixelBlend;
                          uint32_t sp = s[i], a = sp >> 24;
                          d[i] =
                              AddColour(d[i], (Red(sp) * a) >> 8, (Green(sp) * a) >> 8, (Blue(sp) * a) >> 8);
                      });
}

// Additive: the source's colour bytes added to the destination's with saturation, every register
// drawn (testing for registers that add nothing cost more in branches than the stores it spared).
template <class V>
void AddRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    using R = typename V::Reg;
    const R colour = V::Set32(0x00FFFFFF);
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch)
        RowByRegisters<V, false>(
            d, s, s, w, [&](R dv, R sv, R) { return V::AddSat8u(dv, V::And(sv, colour)); },
            [&](int i)
            {
                using namespace PixelBlend;
                uint32_t sp = s[i];
                d[i] = AddColour(d[i], Red(sp), Green(sp), Blue(sp));
            });
}

// Copies of whole rows: each destination line is fetched into the cache some rows ahead of
// being written (at least 256 words ahead), so that the stores meet their lines there.
template <class V>
void CopyRectWith(uint32_t* d, ptrdiff_t dPitch, const uint32_t* s, ptrdiff_t sPitch, int w, int h)
{
    constexpr int kLine = 16; // words a cache line
    if (w <= 0) return;
    const int ahead = (256 + w - 1) / w;
    for (int j = 0; j < h; ++j, d += dPitch, s += sPitch)
    {
        if (w < V::kPixels)
        {
            std::copy_n(s, w, d);
            continue;
        }
        const uint32_t* later = j + ahead < h ? d + ahead * dPitch : nullptr;
        int i = 0;
        for (; i + kLine <= w; i += kLine)
        {
            if (later) __builtin_prefetch(later + i);
            for (int k = 0; k < kLine; k += V::kPixels)
                V::Store(d + i + k, V::Load(s + i + k));
        }
        for (; i + V::kPixels <= w; i += V::kPixels)
            V::Store(d + i, V::Load(s + i));
        if (i < w) V::Store(d + w - V::kPixels, V::Load(s + w - V::kPixels));
    }
}

} // namespace
} // namespace Kavo::BlendRows

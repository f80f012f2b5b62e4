#pragma once

// A register of four 0xAARRGGBB pixels with SSE2, as the row loops of the software image use it
// (BlendRowsKernels.h, FilteredStretchKernels.h): the pixels as bytes, or as 16-bit lanes blue,
// green, red, alpha of two pixels, or as 32-bit sums. In an unnamed namespace, so that each
// translation unit keeps the instructions it was compiled for.
#ifdef __SSE2__

#include <emmintrin.h>

#include <cstdint>

namespace Kavo
{
namespace
{

struct Sse2Register
{
    using Reg = __m128i;
    static constexpr int kPixels = 4;
    static Reg Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static void Store(void* p, Reg v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
    // The first n (below kPixels) pixels, the others fill.
    static constexpr bool kPartial = true;
    static Reg LoadPart(const uint32_t* p, int n, uint32_t fill)
    {
        alignas(16) uint32_t part[4] = {fill, fill, fill, fill};
        for (int i = 0; i < n; ++i)
            part[i] = p[i];
        return _mm_load_si128(reinterpret_cast<const __m128i*>(part));
    }
    static void StorePart(uint32_t* p, Reg v, int n)
    {
        alignas(16) uint32_t part[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(part), v);
        for (int i = 0; i < n; ++i)
            p[i] = part[i];
    }
    // kPixels / 2 words into 16-bit lanes, and two registers of such lanes stored as kPixels
    // words, each lane held to 0-255.
    static Reg Widen(const uint32_t* d)
    {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), _mm_setzero_si128());
    }
    static void PackStore(uint32_t* d, Reg a, Reg b) { Store(d, _mm_packus_epi16(a, b)); }
    static Reg Zero() { return _mm_setzero_si128(); }
    static Reg Set16(uint16_t v) { return _mm_set1_epi16(short(v)); }
    static Reg Set32(uint32_t v) { return _mm_set1_epi32(int(v)); }
    static Reg Set64(uint64_t v) { return _mm_set1_epi64x(int64_t(v)); }
    static Reg SetLanes16(uint16_t b, uint16_t g, uint16_t r, uint16_t a)
    {
        return _mm_set_epi16(short(a), short(r), short(g), short(b), short(a), short(r), short(g), short(b));
    }
    static Reg UnpackLo8(Reg a, Reg b) { return _mm_unpacklo_epi8(a, b); }
    static Reg UnpackHi8(Reg a, Reg b) { return _mm_unpackhi_epi8(a, b); }
    static Reg UnpackLo16(Reg a, Reg b) { return _mm_unpacklo_epi16(a, b); }
    static Reg UnpackHi16(Reg a, Reg b) { return _mm_unpackhi_epi16(a, b); }
    static Reg UnpackLo32(Reg a, Reg b) { return _mm_unpacklo_epi32(a, b); }
    static Reg UnpackHi32(Reg a, Reg b) { return _mm_unpackhi_epi32(a, b); }
    static Reg Packus16(Reg a, Reg b) { return _mm_packus_epi16(a, b); }
    static Reg Packs32(Reg a, Reg b) { return _mm_packs_epi32(a, b); }
    static Reg Mullo16(Reg a, Reg b) { return _mm_mullo_epi16(a, b); }
    static Reg Mulhi16u(Reg a, Reg b) { return _mm_mulhi_epu16(a, b); }
    static Reg Madd16(Reg a, Reg b) { return _mm_madd_epi16(a, b); }
    static Reg Srli16(Reg a, int k) { return _mm_srli_epi16(a, k); }
    static Reg Slli16(Reg a, int k) { return _mm_slli_epi16(a, k); }
    static Reg Srai32(Reg a, int k) { return _mm_srai_epi32(a, k); }
    static Reg Add16(Reg a, Reg b) { return _mm_add_epi16(a, b); }
    static Reg AddSat8u(Reg a, Reg b) { return _mm_adds_epu8(a, b); }
    static Reg Sub16(Reg a, Reg b) { return _mm_sub_epi16(a, b); }
    static Reg Add32(Reg a, Reg b) { return _mm_add_epi32(a, b); }
    static Reg Eq16(Reg a, Reg b) { return _mm_cmpeq_epi16(a, b); }
    static Reg And(Reg a, Reg b) { return _mm_and_si128(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm_andnot_si128(a, b); }
    static Reg Or(Reg a, Reg b) { return _mm_or_si128(a, b); }
    static Reg Max16(Reg a, Reg b) { return _mm_max_epi16(a, b); }
    static Reg CmpEq32(Reg a, Reg b) { return _mm_cmpeq_epi32(a, b); }
    static Reg CmpGt32(Reg a, Reg b) { return _mm_cmpgt_epi32(a, b); }
    static Reg Srli32(Reg a, int k) { return _mm_srli_epi32(a, k); }
    static Reg Slli32(Reg a, int k) { return _mm_slli_epi32(a, k); }
    static Reg DivTrunc32(Reg a, Reg b)
    {
        return _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(a), _mm_cvtepi32_ps(b)));
    }
    // The blue, green and red of the pixels UnpackLo8 (ChannelLanesLo) or UnpackHi8 would widen,
    // as 16-bit lanes, their alpha lanes 0; AlphaInColourLanes: each one's alpha in its three
    // colour lanes instead.
    static Reg ChannelLanesLo(Reg p)
    {
        return _mm_unpacklo_epi8(_mm_and_si128(p, _mm_set1_epi32(0x00FFFFFF)), Zero());
    }
    static Reg ChannelLanesHi(Reg p)
    {
        return _mm_unpackhi_epi8(_mm_and_si128(p, _mm_set1_epi32(0x00FFFFFF)), Zero());
    }
    static Reg AlphaInColourLanesLo(Reg p)
    {
        return _mm_unpacklo_epi32(AlphaPairs(p), _mm_srli_epi32(p, 24));
    }
    static Reg AlphaInColourLanesHi(Reg p)
    {
        return _mm_unpackhi_epi32(AlphaPairs(p), _mm_srli_epi32(p, 24));
    }
    // Each pixel's alpha in both 16-bit lanes of its 32 bits.
    static Reg AlphaPairs(Reg p)
    {
        Reg a = _mm_srli_epi32(p, 24);
        return _mm_or_si128(a, _mm_slli_epi32(a, 16));
    }
    static Reg BroadcastAlpha16(Reg a) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0xFF), 0xFF); }
    static bool AllOnes(Reg a) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, _mm_set1_epi32(-1))) == 0xFFFF; }
    static bool AllZero(Reg a)
    {
        return _mm_movemask_epi8(_mm_cmpeq_epi32(a, _mm_setzero_si128())) == 0xFFFF;
    }
    // Whether every alpha lane of a 16-bit compare holds.
    static bool AllAlphaLanes(Reg m) { return (_mm_movemask_epi8(m) & 0xC0C0) == 0xC0C0; }
};

} // namespace
} // namespace Kavo

#endif

#pragma once

// A register of eight 0xAARRGGBB pixels with AVX2, the counterpart of Sse2Register.h for the
// translation units compiled for AVX2 (and run only where the processor has it). The 8- and
// 16-bit steps work within each 128-bit half; Widen and PackStore keep the pixels in order
// across them. In an unnamed namespace, so that these instructions stay in those units.
#ifdef __AVX2__

#include <immintrin.h>

#include <cstdint>

namespace Kavo
{
namespace
{

struct Avx2Register
{
    using Reg = __m256i;
    static constexpr int kPixels = 8;
    static Reg Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static void Store(void* p, Reg v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
    // The first n (below kPixels) pixels, the others fill; the memory past them is not read.
    static constexpr bool kPartial = true;
    static Reg PartMask(int n)
    {
        return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }
    static Reg LoadPart(const uint32_t* p, int n, uint32_t fill)
    {
        Reg mask = PartMask(n);
        return _mm256_or_si256(_mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask),
                               _mm256_andnot_si256(mask, _mm256_set1_epi32(int(fill))));
    }
    // Through memory rather than a masked store, which some processors run slowly.
    static void StorePart(uint32_t* p, Reg v, int n)
    {
        alignas(32) uint32_t part[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(part), v);
        for (int i = 0; i < n; ++i)
            p[i] = part[i];
    }
    static Reg Widen(const uint32_t* d)
    {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
    }
    static void PackStore(uint32_t* d, Reg a, Reg b)
    {
        Store(d, _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8));
    }
    static Reg Zero() { return _mm256_setzero_si256(); }
    static Reg Set16(uint16_t v) { return _mm256_set1_epi16(short(v)); }
    static Reg Set32(uint32_t v) { return _mm256_set1_epi32(int(v)); }
    static Reg Set64(uint64_t v) { return _mm256_set1_epi64x(int64_t(v)); }
    static Reg SetLanes16(uint16_t b, uint16_t g, uint16_t r, uint16_t a)
    {
        return Set64(uint64_t(a) << 48 | uint64_t(r) << 32 | uint64_t(g) << 16 | b);
    }
    static Reg UnpackLo8(Reg a, Reg b) { return _mm256_unpacklo_epi8(a, b); }
    static Reg UnpackHi8(Reg a, Reg b) { return _mm256_unpackhi_epi8(a, b); }
    static Reg UnpackLo16(Reg a, Reg b) { return _mm256_unpacklo_epi16(a, b); }
    static Reg UnpackHi16(Reg a, Reg b) { return _mm256_unpackhi_epi16(a, b); }
    static Reg Packus16(Reg a, Reg b) { return _mm256_packus_epi16(a, b); }
    static Reg Packs32(Reg a, Reg b) { return _mm256_packs_epi32(a, b); }
    static Reg Mullo16(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
    static Reg Mulhi16u(Reg a, Reg b) { return _mm256_mulhi_epu16(a, b); }
    static Reg Madd16(Reg a, Reg b) { return _mm256_madd_epi16(a, b); }
    static Reg Srli16(Reg a, int k) { return _mm256_srli_epi16(a, k); }
    static Reg Slli16(Reg a, int k) { return _mm256_slli_epi16(a, k); }
    static Reg Srai32(Reg a, int k) { return _mm256_srai_epi32(a, k); }
    static Reg Add16(Reg a, Reg b) { return _mm256_add_epi16(a, b); }
    static Reg AddSat8u(Reg a, Reg b) { return _mm256_adds_epu8(a, b); }
    static Reg Sub16(Reg a, Reg b) { return _mm256_sub_epi16(a, b); }
    static Reg Add32(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
    static Reg Eq16(Reg a, Reg b) { return _mm256_cmpeq_epi16(a, b); }
    static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm256_andnot_si256(a, b); }
    static Reg Or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg Max16(Reg a, Reg b) { return _mm256_max_epi16(a, b); }
    static Reg CmpEq32(Reg a, Reg b) { return _mm256_cmpeq_epi32(a, b); }
    static Reg CmpGt32(Reg a, Reg b) { return _mm256_cmpgt_epi32(a, b); }
    static Reg Srli32(Reg a, int k) { return _mm256_srli_epi32(a, k); }
    static Reg Slli32(Reg a, int k) { return _mm256_slli_epi32(a, k); }
    static Reg DivTrunc32(Reg a, Reg b)
    {
        return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(a), _mm256_cvtepi32_ps(b)));
    }
    // Within each 128-bit half, the bytes b0 b1 b2 of a pixel and c0 c1 c2 of the next as the
    // low bytes of two pixels' colour lanes, every other byte 0.
    static Reg Shuffle(Reg p, char b0, char b1, char b2, char c0, char c1, char c2)
    {
        const char z = char(0x80);
        return _mm256_shuffle_epi8(p, _mm256_setr_epi8(b0, z, b1, z, b2, z, z, z, c0, z, c1, z, c2, z, z, z,
                                                       b0, z, b1, z, b2, z, z, z, c0, z, c1, z, c2, z, z, z));
    }
    static Reg BroadcastAlpha16(Reg a)
    {
        // One byte shuffle: the fourth 16-bit lane of each pixel into all four.
        const __m256i lanes = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7,
                                               6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
        return _mm256_shuffle_epi8(a, lanes);
    }
    // The blue, green and red of the pixels UnpackLo8 (ChannelLanesLo) or UnpackHi8 would widen,
    // as 16-bit lanes, their alpha lanes 0; AlphaInColourLanes: each one's alpha in its three
    // colour lanes instead.
    static Reg ChannelLanesLo(Reg p) { return Shuffle(p, 0, 1, 2, 4, 5, 6); }
    static Reg ChannelLanesHi(Reg p) { return Shuffle(p, 8, 9, 10, 12, 13, 14); }
    static Reg AlphaInColourLanesLo(Reg p) { return Shuffle(p, 3, 3, 3, 7, 7, 7); }
    static Reg AlphaInColourLanesHi(Reg p) { return Shuffle(p, 11, 11, 11, 15, 15, 15); }
    static bool AllOnes(Reg a) { return _mm256_testc_si256(a, _mm256_set1_epi32(-1)) != 0; }
    static bool AllZero(Reg a) { return _mm256_testz_si256(a, a) != 0; }
    static bool AllAlphaLanes(Reg m)
    {
        return (uint32_t(_mm256_movemask_epi8(m)) & 0xC0C0C0C0u) == 0xC0C0C0C0u;
    }
};

} // namespace
} // namespace Kavo

#endif

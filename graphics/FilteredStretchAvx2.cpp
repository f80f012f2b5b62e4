// The AVX2 form of the vertical pass and blend of FilteredStretch::Draw; this file alone is
// compiled for AVX2, and its function is called only where the processor has it.
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)

#include <immintrin.h>

#include "graphics/FilteredStretchKernels.h"

namespace Kavo::FilteredStretch::Avx2
{

namespace
{

// Registers of four pixels in 16-bit lanes. The 32-bit steps work within each 128-bit half,
// which keeps the pixels in order; only packing to bytes interleaves the halves, undone by
// PackStore.
struct Avx2Reg
{
    using Reg = __m256i;
    static constexpr int kPixels = 4;
    static Reg Load16(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static Reg Widen(const uint32_t* d)
    {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
    }
    static void PackStore(uint32_t* d, Reg a, Reg b)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                            _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8));
    }
    static Reg Zero() { return _mm256_setzero_si256(); }
    static Reg Set16(uint16_t v) { return _mm256_set1_epi16(short(v)); }
    static Reg Set32(uint32_t v) { return _mm256_set1_epi32(int(v)); }
    static Reg Set64(uint64_t v) { return _mm256_set1_epi64x(int64_t(v)); }
    static Reg UnpackLo16(Reg a, Reg b) { return _mm256_unpacklo_epi16(a, b); }
    static Reg UnpackHi16(Reg a, Reg b) { return _mm256_unpackhi_epi16(a, b); }
    static Reg Madd16(Reg a, Reg b) { return _mm256_madd_epi16(a, b); }
    static Reg Add32(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
    static Reg Srai32(Reg a, int k) { return _mm256_srai_epi32(a, k); }
    static Reg Packs32(Reg a, Reg b) { return _mm256_packs_epi32(a, b); }
    static Reg Mullo16(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
    static Reg Mulhi16u(Reg a, Reg b) { return _mm256_mulhi_epu16(a, b); }
    static Reg Srli16(Reg a, int k) { return _mm256_srli_epi16(a, k); }
    static Reg Slli16(Reg a, int k) { return _mm256_slli_epi16(a, k); }
    static Reg Add16(Reg a, Reg b) { return _mm256_add_epi16(a, b); }
    static Reg Sub16(Reg a, Reg b) { return _mm256_sub_epi16(a, b); }
    static Reg Eq16(Reg a, Reg b) { return _mm256_cmpeq_epi16(a, b); }
    static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm256_andnot_si256(a, b); }
    static Reg Or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg BroadcastAlpha16(Reg a)
    {
        return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF);
    }
    static bool AllLanes(Reg m) { return (uint32_t(_mm256_movemask_epi8(m)) & 0xC0C0C0C0u) == 0xC0C0C0C0u; }
};

} // namespace

void FilterRow(uint32_t* d, const RowPair* pairs, int count, int32_t bias, int n)
{
    FilterRowWith<Avx2Reg>(d, pairs, count, bias, n);
}

} // namespace Kavo::FilteredStretch::Avx2

#endif

// The AVX2 forms of the rows of BlendRows; this file alone is compiled for AVX2, and its
// functions are called only where the processor has it.
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)

#include <immintrin.h>

#include "graphics/BlendRowsKernels.h"

namespace Kavo::BlendRows::Avx2
{

namespace
{

struct Avx2Reg
{
    using Reg = __m256i;
    static constexpr int kPixels = 8;
    static Reg Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(uint32_t* p, Reg v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Reg Zero() { return _mm256_setzero_si256(); }
    static Reg Set32(uint32_t v) { return _mm256_set1_epi32(int(v)); }
    static Reg Set16(uint16_t v) { return _mm256_set1_epi16(short(v)); }
    static Reg SetLanes16(uint16_t b, uint16_t g, uint16_t r, uint16_t a)
    {
        return _mm256_set1_epi64x(int64_t(uint64_t(a) << 48 | uint64_t(r) << 32 | uint64_t(g) << 16 | b));
    }
    static Reg UnpackLo8(Reg a, Reg b) { return _mm256_unpacklo_epi8(a, b); }
    static Reg UnpackHi8(Reg a, Reg b) { return _mm256_unpackhi_epi8(a, b); }
    static Reg Packus16(Reg a, Reg b) { return _mm256_packus_epi16(a, b); }
    static Reg Mullo16(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
    static Reg Mulhi16u(Reg a, Reg b) { return _mm256_mulhi_epu16(a, b); }
    static Reg Srli16(Reg a, int k) { return _mm256_srli_epi16(a, k); }
    static Reg Add16(Reg a, Reg b) { return _mm256_add_epi16(a, b); }
    static Reg Sub16(Reg a, Reg b) { return _mm256_sub_epi16(a, b); }
    static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg AndNot(Reg a, Reg b) { return _mm256_andnot_si256(a, b); }
    static Reg Or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg BroadcastAlpha16(Reg a) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF); }
    static bool AllOnes(Reg a) { return _mm256_testc_si256(a, _mm256_set1_epi32(-1)) != 0; }
    static bool AllZero(Reg a) { return _mm256_testz_si256(a, a) != 0; }
};

} // namespace

void OpaqueOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    OpaqueOverRowWith<Avx2Reg>(d, s, n);
}

void OverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    OverRowWith<Avx2Reg>(d, s, n);
}

void ModulatedOverRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, const Modulation& m)
{
    ModulatedOverRowWith<Avx2Reg>(d, s, n, m);
}

void AddAlphaRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n)
{
    AddAlphaRowWith<Avx2Reg>(d, s, n);
}

} // namespace Kavo::BlendRows::Avx2

#endif

// The AVX2 form of the rotated blit's draw mode 0 (RotatedBlit::DrawRun); this file alone is
// compiled for AVX2, and its function is called only where the processor has it.
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)

#include "graphics/RotatedBlit.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>

namespace Kavo::RotatedBlit::Avx2
{

namespace
{

using R = __m256i;

R Set(uint32_t v)
{
    return _mm256_set1_epi32(int(v));
}

// A value below 2^16 in the low half of each 32-bit lane into both halves.
R Pair(R v)
{
    return _mm256_or_si256(v, _mm256_slli_epi32(v, 16));
}

} // namespace

// Eight pixels a register, in 32-bit lanes a pixel: the weights' products of 16-bit factors
// taken as high halves (exactly the shifts of the rule), a texel's blue and red as the two
// 16-bit halves of its lane and its green as the low half of another, each times its weight
// below 2^16, and the four products' sum below 2^16 (the weights add up to at most 255).
int DrawOverRun(const Run& run, const Mode& mode)
{
    const int whole = run.n & ~7;
    if (whole == 0 || run.bits == nullptr) return 0;
    // Every source point of the run, and every texel index, in 32 bits (the points of a run
    // lie on a line, so its ends bound them).
    const int64_t uEnd = run.u + run.du * (run.n - 1), vEnd = run.v + run.dv * (run.n - 1);
    const int64_t limit = int64_t(1) << 31;
    if (std::min(run.u, uEnd) < 0 || std::min(run.v, vEnd) < 0 || std::max(run.u, uEnd) >= limit ||
        std::max(run.v, vEnd) >= limit || run.du < -65536 || run.du > 65536 || run.dv < -65536 ||
        run.dv > 65536)
        return 0;
    const int64_t lastRow = int64_t(run.originY) + (std::max(run.v, vEnd) >> 16) + 1;
    if (run.pitch <= 0 || (lastRow + 1) * int64_t(run.pitch) >= limit) return 0;

    const int* texels = reinterpret_cast<const int*>(run.bits);
    const int pitch = int(run.pitch);
    const R base = Set(uint32_t(run.originY * pitch + run.originX));
    const R pitchLanes = Set(uint32_t(pitch));
    const R lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const R stepU = _mm256_mullo_epi32(lanes, Set(uint32_t(int32_t(run.du))));
    const R stepV = _mm256_mullo_epi32(lanes, Set(uint32_t(int32_t(run.dv))));
    const R fraction = Set(0xFFFE), one = Set(1), whole16 = Set(0x10000);
    const R lowBytes = Set(0x00FF00FF), low16 = Set(0xFFFF), opaque = Set(0xFF000000);
    const R k255 = _mm256_set1_epi16(255), k256 = Set(256);
    const bool white = mode.white;
    const R alphaLanes = Set(mode.alpha);
    const R colourBR = Set((mode.red + 1) << 16 | (mode.blue + 1)), colourG = Set(mode.green + 1);

    for (int i = 0; i < whole; i += 8)
    {
        const R u = _mm256_add_epi32(Set(uint32_t(int32_t(run.u + run.du * i))), stepU);
        const R v = _mm256_add_epi32(Set(uint32_t(int32_t(run.v + run.dv * i))), stepV);
        const R at =
            _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(v, 16), pitchLanes),
                                              _mm256_srli_epi32(u, 16)),
                             base);
        const R p00 = _mm256_i32gather_epi32(texels, at, 4);
        const R p10 = _mm256_i32gather_epi32(texels + 1, at, 4);
        const R p01 = _mm256_i32gather_epi32(texels + pitch, at, 4);
        const R p11 = _mm256_i32gather_epi32(texels + pitch + 1, at, 4);

        const R fu = _mm256_add_epi32(_mm256_and_si256(u, fraction), one);
        const R fv = _mm256_add_epi32(_mm256_and_si256(v, fraction), one);
        const R gu = _mm256_sub_epi32(whole16, fu), gv = _mm256_sub_epi32(whole16, fv);
        auto weight = [&](R su, R sv, R p)
        {
            R w = _mm256_mulhi_epu16(_mm256_mulhi_epu16(su, sv), _mm256_srli_epi32(p, 24));
            return white ? w : _mm256_srli_epi32(_mm256_mullo_epi16(w, alphaLanes), 8);
        };
        const R w00 = weight(gu, gv, p00), w10 = weight(fu, gv, p10), w01 = weight(gu, fv, p01),
                w11 = weight(fu, fv, p11);
        const R a = _mm256_add_epi32(_mm256_add_epi32(w00, w10), _mm256_add_epi32(w01, w11));

        R br = _mm256_setzero_si256(), g = _mm256_setzero_si256();
        auto add = [&](R p, R w)
        {
            br = _mm256_add_epi16(br, _mm256_mullo_epi16(_mm256_and_si256(p, lowBytes), Pair(w)));
            g = _mm256_add_epi16(g, _mm256_mullo_epi16(_mm256_srli_epi16(p, 8), w));
        };
        add(p00, w00);
        add(p10, w10);
        add(p01, w01);
        add(p11, w11);
        R sBR = _mm256_srli_epi16(br, 8), sG = _mm256_srli_epi16(g, 8);
        if (!white)
        {
            sBR = _mm256_srli_epi16(_mm256_mullo_epi16(sBR, colourBR), 8);
            sG = _mm256_srli_epi16(_mm256_mullo_epi16(sG, colourG), 8);
        }
        const R sample = _mm256_or_si256(_mm256_or_si256(sBR, _mm256_slli_epi32(sG, 8)), opaque);

        // Over an opaque pixel outA is 256: each channel ((d 255) >> 8 (256 - a)) >> 8 + s.
        uint32_t* d = run.d + i;
        const R dv = _mm256_loadu_si256(reinterpret_cast<const R*>(d));
        const R keep = Pair(_mm256_sub_epi32(k256, a));
        auto mix = [&](R d16, R s16)
        {
            R kept = _mm256_srli_epi16(
                _mm256_mullo_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(d16, k255), 8), keep), 8);
            return _mm256_min_epu16(_mm256_add_epi16(kept, s16), k255);
        };
        const R mixedBR = mix(_mm256_and_si256(dv, lowBytes), sBR);
        const R mixedG = _mm256_and_si256(mix(_mm256_srli_epi16(dv, 8), sG), low16);
        const R blended = _mm256_or_si256(_mm256_or_si256(mixedBR, _mm256_slli_epi32(mixedG, 8)), opaque);

        const R full = _mm256_cmpgt_epi32(a, Set(250)), none = _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
        const R out = _mm256_blendv_epi8(_mm256_blendv_epi8(blended, sample, full), dv, none);
        // Pixels blended over a destination that is not opaque take the plain rule.
        const R plain =
            _mm256_andnot_si256(_mm256_or_si256(_mm256_or_si256(full, none),
                                                _mm256_cmpeq_epi32(_mm256_srli_epi32(dv, 24), Set(255))),
                                _mm256_set1_epi32(-1));
        _mm256_storeu_si256(reinterpret_cast<R*>(d), out);
        if (!_mm256_testz_si256(plain, plain))
        {
            alignas(32) uint32_t dests[8], samples[8], alphas[8], which[8];
            _mm256_store_si256(reinterpret_cast<R*>(dests), dv);
            _mm256_store_si256(reinterpret_cast<R*>(samples), sample);
            _mm256_store_si256(reinterpret_cast<R*>(alphas), a);
            _mm256_store_si256(reinterpret_cast<R*>(which), plain);
            for (int k = 0; k < 8; ++k)
                if (which[k])
                    d[k] = OverPixel(dests[k], PixelBlend::Red(samples[k]), PixelBlend::Green(samples[k]),
                                     PixelBlend::Blue(samples[k]), alphas[k]);
        }
    }
    return whole;
}

} // namespace Kavo::RotatedBlit::Avx2

#endif

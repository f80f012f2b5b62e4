#include "graphics/RotatedBlit.h"

#include "graphics/BlendRows.h"

namespace Kavo::RotatedBlit
{

#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
// The AVX2 form of draw mode 0, in RotatedBlitAvx2.cpp (compiled for AVX2, run only where the
// processor has it): it draws the first pixels of the run in whole registers and returns how many.
namespace Avx2
{
int DrawOverRun(const Run& run, const Mode& mode);
} // namespace Avx2
#endif

namespace
{

template <bool kPalettized>
void DrawPixels(const Run& run, const Mode& mode, int first)
{
    using namespace PixelBlend;
    const bool normal = mode.normal, white = mode.white;
    const uint32_t ca = mode.alpha, cr = mode.red, cg = mode.green, cb = mode.blue;
    const uint32_t kr = cr * ca / 255, kg = cg * ca / 255, kb = cb * ca / 255;
    auto texel = [&](ptrdiff_t i) -> uint32_t
    {
        if constexpr (kPalettized)
            return run.palette[run.indices[i]];
        else
            return run.bits[i];
    };
    int64_t u = run.u + run.du * first, v = run.v + run.dv * first;
    for (int i = first; i < run.n; ++i, u += run.du, v += run.dv)
    {
        ptrdiff_t at = ptrdiff_t(run.originY + int(v >> 16)) * run.pitch + run.originX + int(u >> 16);
        uint32_t fu = uint32_t((u & 0xFFFE) + 1), fv = uint32_t((v & 0xFFFE) + 1);
        uint32_t p00 = texel(at), p10 = texel(at + 1), p01 = texel(at + run.pitch),
                 p11 = texel(at + run.pitch + 1);
        Weights w = WeightsAt(fu, fv, p00 >> 24, p10 >> 24, p01 >> 24, p11 >> 24);
        if (normal && !white)
        {
            w.w11 = (w.w11 * ca) >> 8;
            w.w10 = (w.w10 * ca) >> 8;
            w.w01 = (w.w01 * ca) >> 8;
            w.w00 = (w.w00 * ca) >> 8;
        }
        uint32_t a = w.w00 + w.w10 + w.w01 + w.w11;
        if (a == 0) continue;
        auto sample = [&](uint32_t (*ch)(uint32_t))
        { return (ch(p00) * w.w00 + ch(p10) * w.w10 + ch(p01) * w.w01 + ch(p11) * w.w11) >> 8; };
        uint32_t sr = sample(Red), sg = sample(Green), sb = sample(Blue);
        uint32_t& d = run.d[i];
        if (normal)
        {
            if (!white)
            {
                sr = (sr * (cr + 1)) >> 8;
                sg = (sg * (cg + 1)) >> 8;
                sb = (sb * (cb + 1)) >> 8;
            }
            d = OverPixel(d, sr, sg, sb, a);
        }
        else
        {
            if (!white)
            {
                sr = (sr * kr) >> 8;
                sg = (sg * kg) >> 8;
                sb = (sb * kb) >> 8;
            }
            d = AddColour(d, sr, sg, sb);
        }
    }
}

} // namespace

void DrawRunPlainly(const Run& run, const Mode& mode)
{
    if (run.indices)
        DrawPixels<true>(run, mode, 0);
    else
        DrawPixels<false>(run, mode, 0);
}

void DrawRun(const Run& run, const Mode& mode)
{
    if (run.indices)
    {
        DrawPixels<true>(run, mode, 0);
        return;
    }
    int done = 0;
#if defined(__x86_64__) && defined(KAVO_HAVE_AVX2_ROWS)
    if (mode.normal && BlendRows::HasWideForms()) done = Avx2::DrawOverRun(run, mode);
#endif
    DrawPixels<false>(run, mode, done);
}

} // namespace Kavo::RotatedBlit

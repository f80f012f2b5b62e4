#pragma once

#include "graphics/PixelBlend.h"

#include <cstddef>
#include <cstdint>

// The pixels of the software image's rotated blit (MemoryImage::BltRotated), one run of a
// destination row at a time: the bilinear sample of a 2 x 2 neighbourhood at a 16.16 source
// point, each texel weighted by its share and its alpha, drawn over the destination or added
// to it.
//
// DrawRunPlainly is the rule a pixel at a time. DrawRun gives exactly its pixels faster: in
// draw mode 0 from a source of ARGB words, eight pixels at a time with AVX2 where the processor
// has it (BlendRows::AllowWideForms chooses); every integer step fits the 16-bit lanes it is
// made in, and destination pixels that are not opaque take the plain rule.
namespace Kavo::RotatedBlit
{

// How the samples are drawn: draw mode 0 (over) or additive, and the colour's channels held to
// 0-255.
struct Mode
{
    bool normal = true;
    bool white = true;
    uint32_t alpha = 255, red = 255, green = 255, blue = 255;
};

// n destination pixels from d whose source points all lie inside the source rectangle, one
// texel short of its right and bottom edges: the first at (u, v) (16.16, relative to the
// source's texel (originX, originY)), the next ones (du, dv) further each. The source is its
// ARGB words, or (indices non-null) its palette and index bytes, pitch texels a row.
struct Run
{
    uint32_t* d = nullptr;
    int n = 0;
    int64_t u = 0, v = 0, du = 0, dv = 0;
    int originX = 0, originY = 0;
    const uint32_t* bits = nullptr;
    const uint8_t* indices = nullptr;
    const uint32_t* palette = nullptr;
    ptrdiff_t pitch = 0;
};

void DrawRun(const Run& run, const Mode& mode);
void DrawRunPlainly(const Run& run, const Mode& mode);

// The four weights of a sample at the fractions fu, fv (1 to 65535) of texels of alphas a00,
// a10, a01, a11: each texel's share (16 bits) times its alpha, shifted down by 16.
struct Weights
{
    uint32_t w00, w10, w01, w11;
};
inline Weights WeightsAt(uint32_t fu, uint32_t fv, uint32_t a00, uint32_t a10, uint32_t a01, uint32_t a11)
{
    return {((((65536 - fu) * (65536 - fv)) >> 16) * a00) >> 16, (((fu * (65536 - fv)) >> 16) * a10) >> 16,
            ((((65536 - fu) * fv) >> 16) * a01) >> 16, (((fu * fv) >> 16) * a11) >> 16};
}

// A sample of draw mode 0 (channels premultiplied, 0-254; coverage a 1-255) over the
// destination pixel d: from a = 251 the sample alone, opaque; otherwise
// outA = 256 - ((256 - dA) (256 - a)) >> 8, each channel ((d dA) >> 8 (256 - a) + s 256) / outA
// held to 255, alpha outA - 1.
inline uint32_t OverPixel(uint32_t d, uint32_t sr, uint32_t sg, uint32_t sb, uint32_t a)
{
    using namespace PixelBlend;
    if (a >= 251)
        return 0xFF000000 | (std::min<uint32_t>(sr, 255) << 16) | (std::min<uint32_t>(sg, 255) << 8) |
               std::min<uint32_t>(sb, 255);
    uint32_t dA = d >> 24;
    uint32_t outA = 256 - (((256 - dA) * (256 - a)) >> 8);
    auto mix = [&](uint32_t dc, uint32_t sc)
    { return std::min<uint32_t>((((dc * dA) >> 8) * (256 - a) + sc * 256) / outA, 255); };
    return ((outA - 1) << 24) | (mix(Red(d), sr) << 16) | (mix(Green(d), sg) << 8) | mix(Blue(d), sb);
}

} // namespace Kavo::RotatedBlit

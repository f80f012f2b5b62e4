#pragma once

// The two texel fetches of the textured fillers. Coordinates are 16.16 texels with no wrapping or
// clamping by axis: only the linear index row x width + column (modulo 2^32) is tested against
// the texture's size, and an index at or past it reads as 0 (alpha 0, black).

#include "raster/FixedPoint.h"
#include "raster/RasterRecords.h"

#include <cstdint>

namespace Kavo
{

inline uint32_t TexelAt(const RasterTexture& texture, uint32_t index)
{
    return index < texture.size ? texture.bits[index] : 0;
}

// The texel at column u >> 16 and row v >> 16, both taken as unsigned: a u just below 0 is
// column 65535. A column past the width reads on into the next row.
inline uint32_t PointSample(const RasterTexture& texture, uint32_t u, uint32_t v)
{
    return TexelAt(texture, (v >> 16) * uint32_t(texture.width) + (u >> 16));
}

// A bilinear sample: colour premultiplied by the filtered alpha, and that alpha (0..254).
struct BilinearTexel
{
    uint32_t rgb; // 0x00RRGGBB
    uint32_t a;
};

// Filters the 2 x 2 block around (u, v) - half a texel up and left, so that a texel centre maps
// to a whole value - with weights scaled by each texel's alpha and not renormalised: transparent
// texels pull the colour toward black, and an opaque white texture gives 0xFD at texel centres.
// The right neighbour of a row's last texel is the next row's first; neighbours past the end of
// the texture read as 0 and carry no weight.
inline BilinearTexel BilinearSample(const RasterTexture& texture, int32_t u, int32_t v)
{
    const int32_t uh = WrapSub(u, 0x8000);
    const int32_t vh = WrapSub(v, 0x8000);
    const int32_t fu = FixedFloor(uh);
    const int32_t fv = FixedFloor(vh);
    const uint32_t width = uint32_t(texture.width);
    const uint32_t i = uint32_t(fv >> 16) * width + uint32_t(fu >> 16);
    const uint32_t t00 = TexelAt(texture, i);
    const uint32_t t10 = TexelAt(texture, i + 1);
    const uint32_t t01 = TexelAt(texture, i + width);
    const uint32_t t11 = TexelAt(texture, i + width + 1);

    // Both fractions odd and within 1..0xFFFF, so every product of two fits 32 bits.
    const uint32_t fx = ((uint32_t(uh) - uint32_t(fu)) & 0xFFFEu) + 1;
    const uint32_t fy = ((uint32_t(vh) - uint32_t(fv)) & 0xFFFEu) + 1;
    const uint32_t w00 = ((((0x10000 - fx) * (0x10000 - fy)) >> 16) * (t00 >> 24)) >> 16;
    const uint32_t w10 = ((((0x10000 - fy) * fx) >> 16) * (t10 >> 24)) >> 16;
    const uint32_t w01 = ((((0x10000 - fx) * fy) >> 16) * (t01 >> 24)) >> 16;
    const uint32_t w11 = (((fx * fy) >> 16) * (t11 >> 24)) >> 16;

    // Each channel's sum stays below 65536, so red and blue share one word without carries.
    const uint32_t rb =
        (t00 & 0xFF00FFu) * w00 + (t10 & 0xFF00FFu) * w10 + (t01 & 0xFF00FFu) * w01 + (t11 & 0xFF00FFu) * w11;
    const uint32_t g =
        (t00 & 0xFF00u) * w00 + (t10 & 0xFF00u) * w10 + (t01 & 0xFF00u) * w01 + (t11 & 0xFF00u) * w11;
    return {((rb >> 8) & 0xFF00FFu) | ((g >> 8) & 0xFF00u), w00 + w10 + w01 + w11};
}

} // namespace Kavo

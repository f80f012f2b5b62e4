#pragma once

#include "raster/PixelFormats.h"

#include <algorithm>
#include <cstdint>

// The blend rules of the software image, on 0xAARRGGBB words. s = source channel, d =
// destination channel, dA = destination alpha, a = source alpha (0-255).
namespace Kavo::PixelBlend
{

// (dA, a) -> dA + (255 - dA) x a / 255, and (outA, a) -> 255 x a / outA: the two divisions of
// the "over" rules, looked up rather than divided per pixel.
struct OverTables
{
    uint8_t outAlpha[256][256];
    uint8_t weight[256][256];
    OverTables();
};
const OverTables& GetOverTables();

// A colour channel held to 0-255.
inline uint32_t Clamp255(int v)
{
    return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline uint32_t Red(uint32_t p)
{
    return (p >> 16) & 0xFF;
}
inline uint32_t Green(uint32_t p)
{
    return (p >> 8) & 0xFF;
}
inline uint32_t Blue(uint32_t p)
{
    return p & 0xFF;
}

// The alpha class of a pixel for the run-length data: 0 transparent, 1 opaque, 2 partly
// transparent.
inline int AlphaClass(uint32_t pixel)
{
    uint32_t a = pixel >> 24;
    return a == 0 ? 0 : a == 255 ? 1 : 2;
}

// Rule over: a = 0 leaves the pixel; otherwise outA = dA + (255 - dA) a / 255, w = 255 a / outA,
// each channel (d (256 - w) + s w) >> 8.
inline uint32_t Over(uint32_t d, uint32_t sr, uint32_t sg, uint32_t sb, uint32_t a, const OverTables& t)
{
    if (a == 0) return d;
    uint32_t outA = t.outAlpha[d >> 24][a];
    uint32_t w = t.weight[outA][a];
    uint32_t r = (Red(d) * (256 - w) + sr * w) >> 8;
    uint32_t g = (Green(d) * (256 - w) + sg * w) >> 8;
    uint32_t b = (Blue(d) * (256 - w) + sb * w) >> 8;
    return (outA << 24) | (r << 16) | (g << 8) | b;
}

// The destination part of rule over-split: each channel (d (256 - w)) >> 8, red and blue
// together in one word (ScaleChannels, the rasteriser's source term, weights each channel of a
// word by w up to 256 that way).
inline uint32_t SplitKeep(uint32_t d, uint32_t w)
{
    return ScaleChannels(d, 256 - w);
}

// Rule over-split with an unmodulated source word.
inline uint32_t OverSplit(uint32_t d, uint32_t s, uint32_t a, const OverTables& t)
{
    if (a == 0) return d;
    uint32_t outA = t.outAlpha[d >> 24][a];
    uint32_t w = t.weight[outA][a];
    return (outA << 24) | (SplitKeep(d, w) + ScaleChannels(s, w));
}

// Rule opaque-over for an opaque destination, 0 < a < 255: each channel (d (256 - a)) >> 8
// plus (s a) >> 8, alpha 255.
inline uint32_t OpaqueOver(uint32_t d, uint32_t s, uint32_t a)
{
    return 0xFF000000 | (SplitKeep(d, a) + ScaleChannels(s, a));
}

inline uint32_t Saturate(uint32_t v)
{
    return v > 255 ? 255 : v;
}

// Rule additive: each colour channel min(d + s, 255), the destination alpha kept.
inline uint32_t AddColour(uint32_t d, uint32_t sr, uint32_t sg, uint32_t sb)
{
    return (d & 0xFF000000) | (Saturate(Red(d) + sr) << 16) | (Saturate(Green(d) + sg) << 8) |
           Saturate(Blue(d) + sb);
}

} // namespace Kavo::PixelBlend

#pragma once

#include <cstdint>

namespace Kavo
{

// One triangle corner as the fillers read it. Every field is a signed 16.16 fixed-point value:
// x, y in destination pixels; a, r, g, b the vertex colour (channel 0..255 as value << 16),
// meaningful only for fillers with vertex colours; u, v in texels, only for textured fillers.
struct RasterVertex
{
    int32_t x;
    int32_t y;
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
    int32_t u;
    int32_t v;
};

// The texture as the fillers see it. The fillers read bits, width and size; there is no
// wrapping or clamping by axis, only the linear texel index is tested against size.
struct RasterTexture
{
    const uint32_t* bits; // width x height texels 0xAARRGGBB, row by row, no gap between rows
    int32_t shift;        // 16 - floor(log2(width))
    int32_t maxU;         // (width - 1) << 16
    int32_t maxV;         // (height - 1) << 16
    int32_t width;
    uint32_t size; // width x height
    int32_t height;
};

// The constant drawing colour, each channel 0..255, alpha first.
struct RasterColor
{
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
};

// One entry of the filler table. vertices points to three corners that lie inside the
// destination's clip rectangle; destBits is the destination's pixel (0, 0) and pitch its row
// length in bytes. A filler never clips, never changes its inputs and keeps no state.
using TriangleRasterizer = void (*)(const RasterVertex* vertices, uint32_t* destBits, int pitch,
                                    const RasterTexture* texture, const RasterColor* color);

// Destination pixel formats.
constexpr int kRasterFormat8888 = 0x8888; // 32-bit ARGB; blending reads and writes the alpha
constexpr int kRasterFormat888 = 0x888;   // 32-bit; the alpha is never read and written 0xFF
constexpr int kRasterFormat565 = 0x565;   // 16-bit, red 11..15, green 5..10, blue 0..4
constexpr int kRasterFormat555 = 0x555;   // 16-bit, red 10..14, green 5..9, blue 0..4, bit 15 zero

// The option bits of a table index; the format group adds 0, 32, 64 or 96.
constexpr unsigned kRasterBilinear = 0x01;
constexpr unsigned kRasterModulate = 0x02;     // the constant colour scales the pixels
constexpr unsigned kRasterVertexColors = 0x04; // the vertex colours scale the pixels
constexpr unsigned kRasterBlend = 0x08;        // the texels' alpha blends them over the destination
constexpr unsigned kRasterTextured = 0x10;

constexpr int kRasterTableSize = 128;

} // namespace Kavo

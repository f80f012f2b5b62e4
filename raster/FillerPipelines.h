#pragma once

// The two filler templates behind the table: untextured (Gouraud) fillers and textured fillers,
// each instantiated per destination format and per set of option bits, so that a pixel step
// carries no option tests: only the alpha thresholds and the texel bounds remain.

#include "raster/PixelFormats.h"
#include "raster/RasterRecords.h"
#include "raster/TextureSampling.h"
#include "raster/TriangleWalk.h"

#include <cstdint>

namespace Kavo
{

// How the fillers with both vertex colours and the constant colour scale their own copies of a
// corner's a, r, g, b (in that order) before the walk: (value x k) >> 8, unsigned, so that 255
// with k = 255 becomes 254.00390625.
inline void ScaleVertexColors(int32_t* channels, const RasterColor& color)
{
    const int32_t k[4] = {color.a, color.r, color.g, color.b};
    for (int i = 0; i < 4; ++i)
        channels[i] = int32_t((uint32_t(channels[i]) * uint32_t(k[i])) >> 8);
}

// One channel of a packed colour times a factor: ((channel x factor) >> 8) & 0xFF.
inline uint32_t ModulateChannel(uint32_t rgb, int shift, uint32_t factor)
{
    return (((((rgb >> shift) & 0xFF) * factor) >> 8) & 0xFF) << shift;
}

inline uint32_t ModulateColor(uint32_t rgb, uint32_t fr, uint32_t fg, uint32_t fb)
{
    return ModulateChannel(rgb, 16, fr) | ModulateChannel(rgb, 8, fg) | ModulateChannel(rgb, 0, fb);
}

// Untextured pixel: interpolants a, r, g, b. An alpha above 240.0 writes opaque, above 8.0
// blends by its integer part, and anything else - a value that rounding carried below 0
// included - leaves the pixel unchanged.
template <typename Format>
struct GouraudPixel
{
    void operator()(uint8_t* pixel, const uint32_t* c) const
    {
        const int32_t a = int32_t(c[0]);
        if (a > 0xF00000)
            Format::WriteOpaque(pixel, ColorBytes(c[1], c[2], c[3]));
        else if (a > 0x80000)
            Format::BlendVertexColor(pixel, c[1], c[2], c[3], uint32_t(a) >> 16);
    }
};

template <typename Format, bool kModulate>
void FillGouraud(const RasterVertex* vertices, uint32_t* destBits, int pitch, const RasterColor* color)
{
    WalkCorner<4> corners[3];
    for (int i = 0; i < 3; ++i)
    {
        const RasterVertex& v = vertices[i];
        corners[i] = {v.x, v.y, {v.a, v.r, v.g, v.b}};
        if constexpr (kModulate) ScaleVertexColors(corners[i].c, *color);
    }
    WalkTriangle<4, Format::kPixelBytes>(corners, destBits, pitch, GouraudPixel<Format>());
}

// Textured pixel for the option bits kFlags (bilinear, modulate, vertex colours, blend), with the
// interpolants u, v, or a, r, g, b, u, v when there are vertex colours.
//   sample:   the texel (point) or the premultiplied 2 x 2 filter (bilinear), with its alpha;
//   skip:     blending fillers leave the pixel alone when that alpha is 8 or less;
//   colour:   vertex colours: each channel times its factor, bilinear then times the alpha
//             factor as well; constant colour alone: each channel times K, bilinear then times K_a;
//   alpha:    the factor's alpha (vertex or constant) times the texel's alpha when blending, or
//             times 255 when not; the texel's alpha alone when only blending;
//   write:    opaque from 240 up, else blended with the source term (c x alpha) >> 8 of a straight
//             point sample or the already premultiplied bilinear colour.
// Without any of modulate, vertex colours and blend every pixel is written opaque.
template <typename Format, unsigned kFlags>
struct TexturedPixel
{
    static constexpr bool kBilinear = (kFlags & kRasterBilinear) != 0;
    static constexpr bool kModulate = (kFlags & kRasterModulate) != 0;
    static constexpr bool kVertex = (kFlags & kRasterVertexColors) != 0;
    static constexpr bool kBlend = (kFlags & kRasterBlend) != 0;
    static constexpr int kU = kVertex ? 4 : 0; // index of u among the interpolants

    const RasterTexture& texture;
    const RasterColor* color; // read only with kModulate

    void operator()(uint8_t* pixel, const uint32_t* c) const
    {
        uint32_t rgb;
        uint32_t texelAlpha;
        if constexpr (kBilinear)
        {
            const BilinearTexel sample = BilinearSample(texture, int32_t(c[kU]), int32_t(c[kU + 1]));
            rgb = sample.rgb;
            texelAlpha = sample.a;
        }
        else
        {
            const uint32_t texel = PointSample(texture, c[kU], c[kU + 1]);
            rgb = texel & 0xFFFFFFu;
            texelAlpha = texel >> 24;
        }

        if constexpr (!kModulate && !kVertex && !kBlend)
        {
            Format::WriteOpaque(pixel, rgb);
            return;
        }
        if constexpr (kBlend)
        {
            if (texelAlpha <= kSkipAlpha) return;
        }

        uint32_t m;
        uint32_t alpha;
        const uint32_t sourceAlpha = kBlend ? texelAlpha : 255;
        if constexpr (kVertex)
        {
            // The vertex factors: the integer parts of a, r, g, b, or with the constant colour
            // (K x value) >> 24, so that K enters a second time after the scaling of the corners.
            uint32_t f[4] = {c[0] >> 16, c[1] >> 16, c[2] >> 16, c[3] >> 16};
            if constexpr (kModulate)
            {
                f[0] = (uint32_t(color->a) * c[0]) >> 24;
                f[1] = (uint32_t(color->r) * c[1]) >> 24;
                f[2] = (uint32_t(color->g) * c[2]) >> 24;
                f[3] = (uint32_t(color->b) * c[3]) >> 24;
            }
            m = ModulateColor(rgb, f[1], f[2], f[3]);
            if constexpr (kBilinear) m = ModulateColor(m, f[0], f[0], f[0]);
            alpha = (f[0] * sourceAlpha) >> 8;
        }
        else if constexpr (kModulate)
        {
            const uint32_t ka = uint32_t(color->a);
            m = ModulateColor(rgb, uint32_t(color->r), uint32_t(color->g), uint32_t(color->b));
            if constexpr (kBilinear) m = ModulateColor(m, ka, ka, ka);
            alpha = (ka * sourceAlpha) >> 8;
        }
        else
        {
            m = rgb;
            alpha = texelAlpha;
        }

        if (alpha >= kOpaqueAlpha)
            Format::WriteOpaque(pixel, m);
        else
            Format::Blend(pixel, kBilinear ? m : ScaleChannels(m, alpha), alpha);
    }
};

template <typename Format, unsigned kFlags>
void FillTextured(const RasterVertex* vertices, uint32_t* destBits, int pitch, const RasterTexture* texture,
                  const RasterColor* color)
{
    using Pixel = TexturedPixel<Format, kFlags>;
    const Pixel step{*texture, color};
    if constexpr (Pixel::kVertex)
    {
        WalkCorner<6> corners[3];
        for (int i = 0; i < 3; ++i)
        {
            const RasterVertex& v = vertices[i];
            corners[i] = {v.x, v.y, {v.a, v.r, v.g, v.b, v.u, v.v}};
            if constexpr (Pixel::kModulate) ScaleVertexColors(corners[i].c, *color);
        }
        WalkTriangle<6, Format::kPixelBytes>(corners, destBits, pitch, step);
    }
    else
    {
        WalkCorner<2> corners[3];
        for (int i = 0; i < 3; ++i)
            corners[i] = {vertices[i].x, vertices[i].y, {vertices[i].u, vertices[i].v}};
        WalkTriangle<2, Format::kPixelBytes>(corners, destBits, pitch, step);
    }
}

// Defines the named filler name as the textured template for one format and set of option bits.
#define KAVO_TEXTURED_FILLER(name, Format, flags)                                                            \
    void name(const RasterVertex* vertices, uint32_t* destBits, int pitch, const RasterTexture* texture,     \
              const RasterColor* color)                                                                      \
    {                                                                                                        \
        FillTextured<Format, flags>(vertices, destBits, pitch, texture, color);                              \
    }

} // namespace Kavo

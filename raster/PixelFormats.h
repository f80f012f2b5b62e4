#pragma once

// The four destination formats: how a pixel is loaded and stored, written opaque and blended.
// Colours handed in are words 0x00RRGGBB with each channel 0..255; all arithmetic is unsigned
// 32-bit. Where a format's fields do not reach into each other, red and blue are weighted with
// one multiplication and green with a second; the results equal the per-channel formulas.

#include <cstdint>
#include <cstring>

namespace Kavo
{

// Blends below this alpha; writes opaque at or above it.
constexpr uint32_t kOpaqueAlpha = 240;
// Blending fillers leave a pixel untouched when the texel's own alpha is at most this.
constexpr uint32_t kSkipAlpha = 8;

// Source term of a straight colour under alpha: (c x alpha) >> 8 for each channel.
inline uint32_t ScaleChannels(uint32_t rgb, uint32_t alpha)
{
    return ((((rgb & 0xFF00FFu) * alpha) >> 8) & 0xFF00FFu) | ((((rgb & 0xFF00u) * alpha) >> 8) & 0xFF00u);
}

// The bytes (low 8 bits of the integer parts) of three 16.16 channels as 0x00RRGGBB.
inline uint32_t ColorBytes(uint32_t r, uint32_t g, uint32_t b)
{
    return ((r >> 16) & 0xFF) << 16 | ((g >> 16) & 0xFF) << 8 | ((b >> 16) & 0xFF);
}

struct Format8888
{
    static constexpr int kPixelBytes = 4;

    static uint32_t Load(const uint8_t* p)
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    static void Store(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

    static void WriteOpaque(uint8_t* p, uint32_t rgb) { Store(p, rgb | 0xFF000000u); }

    // Composites the premultiplied source s (each channel at most 255) with alpha < 240 over a
    // destination with an alpha of its own. The result is straight again: each channel is the sum
    // of both premultiplied terms over the new alpha outA, stored as outA - 1.
    // outA is 0 only for alpha 0 over alpha 0, which leaves the pixel as it is (fully
    // transparent over fully transparent). A quotient past 255, which a source premultiplied a
    // little more than its alpha says can give over a transparent pixel, is held at 255.
    static void Blend(uint8_t* p, uint32_t s, uint32_t alpha)
    {
        const uint32_t d = Load(p);
        const uint32_t dA = d >> 24;
        const uint32_t inv = 256 - alpha;
        const uint32_t outA = 256 - (((256 - dA) * inv) >> 8);
        if (outA == 0) return;
        uint32_t result = (outA - 1) << 24;
        for (int shift = 0; shift <= 16; shift += 8)
        {
            const uint32_t dc = (d >> shift) & 0xFF;
            const uint32_t sc = (s >> shift) & 0xFF;
            uint32_t q = (((dc * dA) >> 8) * inv + 256 * sc) / outA;
            if (q > 255) q = 255;
            result |= q << shift;
        }
        Store(p, result);
    }

    // The untextured blend: r, g, b are the interpolated 16.16 vertex colour, sA its alpha's
    // integer part within 8..240. The source channels keep fraction bits (green 8, red 16) into
    // the product with sA.
    static void BlendVertexColor(uint8_t* p, uint32_t r, uint32_t g, uint32_t b, uint32_t sA)
    {
        const uint32_t d = Load(p);
        const uint32_t dA = d >> 24;
        const uint32_t inv = 256 - sA;
        const uint32_t outA = 256 - (((256 - dA) * inv) >> 8); // 8..256
        const uint32_t source[3] = {b, g, r};
        uint32_t result = (outA - 1) << 24;
        for (int i = 0; i < 3; ++i)
        {
            const int shift = 8 * i;
            const uint32_t m = 0xFFu << shift;
            const uint32_t t = ((((d & m) * dA) >> 8) & m) * inv;
            const uint32_t sTerm = ((source[i] >> (16 - shift)) * sA) & (m << 8);
            result |= ((t + sTerm) / outA) & m;
        }
        Store(p, result);
    }
};

struct Format888
{
    static constexpr int kPixelBytes = 4;

    static uint32_t Load(const uint8_t* p) { return Format8888::Load(p); }
    static void Store(uint8_t* p, uint32_t v) { Format8888::Store(p, v); }
    static void WriteOpaque(uint8_t* p, uint32_t rgb) { Store(p, rgb | 0xFF000000u); }

    // The destination is taken as opaque: its weight is 255 - alpha and its alpha byte is not
    // read; the result has alpha 0xFF.
    static void Blend(uint8_t* p, uint32_t s, uint32_t alpha)
    {
        const uint32_t d = Load(p);
        const uint32_t w = 255 - alpha;
        const uint32_t rb = (((d & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
        const uint32_t g = (((d & 0xFF00u) * w) >> 8) & 0xFF00u;
        Store(p, 0xFF000000u | (rb + g + s));
    }

    // The untextured blend: the bytes of the 16.16 colour r, g, b weighted by sA (8..240).
    static void BlendVertexColor(uint8_t* p, uint32_t r, uint32_t g, uint32_t b, uint32_t sA)
    {
        Blend(p, ScaleChannels(ColorBytes(r, g, b), sA), sA);
    }
};

// The 16-bit formats: red 5 bits at bit kRedShift, green kGreenBits wide at bit 5, blue 5 bits
// at bit 0; bits above the fields are written as 0. Blends weigh every field, green included,
// with the 5-bit factor (255 - alpha) >> 3, and no field carries into the next.
template <int kRedShift, int kGreenBits>
struct Format16
{
    static constexpr int kPixelBytes = 2;
    static constexpr uint32_t kRedBlueMask = (0x1Fu << kRedShift) | 0x1Fu;
    static constexpr uint32_t kGreenMask = ((1u << kGreenBits) - 1) << 5;

    static uint32_t Load(const uint8_t* p)
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    static void Store(uint8_t* p, uint32_t v)
    {
        const uint16_t h = uint16_t(v);
        std::memcpy(p, &h, 2);
    }

    // The top bits of each channel of 0x00RRGGBB.
    static uint32_t Pack(uint32_t rgb)
    {
        return ((rgb >> (19 - kRedShift)) & (0x1Fu << kRedShift)) |
               ((rgb >> (11 - kGreenBits)) & kGreenMask) | ((rgb >> 3) & 0x1Fu);
    }

    static void WriteOpaque(uint8_t* p, uint32_t rgb) { Store(p, Pack(rgb)); }

    static void Blend(uint8_t* p, uint32_t s, uint32_t alpha)
    {
        const uint32_t d = Load(p);
        const uint32_t k = (255 - alpha) >> 3;
        const uint32_t rb = (((d & kRedBlueMask) * k) >> 5) & kRedBlueMask;
        const uint32_t g = (((d & kGreenMask) * k) >> 5) & kGreenMask;
        Store(p, rb + g + Pack(s));
    }

    // The untextured blend: the bytes of the 16.16 colour r, g, b weighted by sA (8..240).
    static void BlendVertexColor(uint8_t* p, uint32_t r, uint32_t g, uint32_t b, uint32_t sA)
    {
        Blend(p, ScaleChannels(ColorBytes(r, g, b), sA), sA);
    }
};

using Format565 = Format16<11, 6>;
using Format555 = Format16<10, 5>;

} // namespace Kavo

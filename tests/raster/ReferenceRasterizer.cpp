#include "ReferenceRasterizer.h"

#include "RasterTestSupport.h"

#include <utility>

namespace Kavo::Testing
{

namespace
{

// 64-bit products keep their low 64 bits; 32-bit sums wrap.
int64_t Mul64(int64_t a, int64_t b)
{
    return int64_t(uint64_t(a) * uint64_t(b));
}

int32_t Low32(int64_t v)
{
    return int32_t(uint32_t(uint64_t(v)));
}

int32_t Add(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

int32_t Sub(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) - uint32_t(b));
}

int32_t Times(int32_t a, int32_t n)
{
    return int32_t(uint32_t(a) * uint32_t(n));
}

int64_t Recip(int32_t d)
{
    return (int64_t(1) << 48) / int64_t(d);
}

int32_t Slope(int32_t diff, int64_t r)
{
    return Low32(Mul64(diff, r) >> 32);
}

int64_t Step64(int32_t s, int32_t dist)
{
    return (int64_t(s) * int64_t(dist)) >> 16;
}

int32_t Step(int32_t s, int32_t dist)
{
    return Low32(Step64(s, dist));
}

int32_t CeilRow(int32_t v)
{
    return int32_t(uint32_t(v) + 0xFFFFu) >> 16;
}

struct Corner
{
    int32_t x, y;
    int32_t c[6]; // a, r, g, b, u, v
};

struct Options
{
    int format;
    bool textured, bilinear, modulate, vertex, blend;
};

uint32_t Byte(uint32_t word, int shift)
{
    return (word >> shift) & 0xFF;
}

struct Pixel
{
    uint8_t* p;
    int bytes;

    uint32_t Load() const { return LoadPixel(p, bytes); }
    void Store(uint32_t value) const { StorePixel(p, bytes, value); }
};

// Opaque write of the channels r, g, b (0..255).
void WriteOpaque(const Pixel& px, int format, uint32_t r, uint32_t g, uint32_t b)
{
    if (format == kRasterFormat565)
        px.Store(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    else if (format == kRasterFormat555)
        px.Store(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    else
        px.Store(0xFF000000u | (r << 16) | (g << 8) | b);
}

// Blend of the premultiplied source channels s[0..2] (r, g, b) with alpha < 240.
void BlendSource(const Pixel& px, int format, const uint32_t s[3], uint32_t alpha)
{
    const uint32_t d = px.Load();
    if (format == kRasterFormat565 || format == kRasterFormat555)
    {
        const uint32_t k = (255 - alpha) >> 3;
        const bool is565 = format == kRasterFormat565;
        const uint32_t dr = is565 ? (d >> 11) & 31 : (d >> 10) & 31;
        const uint32_t dg = is565 ? (d >> 5) & 63 : (d >> 5) & 31;
        const uint32_t db = d & 31;
        const uint32_t r = ((dr * k) >> 5) + (s[0] >> 3);
        const uint32_t g = ((dg * k) >> 5) + (s[1] >> (is565 ? 2 : 3));
        const uint32_t b = ((db * k) >> 5) + (s[2] >> 3);
        px.Store(is565 ? (r << 11) | (g << 5) | b : (r << 10) | (g << 5) | b);
        return;
    }
    if (format == kRasterFormat888)
    {
        uint32_t out = 0xFF000000u;
        for (int i = 0; i < 3; ++i)
        {
            const int shift = 16 - 8 * i;
            out |= (((Byte(d, shift) * (255 - alpha)) >> 8) + s[i]) << shift;
        }
        px.Store(out);
        return;
    }
    const uint32_t dA = d >> 24;
    const uint32_t outA = 256 - (((256 - dA) * (256 - alpha)) >> 8);
    if (outA == 0) return; // nothing over nothing stays as it is
    uint32_t out = (outA - 1) << 24;
    for (int i = 0; i < 3; ++i)
    {
        const int shift = 16 - 8 * i;
        uint32_t q = (((Byte(d, shift) * dA) >> 8) * (256 - alpha) + 256 * s[i]) / outA;
        if (q > 255) q = 255;
        out |= q << shift;
    }
    px.Store(out);
}

void GouraudPixel(const Pixel& px, int format, const int32_t* c)
{
    const int32_t a = c[0];
    const uint32_t r = uint32_t(c[1]), g = uint32_t(c[2]), b = uint32_t(c[3]);
    if (a > 0xF00000)
    {
        WriteOpaque(px, format, Byte(r, 16), Byte(g, 16), Byte(b, 16));
        return;
    }
    if (a <= 0x80000) return;
    const uint32_t sA = uint32_t(a) >> 16;
    if (format != kRasterFormat8888)
    {
        const uint32_t s[3] = {(Byte(r, 16) * sA) >> 8, (Byte(g, 16) * sA) >> 8, (Byte(b, 16) * sA) >> 8};
        BlendSource(px, format, s, sA);
        return;
    }
    // The 32-bit composite over a destination alpha, channel by channel in place.
    const uint32_t d = px.Load();
    const uint32_t dA = d >> 24;
    const uint32_t outA = 256 - (((256 - dA) * (256 - sA)) >> 8);
    const uint32_t source[3] = {b, g, r};
    uint32_t out = (outA - 1) << 24;
    for (int i = 0; i < 3; ++i)
    {
        const int s = 8 * i;
        const uint32_t m = 0xFFu << s;
        const uint32_t t = ((((d & m) * dA) >> 8) & m) * (256 - sA);
        const uint32_t st = ((source[i] >> (16 - s)) * sA) & (m << 8);
        out |= ((t + st) / outA) & m;
    }
    px.Store(out);
}

uint32_t Texel(const RasterTexture& t, uint32_t index)
{
    return index < t.size ? t.bits[index] : 0;
}

// Sample as channels x[0..2] (r, g, b) and alpha x[3].
void Sample(const RasterTexture& t, bool bilinear, int32_t u, int32_t v, uint32_t x[4])
{
    if (!bilinear)
    {
        const uint32_t column = uint32_t(u) >> 16;
        const uint32_t row = uint32_t(v) >> 16;
        const uint32_t texel = Texel(t, row * uint32_t(t.width) + column);
        x[0] = Byte(texel, 16);
        x[1] = Byte(texel, 8);
        x[2] = Byte(texel, 0);
        x[3] = texel >> 24;
        return;
    }
    const int32_t u1 = Sub(u, 0x8000), v1 = Sub(v, 0x8000);
    const int32_t fu = int32_t(uint32_t(u1) & 0xFFFF0000u), fv = int32_t(uint32_t(v1) & 0xFFFF0000u);
    const uint32_t i = uint32_t(fv >> 16) * uint32_t(t.width) + uint32_t(fu >> 16);
    const uint32_t texels[4] = {Texel(t, i), Texel(t, i + 1), Texel(t, i + uint32_t(t.width)),
                                Texel(t, i + uint32_t(t.width) + 1)};
    const uint32_t fx = ((uint32_t(u1) - uint32_t(fu)) & 0xFFFE) + 1;
    const uint32_t fy = ((uint32_t(v1) - uint32_t(fv)) & 0xFFFE) + 1;
    const uint32_t w[4] = {((((0x10000 - fx) * (0x10000 - fy)) >> 16) * (texels[0] >> 24)) >> 16,
                           ((((0x10000 - fy) * fx) >> 16) * (texels[1] >> 24)) >> 16,
                           ((((0x10000 - fx) * fy) >> 16) * (texels[2] >> 24)) >> 16,
                           (((fx * fy) >> 16) * (texels[3] >> 24)) >> 16};
    for (int c = 0; c < 3; ++c)
    {
        uint32_t sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += Byte(texels[k], 16 - 8 * c) * w[k];
        x[c] = sum >> 8;
    }
    x[3] = w[0] + w[1] + w[2] + w[3];
}

void TexturedPixel(const Pixel& px, const Options& o, const int32_t* c, const RasterTexture& t,
                   const RasterColor& k)
{
    uint32_t x[4];
    Sample(t, o.bilinear, c[4], c[5], x);
    const uint32_t kc[3] = {uint32_t(k.r), uint32_t(k.g), uint32_t(k.b)};
    const uint32_t ka = uint32_t(k.a);

    if (!o.modulate && !o.vertex && !o.blend)
    {
        WriteOpaque(px, o.format, x[0], x[1], x[2]);
        return;
    }
    if (o.blend && x[3] <= 8) return;

    uint32_t m[3];
    uint32_t alpha;
    if (o.vertex)
    {
        uint32_t f[4];
        for (int i = 0; i < 4; ++i)
        {
            const uint32_t kk = i == 0 ? ka : kc[i - 1];
            f[i] = o.modulate ? (kk * uint32_t(c[i])) >> 24 : uint32_t(c[i]) >> 16;
        }
        for (int i = 0; i < 3; ++i)
        {
            m[i] = ((x[i] * f[i + 1]) >> 8) & 0xFF;
            if (o.bilinear) m[i] = ((m[i] * f[0]) >> 8) & 0xFF;
        }
        alpha = (f[0] * (o.blend ? x[3] : 255)) >> 8;
    }
    else if (o.modulate)
    {
        for (int i = 0; i < 3; ++i)
        {
            m[i] = (x[i] * kc[i]) >> 8;
            if (o.bilinear) m[i] = (m[i] * ka) >> 8;
        }
        alpha = (ka * (o.blend ? x[3] : 255)) >> 8;
    }
    else
    {
        for (int i = 0; i < 3; ++i)
            m[i] = x[i];
        alpha = x[3];
    }

    if (alpha >= 240)
    {
        WriteOpaque(px, o.format, m[0], m[1], m[2]);
        return;
    }
    uint32_t s[3];
    for (int i = 0; i < 3; ++i)
        s[i] = o.bilinear ? m[i] : (m[i] * alpha) >> 8;
    BlendSource(px, o.format, s, alpha);
}

} // namespace

void ReferenceRasterize(int index, const RasterVertex* vertices, uint32_t* destBits, int pitch,
                        const RasterTexture& texture, const RasterColor& color)
{
    static const int kFormats[4] = {kRasterFormat8888, kRasterFormat888, kRasterFormat565, kRasterFormat555};
    const int i = index & 31;
    Options o;
    o.format = kFormats[(index >> 5) & 3];
    o.textured = (i & 0x10) != 0;
    o.blend = o.textured && (i & 0x08) != 0;
    o.vertex = (i & 0x04) != 0;
    o.modulate = (i & 0x02) != 0;
    o.bilinear = o.textured && (i & 0x01) != 0;
    if (!o.textured && !o.vertex) return;

    Corner corners[3];
    for (int n = 0; n < 3; ++n)
    {
        const RasterVertex& v = vertices[n];
        corners[n] = {v.x, v.y, {v.a, v.r, v.g, v.b, v.u, v.v}};
        if (o.vertex && o.modulate)
        {
            const int32_t k[4] = {color.a, color.r, color.g, color.b};
            for (int c = 0; c < 4; ++c)
                corners[n].c[c] = int32_t((uint32_t(corners[n].c[c]) * uint32_t(k[c])) >> 8);
        }
    }

    // Sort by y, keeping the given order among equal y.
    Corner* p1 = &corners[0];
    Corner* p2 = &corners[1];
    Corner* p3 = &corners[2];
    if (p1->y > p2->y) std::swap(p1, p2);
    if (p2->y > p3->y) std::swap(p2, p3);
    if (p1->y > p2->y) std::swap(p1, p2);
    const Corner& top = *p1;
    const Corner& mid = *p2;
    const Corner& bot = *p3;

    const int32_t yTop = CeilRow(top.y), yBot = CeilRow(bot.y), yMid = CeilRow(mid.y);
    if (yTop == yBot) return;
    const int64_t rL = Recip(Sub(bot.y, top.y));
    const int32_t slopeX = Slope(Sub(bot.x, top.x), rL);
    int32_t slopeC[6];
    for (int c = 0; c < 6; ++c)
        slopeC[c] = Slope(Sub(bot.c[c], top.c[c]), rL);
    const int32_t dyMid = Sub(mid.y, top.y);
    const int32_t xLongAtMid = Add(Step(slopeX, dyMid), top.x);
    if (mid.x == xLongAtMid) return;
    const int64_t rW = Recip(Sub(mid.x, xLongAtMid));
    int32_t grad[6];
    for (int c = 0; c < 6; ++c)
        grad[c] = Low32(Mul64(int64_t(mid.c[c]) - Step64(slopeC[c], dyMid) - int64_t(top.c[c]), rW) >> 32);
    const bool longOnLeft = xLongAtMid < mid.x;
    const int32_t d0 = Sub(int32_t(uint32_t(yTop) << 16), top.y);
    const int32_t dMid = Sub(int32_t(uint32_t(yMid) << 16), mid.y);
    const int32_t slopeUpper = yMid != yTop ? Slope(Sub(mid.x, top.x), Recip(Sub(mid.y, top.y))) : 0;
    const int32_t slopeLower = yBot != yMid ? Slope(Sub(bot.x, mid.x), Recip(Sub(bot.y, mid.y))) : 0;

    const int pixelBytes = o.format == kRasterFormat565 || o.format == kRasterFormat555 ? 2 : 4;
    const int stride = pixelBytes == 4 ? pitch >> 2 : pitch >> 1;
    for (int32_t y = yTop; y < yBot; ++y)
    {
        const int32_t rows = y - yTop;
        const int32_t xLong = Add(Add(Step(slopeX, d0), top.x), Times(slopeX, rows));
        const int32_t xShort = y < yMid
                                   ? Add(Add(Step(slopeUpper, d0), top.x), Times(slopeUpper, rows))
                                   : Add(Add(Step(slopeLower, dMid), mid.x), Times(slopeLower, y - yMid));
        const int32_t x0 = CeilRow(longOnLeft ? xLong : xShort);
        const int32_t x1 = CeilRow(longOnLeft ? xShort : xLong);
        const int32_t p = Sub(int32_t(uint32_t(x0) << 16), xLong);
        for (int32_t x = x0; x < x1; ++x)
        {
            int32_t c[6];
            for (int k = 0; k < 6; ++k)
            {
                const int32_t cLong = Add(Add(Step(slopeC[k], d0), top.c[k]), Times(slopeC[k], rows));
                c[k] = Add(Add(Step(grad[k], p), cLong), Times(grad[k], x - x0));
            }
            const Pixel px{reinterpret_cast<uint8_t*>(destBits) + (int64_t(y) * stride + x) * pixelBytes,
                           pixelBytes};
            if (o.textured)
                TexturedPixel(px, o, c, texture, color);
            else
                GouraudPixel(px, o.format, c);
        }
    }
}

} // namespace Kavo::Testing

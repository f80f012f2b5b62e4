#pragma once

// The scan conversion that every filler shares. Corners are sorted by y; rows run from the first
// row at or below the top corner to the last one above the bottom corner; x and every
// interpolant are carried down the long edge (top to bottom), and each row steps the
// interpolants with constant horizontal gradients. Pixel (X, Y) is drawn when
// top.y <= Y < bottom.y and xl(Y) <= X < xr(Y): two triangles that share an edge never both draw
// a pixel on it, and a pixel whose centre lies on a right or bottom edge is not drawn.

#include "raster/FixedPoint.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace Kavo
{

// One corner for the walk: position and N interpolants, all 16.16.
template <int N>
struct WalkCorner
{
    int32_t x;
    int32_t y;
    int32_t c[N];
};

// Walks the triangle and calls step(pixelAddress, values) for every covered pixel, values being
// the N interpolants at that pixel. pixelBytes is 4 for the 32-bit formats and 2 for the 16-bit
// ones; a row of the destination is pitch >> 2 (32-bit) or pitch >> 1 (16-bit) whole pixels long.
//
// Columns are kept within half a pixel of the triangle's own x extent. The edges of an ordinary
// triangle stray past its corners by rounding alone (a few 1/65536 of a pixel), so this changes
// nothing there; it stops an edge whose slope overflowed (a sliver thinner than a row or
// narrower than a pixel) from reaching outside the clip rectangle, within a quarter pixel of
// which the strip driver puts every corner.
template <int N, int kPixelBytes, typename PixelStep>
void WalkTriangle(const WalkCorner<N> (&corners)[3], uint32_t* destBits, int pitch, PixelStep&& step)
{
    const WalkCorner<N>* top = &corners[0];
    const WalkCorner<N>* mid = &corners[1];
    const WalkCorner<N>* bot = &corners[2];
    if (top->y > mid->y) std::swap(top, mid);
    if (mid->y > bot->y) std::swap(mid, bot);
    if (top->y > mid->y) std::swap(top, mid);

    const int32_t yTop = FixedCeil(top->y);
    const int32_t yBot = FixedCeil(bot->y);
    if (yTop >= yBot) return;
    const int32_t yMid = FixedCeil(mid->y);

    // Long edge, top to bottom.
    const int64_t rLong = FixedReciprocal(WrapSub(bot->y, top->y));
    const int32_t slopeX = FixedSlope(WrapSub(bot->x, top->x), rLong);
    int32_t slopeC[N];
    for (int k = 0; k < N; ++k)
        slopeC[k] = FixedSlope(WrapSub(bot->c[k], top->c[k]), rLong);

    // Width at the middle corner and the horizontal gradients.
    const int32_t dyMid = WrapSub(mid->y, top->y);
    const int32_t xLongAtMid = WrapAdd(FixedStep(slopeX, dyMid), top->x);
    if (mid->x == xLongAtMid) return;
    const int64_t rWidth = FixedReciprocal(WrapSub(mid->x, xLongAtMid));
    uint32_t grad[N];
    for (int k = 0; k < N; ++k)
    {
        int64_t across = int64_t(mid->c[k]) - FixedStep64(slopeC[k], dyMid) - int64_t(top->c[k]);
        grad[k] = uint32_t(FixedMulShift32(across, rWidth));
    }
    const bool longOnLeft = xLongAtMid < mid->x;

    const int32_t colMin = FixedCeil(WrapSub(std::min({top->x, mid->x, bot->x}), 0x8000));
    const int32_t colMax = FixedCeil(WrapAdd(std::max({top->x, mid->x, bot->x}), 0x8000));

    // Prestep the long edge to the first row.
    const int32_t d0 = WrapSub(int32_t(uint32_t(yTop) << 16), top->y);
    int32_t xLong = WrapAdd(FixedStep(slopeX, d0), top->x);
    uint32_t cLong[N];
    for (int k = 0; k < N; ++k)
        cLong[k] = uint32_t(WrapAdd(FixedStep(slopeC[k], d0), top->c[k]));

    const ptrdiff_t rowBytes = ptrdiff_t(pitch >> (kPixelBytes == 4 ? 2 : 1)) * kPixelBytes;
    uint8_t* row = reinterpret_cast<uint8_t*>(destBits) + ptrdiff_t(yTop) * rowBytes;

    auto drawRows = [&](int32_t yFrom, int32_t yTo, int32_t xShort, int32_t slopeShort)
    {
        for (int32_t y = yFrom; y < yTo; ++y)
        {
            const int32_t xl = longOnLeft ? xLong : xShort;
            const int32_t xr = longOnLeft ? xShort : xLong;
            const int32_t x0 = std::max(FixedCeil(xl), colMin);
            const int32_t x1 = std::min(FixedCeil(xr), colMax);
            if (x1 > x0)
            {
                // Measured from the long edge, whichever side it is on.
                const int32_t p = WrapSub(int32_t(uint32_t(x0) << 16), xLong);
                uint32_t values[N];
                for (int k = 0; k < N; ++k)
                    values[k] = uint32_t(FixedStep(int32_t(grad[k]), p)) + cLong[k];
                uint8_t* pixel = row + ptrdiff_t(x0) * kPixelBytes;
                for (int32_t x = x0; x < x1; ++x)
                {
                    step(pixel, values);
                    for (int k = 0; k < N; ++k)
                        values[k] += grad[k];
                    pixel += kPixelBytes;
                }
            }
            xLong = WrapAdd(xLong, slopeX);
            for (int k = 0; k < N; ++k)
                cLong[k] += uint32_t(slopeC[k]);
            xShort = WrapAdd(xShort, slopeShort);
            row += rowBytes;
        }
    };

    if (yMid != yTop)
    {
        const int64_t r = FixedReciprocal(WrapSub(mid->y, top->y));
        const int32_t slopeShort = FixedSlope(WrapSub(mid->x, top->x), r);
        drawRows(yTop, yMid, WrapAdd(FixedStep(slopeShort, d0), top->x), slopeShort);
    }
    if (yBot != yMid)
    {
        const int64_t r = FixedReciprocal(WrapSub(bot->y, mid->y));
        const int32_t slopeShort = FixedSlope(WrapSub(bot->x, mid->x), r);
        const int32_t dMid = WrapSub(int32_t(uint32_t(yMid) << 16), mid->y);
        drawRows(yMid, yBot, WrapAdd(FixedStep(slopeShort, dMid), mid->x), slopeShort);
    }
}

} // namespace Kavo

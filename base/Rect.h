#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Kavo
{

// Covers columns mX to mX + mWidth - 1 and rows mY to mY + mHeight - 1.
class Rect
{
public:
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;

    Rect() = default;
    Rect(int x, int y, int width, int height) : mX(x), mY(y), mWidth(width), mHeight(height) {}

    static Rect RectZero() { return Rect(); }

    // The overlap of two rectangles. Rectangles that only touch give a zero-size rectangle at
    // the touching edge; rectangles apart give (0, 0, 0, 0). The edges are taken in 64 bits, so
    // a rectangle reaching past the int range is cut, never wrapped; the overlap ends at the
    // last int column and row at the latest.
    Rect Intersection(const Rect& other) const
    {
        int64_t x = std::max(mX, other.mX);
        int64_t width = OverlapEnd(mX, mWidth, other.mX, other.mWidth) - x;
        if (width < 0) return Rect();
        int64_t y = std::max(mY, other.mY);
        int64_t height = OverlapEnd(mY, mHeight, other.mY, other.mHeight) - y;
        if (height < 0) return Rect();
        return Rect(int(x), int(y), int(width), int(height));
    }

    bool Contains(int x, int y) const
    {
        return x >= mX && y >= mY && x < int64_t(mX) + mWidth && y < int64_t(mY) + mHeight;
    }

    bool operator==(const Rect& other) const = default;

private:
    static int64_t OverlapEnd(int a, int aLength, int b, int bLength)
    {
        return std::min(
            {int64_t(a) + aLength, int64_t(b) + bLength, int64_t(std::numeric_limits<int>::max())});
    }
};

} // namespace Kavo

#pragma once

#include <algorithm>

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
    // the touching edge; rectangles apart give (0, 0, 0, 0).
    Rect Intersection(const Rect& other) const
    {
        int x = std::max(mX, other.mX);
        int width = std::min(mX + mWidth, other.mX + other.mWidth) - x;
        if (width < 0) return Rect();
        int y = std::max(mY, other.mY);
        int height = std::min(mY + mHeight, other.mY + other.mHeight) - y;
        if (height < 0) return Rect();
        return Rect(x, y, width, height);
    }

    bool Contains(int x, int y) const { return x >= mX && y >= mY && x < mX + mWidth && y < mY + mHeight; }

    bool operator==(const Rect& other) const = default;
};

} // namespace Kavo

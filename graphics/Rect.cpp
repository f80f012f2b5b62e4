#include "graphics/Rect.h"

#include <algorithm>

namespace Kavo
{

Rect Rect::Intersection(const Rect& other) const
{
    int x = std::max(mX, other.mX);
    int width = std::min(mX + mWidth, other.mX + other.mWidth) - x;
    if (width < 0) return Rect();
    int y = std::max(mY, other.mY);
    int height = std::min(mY + mHeight, other.mY + other.mHeight) - y;
    if (height < 0) return Rect();
    return Rect(x, y, width, height);
}

} // namespace Kavo

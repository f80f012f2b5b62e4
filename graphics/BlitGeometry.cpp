#include "graphics/BlitGeometry.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

namespace
{

bool StretchRects(const Rect& dest, const Rect& clip, const Rect& srcRect, Rect& clippedDest, RectD& srcPart,
                  bool mirror)
{
    clippedDest = dest.Intersection(clip);
    if (dest.mWidth == 0 || dest.mHeight == 0) return false;
    // In doubles: the differences of far rectangles do not fit an int.
    double rx = double(srcRect.mWidth) / dest.mWidth;
    double ry = double(srcRect.mHeight) / dest.mHeight;
    double destX = dest.mX, destY = dest.mY, destW = dest.mWidth, destH = dest.mHeight;
    if (mirror)
        srcPart.x = ((destX - clippedDest.mX) - clippedDest.mWidth + destW) * rx + srcRect.mX;
    else
        srcPart.x = (clippedDest.mX - destX) * rx + srcRect.mX;
    srcPart.y = (clippedDest.mY - destY) * ry + srcRect.mY;
    srcPart.width = (clippedDest.mWidth - destW) * rx + srcRect.mWidth;
    srcPart.height = (clippedDest.mHeight - destH) * ry + srcRect.mHeight;
    return srcPart.width > 0 && srcPart.height > 0;
}

} // namespace

bool CalcStretchBltRects(const Rect& dest, const Rect& clip, const Rect& srcRect, Rect& clippedDest,
                         RectD& srcPart)
{
    return StretchRects(dest, clip, srcRect, clippedDest, srcPart, false);
}

bool CalcStretchBltMirrorRects(const Rect& dest, const Rect& clip, const Rect& srcRect, Rect& clippedDest,
                               RectD& srcPart)
{
    return StretchRects(dest, clip, srcRect, clippedDest, srcPart, true);
}

bool CalcRotatedBltBounds(const Rect& srcRect, const Rect& clip, float x, float y, float centerX,
                          float centerY, double angle, RectD& bounds)
{
    double c = std::cos(angle), s = std::sin(angle);
    double corners[4][2] = {{0, 0},
                            {double(srcRect.mWidth), 0},
                            {0, double(srcRect.mHeight)},
                            {double(srcRect.mWidth), double(srcRect.mHeight)}};
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i)
    {
        double px = corners[i][0] - centerX, py = corners[i][1] - centerY;
        double dx = x + centerX + c * px + s * py;
        double dy = y + centerY - s * px + c * py;
        if (i == 0 || dx < minX) minX = dx;
        if (i == 0 || dx > maxX) maxX = dx;
        if (i == 0 || dy < minY) minY = dy;
        if (i == 0 || dy > maxY) maxY = dy;
    }
    double left = std::max(minX, double(clip.mX));
    double top = std::max(minY, double(clip.mY));
    double right = std::min(maxX, double(clip.mX) + clip.mWidth);
    double bottom = std::min(maxY, double(clip.mY) + clip.mHeight);
    if (!(right - left > 0) || !(bottom - top > 0))
    {
        bounds = RectD();
        return false;
    }
    bounds = RectD{left, top, right - left, bottom - top};
    return true;
}

} // namespace Kavo

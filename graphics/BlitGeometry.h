#pragma once

#include "base/Rect.h"

namespace Kavo
{

// A rectangle in doubles: x, y, width, height.
struct RectD
{
    double x = 0, y = 0, width = 0, height = 0;
};

// Rectangle helpers shared by the software image and the display image.

// The destination clipped to clip, and the part of the source it shows. True when that source
// part has a width and height above 0.
bool CalcStretchBltRects(const Rect& dest, const Rect& clip, const Rect& srcRect, Rect& clippedDest,
                         RectD& srcPart);
// The same for a blit flipped left to right: the source part is taken from the mirrored side.
bool CalcStretchBltMirrorRects(const Rect& dest, const Rect& clip, const Rect& srcRect, Rect& clippedDest,
                               RectD& srcPart);
// The bounding box of the source rectangle rotated by angle about (centerX, centerY) of the
// source rectangle and placed at (x, y), intersected with the clip. True when not empty.
bool CalcRotatedBltBounds(const Rect& srcRect, const Rect& clip, float x, float y, float centerX,
                          float centerY, double angle, RectD& bounds);

// Cuts a segment to a box (Liang-Barsky) when an end point lies outside it, so that a line
// given far-away coordinates is walked only where it can meet the box. Segments inside the box
// are left exactly as given. False when nothing of the segment is inside or a coordinate is not
// a finite number.
bool CutSegmentToBox(double& x1, double& y1, double& x2, double& y2, double minX, double minY, double maxX,
                     double maxY);

} // namespace Kavo

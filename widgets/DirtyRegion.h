#pragma once

#include "base/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Kavo
{

// The part of the screen to draw again, as a short list of rectangles. A rectangle that lies
// inside one already held adds nothing; one that holds others takes their place; two that
// overlap or lie close are joined into their bounding box when that box is at most kMergeSlack
// pixels larger than the two together. Past kMaxRects rectangles, the two whose bounding box
// wastes the least are joined, so the list stays short however much is marked: the region only
// ever grows, never loses a pixel that was added.
class DirtyRegion
{
public:
    static constexpr size_t kMaxRects = 16;
    static constexpr int64_t kMergeSlack = 64 * 64;

    // Empty rectangles (no width or no height) are ignored.
    void Add(const Rect& rect);
    void Clear() { mRects.clear(); }
    bool Empty() const { return mRects.empty(); }
    const std::vector<Rect>& Rects() const { return mRects; }
    // The rectangles, leaving the region empty.
    std::vector<Rect> Take();

    // The smallest rectangle holding both.
    static Rect BoundingBox(const Rect& a, const Rect& b);
    static int64_t Area(const Rect& rect) { return int64_t(rect.mWidth) * rect.mHeight; }
    // a holds all of b.
    static bool Holds(const Rect& a, const Rect& b);

private:
    std::vector<Rect> mRects;

    // Joins the two rectangles whose bounding box adds the fewest pixels.
    void JoinCheapestPair();
};

} // namespace Kavo

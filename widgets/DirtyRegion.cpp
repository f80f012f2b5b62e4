#include "widgets/DirtyRegion.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Kavo
{

Rect DirtyRegion::BoundingBox(const Rect& a, const Rect& b)
{
    int64_t left = std::min(a.mX, b.mX), top = std::min(a.mY, b.mY);
    int64_t right = std::max(int64_t(a.mX) + a.mWidth, int64_t(b.mX) + b.mWidth);
    int64_t bottom = std::max(int64_t(a.mY) + a.mHeight, int64_t(b.mY) + b.mHeight);
    return Rect(int(left), int(top), int(std::min<int64_t>(right - left, std::numeric_limits<int>::max())),
                int(std::min<int64_t>(bottom - top, std::numeric_limits<int>::max())));
}

bool DirtyRegion::Holds(const Rect& a, const Rect& b)
{
    return b.mX >= a.mX && b.mY >= a.mY && int64_t(b.mX) + b.mWidth <= int64_t(a.mX) + a.mWidth &&
           int64_t(b.mY) + b.mHeight <= int64_t(a.mY) + a.mHeight;
}

void DirtyRegion::Add(const Rect& rect)
{
    if (rect.mWidth <= 0 || rect.mHeight <= 0) return;
    Rect joined = rect;
    bool grown = false; // rectangles held before were taken into joined
    // Each join may bring the box over further rectangles: go round until none is taken.
    for (bool taken = true; taken;)
    {
        taken = false;
        for (size_t i = 0; i < mRects.size(); ++i)
        {
            const Rect& held = mRects[i];
            if (Holds(held, joined))
            {
                if (!grown) return; // nothing new
                joined = held;
            }
            else if (Holds(joined, held) ||
                     Area(BoundingBox(held, joined)) <= Area(held) + Area(joined) + kMergeSlack)
            {
                joined = BoundingBox(held, joined);
            }
            else
            {
                continue;
            }
            mRects.erase(mRects.begin() + std::ptrdiff_t(i));
            grown = taken = true;
            break;
        }
    }
    mRects.push_back(joined);
    while (mRects.size() > kMaxRects)
        JoinCheapestPair();
}

void DirtyRegion::JoinCheapestPair()
{
    size_t bestA = 0, bestB = 1;
    int64_t bestWaste = std::numeric_limits<int64_t>::max();
    for (size_t a = 0; a < mRects.size(); ++a)
        for (size_t b = a + 1; b < mRects.size(); ++b)
        {
            int64_t waste = Area(BoundingBox(mRects[a], mRects[b])) - Area(mRects[a]) - Area(mRects[b]);
            if (waste < bestWaste)
            {
                bestWaste = waste;
                bestA = a;
                bestB = b;
            }
        }
    Rect box = BoundingBox(mRects[bestA], mRects[bestB]);
    mRects.erase(mRects.begin() + std::ptrdiff_t(bestB));
    mRects.erase(mRects.begin() + std::ptrdiff_t(bestA));
    // The box may now overlap others: Add joins what it should.
    Add(box);
}

std::vector<Rect> DirtyRegion::Take()
{
    std::vector<Rect> rects;
    rects.swap(mRects);
    return rects;
}

} // namespace Kavo

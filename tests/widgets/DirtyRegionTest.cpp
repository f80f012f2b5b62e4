#include "widgets/DirtyRegion.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Kavo::DirtyRegion;
using Kavo::Rect;

// Rectangles added in turn and the region they leave.
TEST(DirtyRegion, KeepsWhatWasAddedInFewRectangles)
{
    const struct
    {
        const char* what;
        std::vector<Rect> added;
        std::vector<Rect> region;
    } cases[] = {
        {"nothing in an empty rectangle", {Rect(5, 5, 0, 10), Rect(5, 5, 10, -1)}, {}},
        {"inside a held one", {Rect(0, 0, 100, 100), Rect(10, 10, 5, 5)}, {Rect(0, 0, 100, 100)}},
        {"over held ones",
         {Rect(10, 10, 5, 5), Rect(60, 60, 5, 5), Rect(0, 0, 100, 100)},
         {Rect(0, 0, 100, 100)}},
        {"overlapping", {Rect(0, 0, 50, 50), Rect(40, 10, 50, 50)}, {Rect(0, 0, 90, 60)}},
        {"near: a box of little waste", {Rect(0, 0, 10, 10), Rect(30, 0, 10, 10)}, {Rect(0, 0, 40, 10)}},
        {"apart", {Rect(0, 0, 10, 10), Rect(500, 400, 10, 10)}, {Rect(0, 0, 10, 10), Rect(500, 400, 10, 10)}},
        {"a join that reaches a third",
         {Rect(0, 0, 100, 100), Rect(300, 0, 100, 100), Rect(90, 0, 220, 100)},
         {Rect(0, 0, 400, 100)}},
    };
    for (const auto& c : cases)
    {
        DirtyRegion region;
        for (const Rect& rect : c.added)
            region.Add(rect);
        EXPECT_EQ(region.Rects(), c.region) << c.what;
    }
}

// However many rectangles come, at most kMaxRects are kept, and every pixel added lies in one.
TEST(DirtyRegion, ManyRectanglesFallBackToBoundingBoxes)
{
    DirtyRegion region;
    std::vector<Rect> added;
    for (int i = 0; i < 40; ++i)
    {
        Rect star(i * 1000 + (i % 3) * 200, i * 1000, 9, 9); // too far apart to join on their own
        added.push_back(star);
        region.Add(star);
    }
    ASSERT_EQ(region.Rects().size(), DirtyRegion::kMaxRects);
    int64_t area = 0;
    for (const Rect& rect : region.Rects())
        area += DirtyRegion::Area(rect);
    for (const Rect& star : added)
    {
        bool held = false;
        for (const Rect& rect : region.Rects())
            held = held || DirtyRegion::Holds(rect, star);
        EXPECT_TRUE(held) << star.mX << "," << star.mY;
    }
    // Neighbours were joined, not everything into one box.
    EXPECT_LT(area, DirtyRegion::Area(Rect(0, 0, 40000, 40000)) / 4);

    std::vector<Rect> taken = region.Take();
    EXPECT_FALSE(taken.empty());
    EXPECT_TRUE(region.Empty());
}

} // namespace

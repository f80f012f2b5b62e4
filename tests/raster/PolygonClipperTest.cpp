#include "raster/PolygonClipper.h"
#include "raster/FixedPoint.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Kavo;

TEST(PolygonClipper, FixedFloorClearsTheFraction)
{
    const struct
    {
        int32_t value, floor;
    } cases[] = {{0, 0},
                 {0x18000, 0x10000},
                 {0x10000, 0x10000},
                 {-1, -0x10000},
                 {-0x8000, -0x10000},
                 {-0x10000, -0x10000},
                 {-0x18000, -0x20000}};
    for (const auto& c : cases)
        EXPECT_EQ(FixedFloor(c.value), c.floor) << c.value;
}

TEST(PolygonClipper, KeepsWhatLiesInTheClosedBox)
{
    const ClipBox box = {0, 9, 0, 9};
    ClipVertexPool pool;
    const TriVertex* polygon[kMaxPolygonCorners];

    // Corners on the bounds are inside: nothing is cut and no corner is made.
    const TriVertex onEdges[3] = {{0, 0}, {9, 0}, {0, 9}};
    const TriVertex* triangle[3] = {&onEdges[0], &onEdges[1], &onEdges[2]};
    ASSERT_EQ(ClipPolygonToRect(triangle, box, pool, polygon), 3);
    EXPECT_EQ(polygon[0], &onEdges[0]);
    EXPECT_EQ(polygon[1], &onEdges[1]);
    EXPECT_EQ(polygon[2], &onEdges[2]);
    EXPECT_EQ(pool.Count(), 0);

    // Wholly outside one bound: nothing is left.
    const TriVertex outside[3] = {{-5, 1}, {-1, 2}, {-3, 8}};
    const TriVertex* away[3] = {&outside[0], &outside[1], &outside[2]};
    EXPECT_EQ(ClipPolygonToRect(away, box, pool, polygon), 0);
}

// A triangle that pokes out of the left and top sides and past the bottom-right corner loses a
// corner in every pass and gains two: 7 corners, every one within the box.
TEST(PolygonClipper, EachPassAddsAtMostOneCorner)
{
    const ClipBox box = {0, 10, 0, 10};
    const TriVertex corners[3] = {{-1, 5}, {6, -1}, {12, 12}};
    const TriVertex* triangle[3] = {&corners[0], &corners[1], &corners[2]};
    ClipVertexPool pool;
    const TriVertex* polygon[kMaxPolygonCorners];
    const int count = ClipPolygonToRect(triangle, box, pool, polygon);
    ASSERT_EQ(count, 7);
    for (int i = 0; i < count; ++i)
    {
        EXPECT_NEAR(std::clamp(polygon[i]->x, 0.0f, 10.0f), polygon[i]->x, 1e-5f);
        EXPECT_NEAR(std::clamp(polygon[i]->y, 0.0f, 10.0f), polygon[i]->y, 1e-5f);
    }
}

TEST(PolygonClipper, CrossingsInterpolateFromTheOutsideCorner)
{
    // Half-way: every coordinate and colour byte half-way, bytes truncated toward zero.
    const TriVertex a = {-10, 4, 0, 1, 0x00FF00FF};
    const TriVertex b = {10, 8, 1, 0, 0xFF00FF00};
    TriVertex crossing;
    IntersectEdgeAtX(a, b, 0, crossing);
    EXPECT_FLOAT_EQ(crossing.x, 0);
    EXPECT_FLOAT_EQ(crossing.y, 6);
    EXPECT_FLOAT_EQ(crossing.u, 0.5f);
    EXPECT_FLOAT_EQ(crossing.v, 0.5f);
    EXPECT_EQ(crossing.color, 0x7F7F7F7Fu);

    // Two polygons on either side of a shared edge that crosses the bound get the very same
    // crossing corner, whichever way round they hold the edge.
    const float bound = 0.37f;
    const TriVertex p = {-3.3f, 1.7f, 0.1f, 0.9f, 0x80402010};
    const TriVertex q = {7.9f, 13.1f, 0.7f, 0.2f, 0xFF00FF00};
    const TriVertex r = {9.1f, 0.5f};
    const TriVertex s = {2.2f, 20.3f};
    const TriVertex* first[3] = {&p, &q, &r};
    const TriVertex* second[3] = {&q, &p, &s};
    ClipVertexPool pool;
    const TriVertex* out1[kMaxPolygonCorners];
    const TriVertex* out2[kMaxPolygonCorners];
    ASSERT_EQ(ClipPolygonMinX(out1, first, 3, bound, pool), 4);
    ASSERT_EQ(ClipPolygonMinX(out2, second, 3, bound, pool), 4);
    const TriVertex& x1 = *out1[0]; // made going from p into q
    const TriVertex& x2 = *out2[1]; // made going from q out to p
    EXPECT_EQ(x1.x, x2.x);
    EXPECT_EQ(x1.y, x2.y);
    EXPECT_EQ(x1.u, x2.u);
    EXPECT_EQ(x1.v, x2.v);
    EXPECT_EQ(x1.color, x2.color);
}

#pragma once

// Clips a triangle against a closed box (a corner exactly on a bound is inside) with four
// Sutherland-Hodgman passes, giving a convex polygon of up to 7 corners. Polygons are lists of
// pointers to corners: the caller's own, or corners made at crossings and kept in a
// ClipVertexPool.

#include "base/TriVertex.h"
#include "raster/ClipVertexPool.h"

namespace Kavo
{

// Bounds in destination pixels; for a clip rectangle xmax = x + width - 1 and ymax likewise.
struct ClipBox
{
    float xmin;
    float xmax;
    float ymin;
    float ymax;
};

// Room in a polygon list.
constexpr int kMaxPolygonCorners = 64;

// Clips triangle (three corners) into polygon and returns its corner count: 0 when nothing is
// left, else at least 3. Empties the pool first. Corners with a coordinate that is not a number
// must not reach it (they are neither inside nor outside); the strip driver drops them.
int ClipPolygonToRect(const TriVertex* const triangle[3], const ClipBox& box, ClipVertexPool& pool,
                      const TriVertex* polygon[kMaxPolygonCorners]);

// One pass each: keeps the part of input (count corners) with x >= bound, x <= bound, y >= bound
// or y <= bound, writes it to output and returns its corner count (0 also when the pool or the
// list runs out of room).
int ClipPolygonMinX(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool);
int ClipPolygonMaxX(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool);
int ClipPolygonMinY(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool);
int ClipPolygonMaxY(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool);

// The corner where the edge from outside corner a to inside corner b crosses x = bound (or
// y = bound). Always measured from the outside corner, so that the triangles on both sides of
// a shared edge get the same corner. t = (bound - a) / (b - a) as a float; x, y, u and v are
// (b - a) x t + a (the crossing coordinate too, which may miss the bound by a unit of the last
// place); each colour byte is (b - a) x t + a truncated toward zero.
void IntersectEdgeAtX(const TriVertex& a, const TriVertex& b, float bound, TriVertex& result);
void IntersectEdgeAtY(const TriVertex& a, const TriVertex& b, float bound, TriVertex& result);

} // namespace Kavo

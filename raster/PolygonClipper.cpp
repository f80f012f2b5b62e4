#include "raster/PolygonClipper.h"

#include <cstdint>

namespace Kavo
{

namespace
{

uint32_t InterpolateColor(uint32_t a, uint32_t b, float t)
{
    uint32_t result = 0;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const int ca = int((a >> shift) & 0xFF);
        const int cb = int((b >> shift) & 0xFF);
        // Within 0..255: t lies in 0..1.
        const int c = int(float(cb - ca) * t + float(ca));
        result |= uint32_t(c & 0xFF) << shift;
    }
    return result;
}

void Intersect(const TriVertex& a, const TriVertex& b, float t, TriVertex& result)
{
    // A NaN t (from coordinates so large that their difference overflows) is taken as 0; its
    // corner then carries the overflow on, and the driver drops the triangle.
    if (!(t >= 0.0f)) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    result.x = (b.x - a.x) * t + a.x;
    result.y = (b.y - a.y) * t + a.y;
    result.u = (b.u - a.u) * t + a.u;
    result.v = (b.v - a.v) * t + a.v;
    result.color = InterpolateColor(a.color, b.color, t);
}

template <bool kAxisY, bool kMaxSide>
bool IsInside(const TriVertex& corner, float bound)
{
    const float c = kAxisY ? corner.y : corner.x;
    return kMaxSide ? c <= bound : c >= bound;
}

template <bool kAxisY, bool kMaxSide>
int ClipPass(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
             float bound, ClipVertexPool& pool)
{
    int written = 0;
    auto emit = [&](const TriVertex* corner)
    {
        if (!corner || written == kMaxPolygonCorners) return false;
        output[written++] = corner;
        return true;
    };
    auto crossing = [&](const TriVertex& outside, const TriVertex& inside) -> const TriVertex*
    {
        TriVertex* corner = pool.Take();
        if (!corner) return nullptr;
        if constexpr (kAxisY)
            IntersectEdgeAtY(outside, inside, bound, *corner);
        else
            IntersectEdgeAtX(outside, inside, bound, *corner);
        return corner;
    };

    for (int i = 0; i < count; ++i)
    {
        const TriVertex& current = *input[i];
        const TriVertex& next = *input[i + 1 < count ? i + 1 : 0];
        const bool currentInside = IsInside<kAxisY, kMaxSide>(current, bound);
        const bool nextInside = IsInside<kAxisY, kMaxSide>(next, bound);
        if (currentInside)
        {
            if (!emit(&current)) return 0;
            if (!nextInside && !emit(crossing(next, current))) return 0;
        }
        else if (nextInside)
        {
            if (!emit(crossing(current, next))) return 0;
        }
    }
    return written;
}

} // namespace

void IntersectEdgeAtX(const TriVertex& a, const TriVertex& b, float bound, TriVertex& result)
{
    Intersect(a, b, (bound - a.x) / (b.x - a.x), result);
}

void IntersectEdgeAtY(const TriVertex& a, const TriVertex& b, float bound, TriVertex& result)
{
    Intersect(a, b, (bound - a.y) / (b.y - a.y), result);
}

int ClipPolygonMinX(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool)
{
    return ClipPass<false, false>(output, input, count, bound, pool);
}

int ClipPolygonMaxX(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool)
{
    return ClipPass<false, true>(output, input, count, bound, pool);
}

int ClipPolygonMinY(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool)
{
    return ClipPass<true, false>(output, input, count, bound, pool);
}

int ClipPolygonMaxY(const TriVertex* output[kMaxPolygonCorners], const TriVertex* const* input, int count,
                    float bound, ClipVertexPool& pool)
{
    return ClipPass<true, true>(output, input, count, bound, pool);
}

int ClipPolygonToRect(const TriVertex* const triangle[3], const ClipBox& box, ClipVertexPool& pool,
                      const TriVertex* polygon[kMaxPolygonCorners])
{
    pool.Reset();
    const TriVertex* scratch[kMaxPolygonCorners];
    int count = ClipPolygonMinX(scratch, triangle, 3, box.xmin, pool);
    if (count < 3) return 0;
    count = ClipPolygonMaxX(polygon, scratch, count, box.xmax, pool);
    if (count < 3) return 0;
    count = ClipPolygonMinY(scratch, polygon, count, box.ymin, pool);
    if (count < 3) return 0;
    return ClipPolygonMaxY(polygon, scratch, count, box.ymax, pool);
}

} // namespace Kavo

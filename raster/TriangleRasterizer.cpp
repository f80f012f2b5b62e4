#include "raster/TriangleRasterizer.h"

#include "base/CheckedConversions.h"
#include "raster/ClipVertexPool.h"
#include "raster/FixedPoint.h"
#include "raster/PolygonClipper.h"
#include "raster/RasterizerTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Kavo
{

namespace
{

// The box is kept within the range that 16.16 positions (plus a pixel) can hold.
constexpr float kMinBound = -32767.0f;
constexpr float kMaxBound = 32766.0f;

// A corner that clipping left further than a quarter pixel outside the box can only come from
// a crossing lost to rounding with huge coordinates; it is pulled back that close. Corners of
// ordinary input never move, and the fillers, which keep within half a pixel of their corners,
// then stay inside the clip rectangle.
constexpr float kSlack = 0.25f;

bool IsFinite(const TriVertex& corner)
{
    return std::isfinite(corner.x) && std::isfinite(corner.y);
}

int32_t ToFixed(float value, float low, float high)
{
    return TruncateToInt(double(std::clamp(value, low - kSlack, high + kSlack)) * 65536.0);
}

RasterTexture MakeRasterTexture(const RasterSourceImage& source)
{
    RasterTexture texture;
    texture.bits = source.bits;
    int log2Width = 0;
    for (uint32_t w = uint32_t(source.width) >> 1; w != 0; w >>= 1)
        ++log2Width;
    texture.shift = 16 - log2Width;
    texture.maxU = int32_t(uint32_t(source.width - 1) << 16);
    texture.maxV = int32_t(uint32_t(source.height - 1) << 16);
    texture.width = source.width;
    texture.size = uint32_t(std::min<uint64_t>(uint64_t(source.width) * uint64_t(source.height), UINT32_MAX));
    texture.height = source.height;
    return texture;
}

} // namespace

void DrawClippedTriangleStrip(const Rect& clip, const Color& color, const TriVertex* vertices,
                              int vertexCount, const RasterSourceImage* source, uint32_t* dest,
                              int destPitchBytes, int pixelFormat, bool blend, bool useVertexColors)
{
    if (clip.mWidth <= 0 || clip.mHeight <= 0 || !vertices || !dest) return;
    const ClipBox box = {
        std::max(float(clip.mX), kMinBound), std::min(float(int64_t(clip.mX) + clip.mWidth - 1), kMaxBound),
        std::max(float(clip.mY), kMinBound), std::min(float(int64_t(clip.mY) + clip.mHeight - 1), kMaxBound)};
    if (box.xmin > box.xmax || box.ymin > box.ymax) return;

    const RasterColor rasterColor = {color.mAlpha, color.mRed, color.mGreen, color.mBlue};
    const bool modulate = color != Color::White;

    const bool textured = source != nullptr;
    if (textured && (!source->bits || source->width <= 0 || source->height <= 0)) return;
    const bool blendTexels = textured && (source->hasAlpha || source->hasTrans || blend);
    const RasterTexture texture = textured ? MakeRasterTexture(*source) : RasterTexture{};
    const double texWidth = textured ? double(source->width) * 65536.0 : 0.0;
    const double texHeight = textured ? double(source->height) * 65536.0 : 0.0;

    if (vertexCount < 3) return;

    ClipVertexPool pool;
    const TriVertex* polygon[kMaxPolygonCorners];
    RasterVertex corners[kMaxPolygonCorners];
    for (int i = 3; i <= vertexCount; ++i)
    {
        // Every second triangle swaps its last two corners, so that all keep the first one's winding.
        const int k = i - 3;
        const TriVertex* triangle[3] = {&vertices[k], &vertices[k + 1], &vertices[k + 2]};
        if (k & 1) std::swap(triangle[1], triangle[2]);

        // A corner that is not a finite number has no place to be drawn: its triangle is dropped.
        if (!IsFinite(*triangle[0]) || !IsFinite(*triangle[1]) || !IsFinite(*triangle[2])) continue;
        const int count = ClipPolygonToRect(triangle, box, pool, polygon);
        if (count < 3) continue;
        if (!std::all_of(polygon, polygon + count, [](const TriVertex* c) { return IsFinite(*c); })) continue;

        for (int j = 0; j < count; ++j)
        {
            const TriVertex& c = *polygon[j];
            RasterVertex& r = corners[j];
            r = {};
            r.x = ToFixed(c.x, box.xmin, box.xmax);
            r.y = ToFixed(c.y, box.ymin, box.ymax);
            if (textured)
            {
                r.u = TruncateToInt(double(c.u) * texWidth);
                r.v = TruncateToInt(double(c.v) * texHeight);
            }
            if (useVertexColors)
            {
                r.a = int32_t((c.color >> 24) & 0xFF) << 16;
                r.r = int32_t((c.color >> 16) & 0xFF) << 16;
                r.g = int32_t((c.color >> 8) & 0xFF) << 16;
                r.b = int32_t(c.color & 0xFF) << 16;
            }
        }

        // The polygon is drawn as a fan around its first corner.
        for (int j = 2; j < count; ++j)
        {
            const RasterVertex fan[3] = {corners[0], corners[j - 1], corners[j]};
            DispatchTriangleRasterizer(textured, useVertexColors, modulate, blendTexels, fan, dest,
                                       destPitchBytes, &texture, &rasterColor, pixelFormat, blend);
        }
    }
}

} // namespace Kavo

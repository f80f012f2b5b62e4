#pragma once

#include "base/Color.h"
#include "base/Rect.h"
#include "base/TriVertex.h"

#include <cstdint>

namespace Kavo
{

// What the strip driver reads of its texture: the caller has committed the image's bits and
// transparency flags (MemoryImage::CommitBits) and passes its ARGB pixels (GetBits).
// width x height words 0xAARRGGBB, row by row without gaps. hasTrans: some texel has alpha 0;
// hasAlpha: some texel has an alpha from 1 to 254.
struct RasterSourceImage
{
    int width;
    int height;
    const uint32_t* bits;
    bool hasTrans;
    bool hasAlpha;
};

// Fills the table of triangle fillers. Called once at start-up, before anything is drawn;
// calling it again stores the same entries.
void InitTriangleRasterizerTable();

// Draws a strip of triangles: each vertex after the first two forms a triangle with the two
// before it (every second one with the two swapped, so that all keep the first one's winding).
// Every triangle is clipped to clip (columns clip.mX to clip.mX + clip.mWidth - 1, rows likewise;
// pixels whose centres lie on the right or bottom edge of a triangle are not drawn).
//   color:           the drawing colour; anything but Color::White modulates the pixels.
//   vertices, vertexCount: the strip; fewer than 3 vertices draw nothing.
//   source:          the texture (u and v are fractions of its width and height), or null to
//                    draw with the vertex colours alone.
//   dest:            the pixel (0, 0) of the destination; destPitchBytes its row length in bytes.
//   pixelFormat:     0x8888 (32-bit ARGB, blending updates the alpha), 0x888 (32-bit, written
//                    opaque), 0x565 or 0x555 (16-bit); any other code draws as 0x8888.
//   blend:           smoothing: bilinear sampling, which also blends by the texels' alpha.
//   useVertexColors: the vertices' packed colours modulate the pixels.
// Keeps no state between calls: threads may draw at the same time into pixels of their own.
void DrawClippedTriangleStrip(const Rect& clip, const Color& color, const TriVertex* vertices,
                              int vertexCount, const RasterSourceImage* source, uint32_t* dest,
                              int destPitchBytes, int pixelFormat, bool blend, bool useVertexColors);

} // namespace Kavo

#pragma once

// The table of triangle fillers and the dispatcher that picks an entry per triangle.
// Index = format group (0x8888 and unknown codes 0, 0x888 32, 0x565 64, 0x555 96) + option bits
// (0x10 textured, 0x08 blend, 0x04 vertex colours, 0x02 modulate, 0x01 bilinear). In each
// group of 32: untextured without vertex colours draws nothing; untextured with vertex colours
// ignores the blend and bilinear bits; every textured combination has a filler of its own, the
// two 32-bit groups sharing the plain point and bilinear ones.

#include "raster/RasterRecords.h"

#include <cstdint>

namespace Kavo
{

// Empty until InitTriangleRasterizerTable (raster/TriangleRasterizer.h) fills it; read-only after.
extern TriangleRasterizer TriangleRasterizerTable[kRasterTableSize];

int TriangleRasterizerIndex(bool textured, bool vertexColors, bool modulate, bool blend, bool bilinear,
                            int formatCode);

// Calls the table entry for the flags and format with (vertices, destBits, pitch, texture,
// color); an empty entry draws nothing. vertices: three corners inside the clip rectangle.
void DispatchTriangleRasterizer(bool textured, bool vertexColors, bool modulate, bool blend,
                                const RasterVertex* vertices, uint32_t* destBits, int pitch,
                                const RasterTexture* texture, const RasterColor* color, int formatCode,
                                bool bilinear);

} // namespace Kavo

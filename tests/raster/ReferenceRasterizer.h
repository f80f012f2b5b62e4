#pragma once

// A plain, slow rasteriser that does what each table entry must do, written from the formulas
// one channel at a time with every option tested per pixel, and with every walked value computed
// directly from the row and column instead of stepped. The table test compares every entry of
// the real table against it.

#include "raster/RasterRecords.h"

#include <cstdint>

namespace Kavo::Testing
{

// Draws the triangle as table entry index (0..127) draws it.
void ReferenceRasterize(int index, const RasterVertex* vertices, uint32_t* destBits, int pitch,
                        const RasterTexture& texture, const RasterColor& color);

} // namespace Kavo::Testing

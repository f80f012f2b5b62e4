#pragma once

#include <cstdint>

namespace Kavo
{

// One corner of a triangle; a triangle list is three consecutive corners per triangle.
// x, y are destination pixels; u, v are fractions of the source image's width and height
// (0 to 1 spans the whole image); color is 0xAARRGGBB, 0 meaning no vertex colour.
// The layout (four floats, then the colour) is read as it is by the rasteriser.
struct TriVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
    uint32_t color = 0;
};

} // namespace Kavo

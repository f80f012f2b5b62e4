#pragma once

#include "base/Point.h"
#include "base/Rect.h"

#include <cstdint>

namespace Kavo
{

// One character of a bitmap-font layer.
class CharData
{
public:
    Rect mImageRect;                  // the glyph inside the layer image
    Point mOffset;                    // added to the pen position when the glyph is drawn
    int8_t mKerningOffsets[256] = {}; // entry n applies when character n follows this one
    int mWidth = 0;                   // the advance in pixels
    int mOrder = 0;                   // draw order within the layer
};

} // namespace Kavo

#pragma once

#include "base/Color.h"

#include <cstdint>

namespace Kavo
{

// A glyph image's pixels ready for drawing in one colour: its own pixels as ARGB words (not a
// palette's indices) and the same pixels tinted by the colour (BlendRows::TintedPixel), both
// width x height like the image. Kept by the font, lent to a blit of its glyphs.
struct TintedGlyphs
{
    Color color;
    const uint32_t* plain = nullptr;
    const uint32_t* tinted = nullptr;
    int width = 0;
    int height = 0;
};

} // namespace Kavo

#pragma once

#include "base/Rect.h"

namespace Kavo
{

// One glyph of a line of text as a blit: the source rectangle in the glyph image, drawn with its
// top left corner at (x, y).
struct GlyphBlit
{
    int x = 0;
    int y = 0;
    Rect src;
};

} // namespace Kavo

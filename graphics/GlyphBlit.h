#pragma once

#include "base/Rect.h"

namespace Kavo
{

// A blit of a source rectangle, drawn with its top left corner at (x, y): one glyph of a line of
// text, or any one image's part.
struct GlyphBlit
{
    int x = 0;
    int y = 0;
    Rect src;
};

// The blit cut to the clip rectangle: the part of the source that lands inside it, at its place.
// False when nothing lands inside.
inline bool CutToClip(GlyphBlit& blit, const Rect& clip)
{
    Rect c = Rect(blit.x, blit.y, blit.src.mWidth, blit.src.mHeight).Intersection(clip);
    if (c.mWidth <= 0 || c.mHeight <= 0) return false;
    blit = GlyphBlit{c.mX, c.mY,
                     Rect(blit.src.mX + (c.mX - blit.x), blit.src.mY + (c.mY - blit.y), c.mWidth, c.mHeight)};
    return true;
}

} // namespace Kavo

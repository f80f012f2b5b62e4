#pragma once

#include "base/Rect.h"

#include <cstdint>

namespace Kavo
{

class FontLayer;
class MemoryImage;

// A layer of a description as one font draws it: at the font's size, either the layer's own
// image or a scaled copy of its glyphs (owned).
class ActiveFontLayer
{
public:
    FontLayer* baseLayer = nullptr;
    MemoryImage* scaledImage = nullptr; // may be null: a layer without an image draws nothing
    bool ownsImage = false;
    Rect scaledCharRects[256];
    // Where each glyph goes at the font's size: its image's top left corner from the pen and the
    // baseline, and the pen's advance; its draw order (0-255) and whether any pair it starts has
    // kerning; spacing: what the pen moves on by after a glyph whose pair with the next has no
    // kerning; order: the draw order every glyph of the layer has, -1 when they differ. Set by
    // the font with the layer.
    struct Placement
    {
        int64_t x = 0, y = 0, advance = 0;
        uint8_t order = 0;
        bool kerned = false;
    };
    Placement placements[256];
    int64_t spacing = 0;
    int order = -1;

    ActiveFontLayer() = default;
    // An owned image is copied, so each copy owns its own.
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer& other);
    virtual ~ActiveFontLayer();
};

} // namespace Kavo

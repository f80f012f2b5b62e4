#pragma once

#include "base/Rect.h"

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

    ActiveFontLayer() = default;
    // An owned image is copied, so each copy owns its own.
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer& other);
    virtual ~ActiveFontLayer();
};

} // namespace Kavo

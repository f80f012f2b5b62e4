#pragma once

#include "base/Color.h"
#include "base/Rect.h"

namespace Kavo
{

class Font;
class Image;

// The copyable state of a drawing context.
class GraphicsState
{
public:
    Image* destImage = nullptr;         // never null in a context: the empty image when none was given
    float transX = 0.0f, transY = 0.0f; // added to every coordinate
    float scaleX = 1.0f, scaleY = 1.0f; // applied by the image draws about the scale origin
    float scaleOrigX = 0.0f, scaleOrigY = 0.0f;
    Rect clipRect; // in destination coordinates
    Color color = Color(0, 0, 0, 255);
    Font* font = nullptr;           // not owned
    int drawMode = 0;               // 0 normal, 1 additive
    bool colorizeImages = false;    // images are modulated by color
    bool fastStretch = false;       // nearest-pixel rather than filtered stretches
    bool writeColoredString = true; // "^RRGGBB^" tags change the colour inside strings
    bool linearBlend = false;       // matrix draws filter their source
    bool is3D = false;              // the destination draws through the 3D renderer

    void CopyFrom(const GraphicsState& other) { *this = other; }
    void CopyForStack(const GraphicsState& other) { *this = other; }
};

} // namespace Kavo

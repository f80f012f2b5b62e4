#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/Text.h"

#include <string>
#include <vector>

// The game's bitmap fonts: glyph strips rendered from a system face at build time, written as
// one picture per font (a band per layer) and a description in the font description language
// that graphics/FontData reads. Every font has a face layer (tinted by the drawing colour), an
// outline and a soft shadow, and the display fonts an added glow.
namespace Art
{

struct FontSpec
{
    std::string id;   // FONT_...
    std::string name; // file names: fonts/<name>.txt and fonts/<name>.png
    Face face;
    float faceTop = 1.0f;    // brightness of the face at the top of the letters
    float faceBottom = 0.8f; // and at their foot
    float outline = 0;       // outline width in pixels
    Rgba outlineColour = Colour255(12, 8, 34);
    float shadowBlur = 0;
    float shadowX = 0, shadowY = 0;
    float shadowAlpha = 0.6f;
    float glow = 0; // additive glow radius (tinted by the drawing colour)
    float glowStrength = 0.5f;
    int lineSpacingOffset = 0;
};

// The description's path below the content folder.
std::string FontDescriptionPath(const FontSpec& spec);
// Renders the font's picture and writes it with its description; false on a write failure.
bool WriteBitmapFont(const FontSpec& spec, const std::string& contentDir);

} // namespace Art

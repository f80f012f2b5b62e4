#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/Geometry.h"

#include <functional>

// Operations on masks (canvases whose alpha is what matters) and the shading shared by the
// pieces and the interface: outlines, glows, soft shadows and bevelled, lit shapes.
namespace Art
{

// The mask grown by radius pixels (round corners, anti-aliased).
Canvas Dilate(const Canvas& mask, float radius);
// The mask's opacity painted in one colour.
Canvas Tinted(const Canvas& mask, const Rgba& colour);
// The mask's opacity filled with a vertical gradient from top (at y0) to bottom (at y1).
Canvas GradientFilled(const Canvas& mask, const Rgba& top, const Rgba& bottom, float y0, float y1);
// A soft shadow: the mask blurred, tinted and moved.
Canvas Shadow(const Canvas& mask, float blur, const Rgba& colour);
// Keeps of a only what lies inside mask (a's pixels times the mask's opacity).
Canvas Masked(const Canvas& a, const Canvas& mask);

// A distance function of a shape centred on the origin (negative inside).
using Sdf = std::function<float(Vec2)>;

// How a bevelled shape is lit.
struct Bevel
{
    Rgba base = Colour(0.5f, 0.5f, 0.5f);
    float width = 6;      // width of the rounded rim in pixels
    float gloss = 0.55f;  // strength of the specular highlight
    float shininess = 24; // its tightness
    float outline = 1.2f; // a dark edge line
    float outlineDarkness = 0.35f;
    float topLight = 0.25f;     // extra light at the top of the flat face
    bool glassHighlight = true; // a soft reflection over the upper part
};

// Paints a lit, bevelled shape (centre at (cx, cy)) onto the canvas.
void PaintBevelled(Canvas& canvas, float cx, float cy, const Sdf& shape, const Bevel& bevel,
                   float scale = 1.0f);
// Adds a glow around a shape: colour fading with distance outside it over radius.
void PaintGlow(Canvas& canvas, float cx, float cy, const Sdf& shape, const Rgba& colour, float radius,
               float scale = 1.0f);
// A flat fill of a shape, anti-aliased.
void PaintShape(Canvas& canvas, float cx, float cy, const Sdf& shape, const Rgba& colour, float scale = 1.0f);

// Brighter or darker version of a straight colour (k above 1 brightens towards white).
Rgba Shade(const Rgba& colour, float k);

// A rounded panel of glass: fill gradient, a bright rim and an inner glow along the rim.
struct PanelLook
{
    Rgba fillTop = Colour255(26, 36, 78, 0.92f);
    Rgba fillBottom = Colour255(10, 14, 36, 0.92f);
    Rgba rim = Colour255(110, 190, 255);
    float rimWidth = 2;
    Rgba rimGlow = Colour255(60, 140, 255, 0.55f);
    float glowWidth = 10; // the rim's glow, inside and outside
    float radius = 14;
    float sheen = 0.12f;             // brightening of the upper part
    Rgba outer = Colour(0, 0, 0, 0); // what lies outside the panel (transparent unless set)
};
// Paints the panel (x, y, w, h) onto the canvas.
void PaintPanel(Canvas& canvas, float x, float y, float w, float h, const PanelLook& look);

} // namespace Art

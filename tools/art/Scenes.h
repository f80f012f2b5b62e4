#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/Geometry.h"
#include "tools/art/Space.h"

// Full-screen deep-space pictures and the places of the level chooser's planets, which the
// star map's background and the planet buttons share.
namespace Art
{

// The level chooser's planet k (1..12): the top-left corner of its button (from the screen's
// layout) and the size of its picture; the spot of a locked planet is 20 pixels larger each
// way, its corner 10 pixels up and left.
struct MapPlace
{
    int x, y, w, h;
    Vec2 Centre() const { return {float(x) + float(w) / 2, float(y) + float(h) / 2}; }
};
MapPlace MapPlanetPlace(int number);
// The look of planet k as a button of the star map (its rings drawn narrower, to fit).
PlanetLook MapButtonLook(int number);

// A field of stars over a dark wash, with the nebula given.
Canvas Backdrop(const NebulaLook& nebula, float starDensity);
// The same with a nebula of two colours gathered around a point.
Canvas SpaceBackdrop(uint32_t seed, const Rgba& gasA, const Rgba& gasB, Vec2 gasCentre, float gasSpread,
                     float gasIntensity);

} // namespace Art

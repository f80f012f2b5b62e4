#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/Geometry.h"

#include <cstdint>

// The deep-space painting shared by every scene: star fields, nebulae, galaxies, planets with
// atmospheres and rings, and black holes with their glowing disks.
namespace Art
{

// A vertical wash of colour from top to bottom (opaque).
void PaintSky(Canvas& canvas, const Rgba& top, const Rgba& bottom);

struct StarLook
{
    uint32_t seed = 1;
    float density = 1.0f;    // stars per 1000 pixels
    float brightness = 1.0f; // scales every star
    float bigShare = 0.015f; // share of bright stars with a halo
    bool spikes = true;      // the brightest stars get four diffraction spikes
};
void PaintStars(Canvas& canvas, const StarLook& look);
// One star of the given size and colour at (x, y), added to the canvas.
void PaintStar(Canvas& canvas, float x, float y, float size, const Rgba& colour, bool spikes);

struct NebulaLook
{
    uint32_t seed = 1;
    Rgba colourA = Colour255(120, 40, 160);
    Rgba colourB = Colour255(30, 90, 200);
    Rgba core = Colour255(255, 200, 230);
    float scale = 260; // pixels per noise unit
    float intensity = 0.55f;
    float threshold = -0.05f; // noise level where the gas starts
    float dust = 0.5f;        // strength of dark lanes
    Vec2 centre{400, 300};    // where the gas gathers
    float spread = 420;       // how far it reaches from the centre
    float stretch = 1.0f;     // horizontal stretch of the gas
};
void PaintNebula(Canvas& canvas, const NebulaLook& look);

struct GalaxyLook
{
    Vec2 centre{400, 300};
    float radius = 120;
    float tilt = 0.45f; // the disk's vertical squash
    float angle = 0.3f; // turn of the disk on screen
    int arms = 2;
    Rgba core = Colour255(255, 236, 200);
    Rgba arm = Colour255(140, 170, 255);
    float brightness = 0.8f;
    uint32_t seed = 3;
};
void PaintGalaxy(Canvas& canvas, const GalaxyLook& look);

enum class Surface
{
    Ocean,   // continents, ice caps and clouds
    Desert,  // dunes and canyons
    Ice,     // pale ice with cracks
    Lava,    // dark rock with glowing rifts
    Bands,   // a gas giant's belts and a storm
    Rocky,   // dusty, cratered
    Crystal, // faceted, with glowing veins
    Moon,    // grey, cratered
    Water,   // a world of sea and swirling cloud
    Dusk,    // dark violet belts with aurora
};

struct PlanetLook
{
    Surface surface = Surface::Rocky;
    Rgba c1 = Colour255(180, 90, 60);
    Rgba c2 = Colour255(120, 60, 40);
    Rgba c3 = Colour255(230, 190, 150);
    uint32_t seed = 1;
    float spin = 0.3f;  // turn about the axis (longitude of the view)
    float axis = 0.25f; // tilt of the axis on screen
    Vec3 light{-0.62f, -0.42f, 0.66f};
    Rgba atmosphere = Colour255(120, 170, 255, 0.8f);
    float atmosphereWidth = 0.06f; // halo beyond the edge, in radii
    bool rings = false;
    Rgba ringColour = Colour255(220, 200, 170, 0.85f);
    float ringInner = 1.35f, ringOuter = 2.15f; // in radii
    float ringFlatten = 0.28f;
    float ringAngle = -0.32f;
    float nightGlow = 0; // light of the dark side (lava, cities)
};

// Paints a planet of radius r centred at (cx, cy): rings behind, the globe, rings in front.
void PaintPlanet(Canvas& canvas, float cx, float cy, float r, const PlanetLook& look);
// The planet alone on a transparent square canvas of the given size (rings included when the
// look has them, scaled to fit).
Canvas PlanetImage(int size, const PlanetLook& look);
// The planet alone on a transparent canvas of w x h pixels, as large as it fits.
Canvas PlanetImage(int w, int h, const PlanetLook& look);
// How far the planet's drawing reaches from its centre, in radii (rings and halo).
float PlanetReach(const PlanetLook& look);

// The looks of the twelve planets of the star map (1 to 12), shared by the level chooser and
// the level backgrounds.
const PlanetLook& MapPlanet(int number);

struct BlackHoleLook
{
    float radius = 20;       // the dark centre
    float diskRadius = 2.6f; // outer edge of the glowing disk, in radii
    float flatten = 0.32f;   // the disk's tilt
    float angle = -0.25f;
    float swirl = 0; // turn of the disk's pattern (animation)
    Rgba hot = Colour255(255, 236, 200);
    Rgba warm = Colour255(255, 140, 60);
    Rgba cool = Colour255(150, 60, 200);
    uint32_t seed = 7;
    float brightness = 1.0f;
};
void PaintBlackHole(Canvas& canvas, float cx, float cy, const BlackHoleLook& look);

} // namespace Art

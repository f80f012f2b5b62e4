#include "tools/art/Scenes.h"

#include "tools/art/Catalogue.h"
#include "tools/art/Layout.h"
#include "tools/art/Noise.h"
#include "tools/art/Space.h"

#include <array>
#include <cmath>

namespace Art
{

MapPlace MapPlanetPlace(int number)
{
    // Button corners from the level chooser's layout; the sizes keep every planet clear of
    // its neighbours and
    // of the frame; the ringed planets are wider than high.
    static const std::array<MapPlace, 12> places = {{{38, 84, 64, 64},
                                                     {82, 182, 68, 68},
                                                     {45, 293, 72, 72},
                                                     {118, 389, 70, 70},
                                                     {277, 477, 76, 76},
                                                     {469, 508, 120, 74},
                                                     {593, 426, 78, 78},
                                                     {648, 259, 80, 80},
                                                     {685, 159, 100, 72},
                                                     {575, 93, 76, 76},
                                                     {406, 69, 70, 70},
                                                     {252, 113, 84, 84}}};
    return places[size_t(number - 1)];
}

PlanetLook MapButtonLook(int number)
{
    PlanetLook look = MapPlanet(number);
    look.ringInner = 1.3f;
    look.ringOuter = 1.8f;
    look.ringFlatten = 0.3f;
    look.ringAngle *= 0.5f;
    return look;
}

Canvas Backdrop(const NebulaLook& nebula, float starDensity)
{
    Canvas c(kScreenWidth, kScreenHeight);
    PaintSky(c, Colour255(2, 3, 14), Colour255(9, 10, 32));
    PaintNebula(c, nebula);
    PaintStars(c, StarLook{.seed = nebula.seed + 5, .density = starDensity});
    return c;
}

Canvas SpaceBackdrop(uint32_t seed, const Rgba& gasA, const Rgba& gasB, Vec2 gasCentre, float gasSpread,
                     float gasIntensity)
{
    return Backdrop({.seed = seed,
                     .colourA = gasA,
                     .colourB = gasB,
                     .core = Shade(Mix(gasA, gasB, 0.5f), 1.7f),
                     .intensity = gasIntensity,
                     .centre = gasCentre,
                     .spread = gasSpread},
                    1.3f);
}

namespace
{

struct LevelScene
{
    Rgba gasA, gasB, core;
    Vec2 gasCentre;
    float gasSpread;
    float gasIntensity;
    float dust;
    Vec2 planet;
    float radius;
};

const LevelScene& SceneOfLevel(int k)
{
    static const std::array<LevelScene, 12> scenes = {{
        {Colour255(30, 120, 170),
         Colour255(40, 60, 170),
         Colour255(200, 240, 255),
         {620, 170},
         400,
         0.55f,
         0.45f,
         {150, 700},
         340},
        {Colour255(170, 70, 60),
         Colour255(120, 50, 140),
         Colour255(255, 210, 170),
         {560, 260},
         420,
         0.5f,
         0.5f,
         {40, 330},
         250},
        {Colour255(60, 90, 190),
         Colour255(120, 60, 170),
         Colour255(210, 220, 255),
         {600, 420},
         420,
         0.5f,
         0.45f,
         {170, 160},
         150},
        {Colour255(170, 40, 30),
         Colour255(90, 20, 80),
         Colour255(255, 160, 90),
         {560, 200},
         420,
         0.55f,
         0.7f,
         {190, 470},
         200},
        {Colour255(150, 100, 60),
         Colour255(80, 60, 130),
         Colour255(255, 220, 180),
         {650, 160},
         380,
         0.4f,
         0.5f,
         {-70, 300},
         400},
        {Colour255(90, 60, 200),
         Colour255(40, 80, 200),
         Colour255(220, 200, 255),
         {600, 420},
         420,
         0.55f,
         0.45f,
         {180, 190},
         120},
        {Colour255(20, 140, 120),
         Colour255(40, 90, 170),
         Colour255(200, 255, 240),
         {600, 150},
         400,
         0.55f,
         0.45f,
         {190, 570},
         230},
        {Colour255(150, 60, 40),
         Colour255(60, 40, 100),
         Colour255(255, 190, 150),
         {620, 220},
         400,
         0.45f,
         0.6f,
         {110, 420},
         170},
        {Colour255(160, 130, 50),
         Colour255(40, 110, 130),
         Colour255(255, 240, 200),
         {600, 300},
         420,
         0.5f,
         0.45f,
         {150, 330},
         140},
        {Colour255(200, 50, 150),
         Colour255(90, 40, 170),
         Colour255(255, 200, 240),
         {560, 380},
         420,
         0.55f,
         0.5f,
         {150, 160},
         150},
        {Colour255(60, 60, 130),
         Colour255(40, 80, 140),
         Colour255(200, 210, 255),
         {640, 420},
         380,
         0.35f,
         0.4f,
         {160, 510},
         200},
        {Colour255(110, 40, 170),
         Colour255(40, 20, 90),
         Colour255(255, 180, 255),
         {260, 170},
         380,
         0.55f,
         0.5f,
         {150, 480},
         170},
    }};
    return scenes[size_t(k - 1)];
}

// The background of the levels of planet k: that planet seen close, in its own sky.
Canvas LevelBackground(int k)
{
    const LevelScene& s = SceneOfLevel(k);
    Canvas c = Backdrop({.seed = uint32_t(1000 + 17 * k),
                         .colourA = s.gasA,
                         .colourB = s.gasB,
                         .core = s.core,
                         .intensity = s.gasIntensity * 1.3f,
                         .dust = s.dust,
                         .centre = s.gasCentre,
                         .spread = s.gasSpread,
                         .stretch = 1.2f},
                        1.4f);
    if (k == 11)
    {
        PaintGalaxy(
            c, GalaxyLook{
                   .centre = {600, 200}, .radius = 150, .tilt = 0.38f, .angle = -0.5f, .brightness = 0.6f});
    }
    if (k == 12)
    {
        BlackHoleLook hole;
        hole.radius = 30;
        hole.diskRadius = 3.8f;
        hole.flatten = 0.3f;
        hole.angle = -0.2f;
        hole.brightness = 1.1f;
        hole.cool = Colour255(190, 80, 255);
        PaintBlackHole(c, 230, 170, hole);
    }
    if (k == 8)
    {
        // A belt of rocks drifting past the planet.
        Rng rng(88);
        for (int i = 0; i < 40; ++i)
        {
            float x = rng.Range(0, 420), y = 240 + x * 0.35f + rng.Range(-40, 40);
            float r = rng.Range(1.5f, 5.5f);
            PlanetLook rock = MapPlanet(11);
            rock.seed = uint32_t(i * 13 + 5);
            rock.atmosphereWidth = 0;
            rock.c1 = Colour255(130, 100, 90);
            rock.c2 = Colour255(70, 56, 50);
            PaintPlanet(c, x, y, r, rock);
        }
    }
    PlanetLook look = MapPlanet(k);
    if (k == 1 || k == 3)
    {
        // A small moon near the planet.
        PlanetLook moon = MapPlanet(11);
        moon.seed = uint32_t(700 + k);
        moon.atmosphereWidth = 0;
        PaintPlanet(c, k == 1 ? 420 : 370, k == 1 ? 250 : 90, k == 1 ? 16 : 20, moon);
    }
    PaintPlanet(c, s.planet.x, s.planet.y, s.radius, look);
    // The board stands on the right: keep that side a little darker.
    c.Map(
        [](float x, float, const Rgba& p)
        {
            float k = 1 - 0.22f * SmoothStep(220, 520, x);
            return Rgba{p.r * k, p.g * k, p.b * k, p.a};
        });
    return c;
}

// The star map of the level chooser: a chart's rings, and a dotted course through the twelve
// planets in their order.
Canvas LevelChooserBackground()
{
    Canvas c = SpaceBackdrop(4242, Colour255(40, 70, 150), Colour255(90, 50, 150), {400, 300}, 420, 0.35f);
    // Faint chart rings and spokes around the middle.
    c.Map(
        [](float x, float y, const Rgba& p)
        {
            float dx = x - 400, dy = y - 320;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float ring = std::exp(-std::pow(std::fmod(r + 1000, 70.0f) - 35, 2.0f) / 0.6f) * 0.07f;
            float spoke = std::exp(-std::pow(std::fmod(a * 12 / (2 * kPi) + 100.5f, 1.0f) - 0.5f, 2.0f) * r *
                                   r / 1.2f) *
                          0.05f;
            float k = (ring + spoke) * SmoothStep(30, 80, r);
            return Rgba{p.r + 0.35f * k, p.g + 0.6f * k, p.b + k, p.a};
        });
    std::vector<Vec2> centres;
    for (int i = 1; i <= 12; ++i)
        centres.push_back(MapPlanetPlace(i).Centre());
    // A smooth course through the centres (Catmull-Rom), dotted.
    std::vector<Vec2> dots;
    float carry = 0;
    for (size_t i = 0; i + 1 < centres.size(); ++i)
    {
        Vec2 p0 = centres[i == 0 ? 0 : i - 1], p1 = centres[i], p2 = centres[i + 1];
        Vec2 p3 = centres[i + 2 < centres.size() ? i + 2 : i + 1];
        Vec2 previous = p1;
        for (int step = 1; step <= 200; ++step)
        {
            float t = float(step) / 200;
            float t2 = t * t, t3 = t2 * t;
            Vec2 q = (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 +
                      (p1 * 3 - p0 - p2 * 3 + p3) * t3) *
                     0.5f;
            carry += Length(q - previous);
            previous = q;
            if (carry >= 11)
            {
                carry = 0;
                dots.push_back(q);
            }
        }
    }
    for (const Vec2& d : dots)
    {
        bool nearPlanet = false;
        for (int i = 1; i <= 12; ++i)
        {
            MapPlace place = MapPlanetPlace(i);
            if (Length(d - centres[size_t(i - 1)]) < float(std::min(place.w, place.h)) / 2 + 16)
                nearPlanet = true;
        }
        if (!nearPlanet) PaintStar(c, d.x, d.y, 1.0f, Colour255(150, 210, 255, 1.0f), false);
    }
    return c;
}

Canvas ChallengeGridBackground()
{
    Canvas c = Backdrop({.seed = 5151,
                         .colourA = Colour255(150, 50, 150),
                         .colourB = Colour255(40, 80, 190),
                         .core = Colour255(255, 210, 250),
                         .intensity = 0.55f,
                         .centre = {420, 280},
                         .spread = 460},
                        1.4f);
    PlanetLook giant = MapPlanet(9);
    giant.seed = 919;
    PaintPlanet(c, 770, 610, 105, giant);
    PlanetLook small = MapPlanet(10);
    PaintPlanet(c, 80, 130, 34, small);
    return c;
}

Canvas MainMenuBackground()
{
    Canvas c = Backdrop({.seed = 777,
                         .colourA = Colour255(60, 80, 200),
                         .colourB = Colour255(170, 60, 170),
                         .core = Colour255(230, 220, 255),
                         .intensity = 0.65f,
                         .centre = {600, 260},
                         .spread = 380},
                        1.5f);
    PaintGalaxy(c, GalaxyLook{.centre = {300, 110}, .radius = 70, .angle = 0.4f, .brightness = 0.45f});
    // The curve of a great planet along the foot of the screen, lit from behind: only its
    // air glows, and a star rises over its rim.
    PlanetLook horizon = MapPlanet(7);
    horizon.seed = 4040;
    horizon.light = {0.12f, -0.27f, -0.95f};
    horizon.atmosphereWidth = 0.02f;
    PaintPlanet(c, 420, 1420, 900, horizon);
    PaintStar(c, 610, 523, 3.2f, Colour255(255, 240, 220), true);
    return c;
}

Canvas LoaderBackground()
{
    Canvas c = Backdrop({.seed = 9090,
                         .colourA = Colour255(80, 50, 190),
                         .colourB = Colour255(30, 120, 200),
                         .core = Colour255(220, 230, 255),
                         .intensity = 0.6f,
                         .centre = {400, 360},
                         .spread = 420},
                        1.6f);
    PlanetLook horizon = MapPlanet(1);
    horizon.seed = 3131;
    horizon.light = {-0.1f, -0.26f, -0.96f};
    horizon.atmosphereWidth = 0.02f;
    PaintPlanet(c, 400, 1500, 1000, horizon);
    return c;
}

} // namespace

void AddSceneImages(std::vector<ImageSpec>& out)
{
    for (int k = 1; k <= 12; ++k)
        out.push_back({"", "images/backgrounds/bkgnd" + std::to_string(k), 1, 1, Format::Jpeg,
                       [k] { return LevelBackground(k); }});
    out.push_back({"IMAGE_LEVELCHOOSER_BACKGROUND", "images/levelchooser_background", 1, 1, Format::Jpeg,
                   [] { return LevelChooserBackground(); }});
    out.push_back({"IMAGE_CHALLENGEGRID_BACKGROUND", "images/challengegrid_background", 1, 1, Format::Jpeg,
                   [] { return ChallengeGridBackground(); }});
    out.push_back({"IMAGE_MAINMENU_BACKGROUND", "images/mainmenu_background", 1, 1, Format::Jpeg,
                   [] { return MainMenuBackground(); }});
    out.push_back({"IMAGE_LOADER_BACKGROUND", "images/loader_background", 1, 1, Format::Jpeg,
                   [] { return LoaderBackground(); }});
    for (int k = 1; k <= 12; ++k)
    {
        MapPlace place = MapPlanetPlace(k);
        out.push_back({"IMAGE_LEVELCHOOSER_PLANET" + std::to_string(k),
                       "images/levelchooser_planet" + std::to_string(k), 1, 1, Format::Png,
                       [k, place] { return PlanetImage(place.w, place.h, MapButtonLook(k)); }});
        out.push_back({"IMAGE_LEVELCHOOSER_PLANETSPOT" + std::to_string(k),
                       "images/levelchooser_planetspot" + std::to_string(k), 1, 1, Format::Png,
                       [place]
                       {
                           // The place of a planet not reached yet: a faint dashed orbit and a dim glow.
                           int w = place.w + 20, h = place.h + 20;
                           Canvas c(w, h);
                           float cx = float(w) / 2, cy = float(h) / 2,
                                 r = float(std::min(place.w, place.h)) / 2 - 4;
                           c.Paint(
                               [&](float x, float y) -> Rgba
                               {
                                   float dx = x - cx, dy = y - cy;
                                   float d = std::sqrt(dx * dx + dy * dy);
                                   float a = std::atan2(dy, dx);
                                   float dash =
                                       SmoothStep(0.25f, 0.45f,
                                                  std::abs(std::fmod(a / (2 * kPi) * 18 + 100, 1.0f) - 0.5f));
                                   float ring = Coverage(std::abs(d - r) - 1.0f) * (1 - dash) * 0.75f;
                                   float glow = std::exp(-std::pow((d - r) / 5.0f, 2.0f)) * 0.18f;
                                   float inner = SmoothStep(r, r * 0.3f, d) * 0.22f;
                                   Rgba out = Colour255(30, 50, 110, inner);
                                   out = Over(Colour255(90, 150, 255, glow), out);
                                   return Over(Colour255(140, 190, 255, ring), out);
                               });
                           return c;
                       }});
    }
}

} // namespace Art

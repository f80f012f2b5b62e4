#include "tools/art/Catalogue.h"
#include "tools/art/Layout.h"
#include "tools/art/Noise.h"
#include "tools/art/Scenes.h"
#include "tools/art/Space.h"
#include "tools/art/Text.h"

#include <cmath>

namespace Art
{

namespace
{

// A thin glowing ellipse (an orbit) around (cx, cy), turned by angle; front says which half to
// draw: the half below the centre line (1), above it (-1) or both (0).
void PaintOrbit(Canvas& c, Vec2 centre, float rx, float ry, float angle, const Rgba& colour, float width,
                int front)
{
    c.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            Vec2 q = Rotate(Vec2{x - centre.x, y - centre.y}, -angle);
            if (front == 1 && q.y < 0) return Rgba{};
            if (front == -1 && q.y >= 0) return Rgba{};
            float e = std::sqrt((q.x / rx) * (q.x / rx) + (q.y / ry) * (q.y / ry));
            float d = std::abs(e - 1) * std::min(rx, ry) * 1.6f;
            float k = (std::exp(-d * d / (width * width)) + 0.3f * std::exp(-d / (width * 2.5f))) * colour.a;
            // Brighter where the orbit passes in front.
            k *= 0.55f + 0.45f * SmoothStep(-ry, ry, q.y);
            Rgba c1 = colour * (1.0f / std::max(colour.a, 0.001f));
            return Rgba{c1.r * k, c1.g * k, c1.b * k, Saturate(k)};
        });
}

// The game's name, lit gold, an orbit around it.
Canvas Logo()
{
    const int w = 670, h = 240;
    Canvas c(w, h);
    const Vec2 centre{w / 2.0f, 104};
    PaintOrbit(c, centre, 300, 58, -0.08f, Colour255(120, 190, 255, 0.8f), 1.6f, -1);
    TextLook look{.fillTop = Colour255(255, 252, 226),
                  .fillBottom = Colour255(255, 160, 40),
                  .outline = 4.5f,
                  .outlineColour = Colour255(40, 12, 56),
                  .shadowBlur = 6,
                  .shadowX = 3,
                  .shadowY = 5,
                  .shadowColour = Colour(0, 0, 0, 0.75f),
                  .glow = 16,
                  .glowColour = Colour255(130, 70, 255, 0.75f),
                  .shine = 0.55f};
    Face face{"DejaVu Serif", 86, 700, false, 1.5f};
    DrawText(c, face, "Orlavintide", 0, 44, float(w), Align::Centre, look);
    PaintOrbit(c, centre, 300, 58, -0.08f, Colour255(150, 210, 255, 0.95f), 1.6f, 1);
    // A comet riding the orbit, and sparkles.
    Vec2 head = centre + Rotate(Vec2{300 * std::cos(2.2f), 58 * std::sin(2.2f)}, -0.08f);
    PaintStar(c, head.x, head.y, 2.6f, Colour255(255, 255, 240), true);
    for (Vec2 p : {Vec2{108, 40}, Vec2{560, 58}, Vec2{612, 150}, Vec2{60, 150}})
        PaintStar(c, p.x, p.y, 1.4f, Colour255(255, 240, 200, 0.9f), true);
    TextLook sub{.fillTop = Colour255(200, 230, 255),
                 .fillBottom = Colour255(120, 180, 255),
                 .outline = 2,
                 .outlineColour = Colour255(10, 10, 40),
                 .glow = 6,
                 .glowColour = Colour255(80, 150, 255, 0.6f)};
    DrawText(c, Face{"DejaVu Sans", 19, 700, false, 6.0f}, "PUZZLES AMONG THE STARS", 0, 190, float(w),
             Align::Centre, sub);
    c.FadeBorder(10);
    return c;
}

// The developer's mark: a V of two comet trails meeting at a star, and the name.
void PaintVelquisMark(Canvas& c, Vec2 at, float scale)
{
    for (int side = -1; side <= 1; side += 2)
    {
        Vec2 top = at + Vec2{float(side) * 26 * scale, -30 * scale};
        Vec2 tip = at + Vec2{0, 22 * scale};
        c.PaintAdd(
            [&](float x, float y) -> Rgba
            {
                Vec2 p{x, y};
                Vec2 ba = tip - top;
                float t = Saturate(Dot(p - top, ba) / Dot(ba, ba));
                float d = Length(p - (top + ba * t));
                float width = (1.0f + 5.0f * t) * scale;
                float k = std::exp(-d * d / (width * width)) * (0.35f + 0.65f * t);
                Rgba col = side < 0 ? Colour255(90, 200, 255) : Colour255(170, 120, 255);
                return Rgba{col.r * k, col.g * k, col.b * k, Saturate(k)};
            });
    }
    PaintStar(c, at.x, at.y + 22 * scale, 2.4f * scale, Colour255(255, 255, 240), true);
}

Canvas Velquis(int w, int h, float scale, float nameSize)
{
    Canvas c(w, h);
    float markX = 40 * scale;
    PaintVelquisMark(c, Vec2{markX, float(h) / 2 - 4 * scale}, scale);
    TextLook look{.fillTop = Colour255(240, 250, 255),
                  .fillBottom = Colour255(150, 200, 255),
                  .outline = 1.5f * scale,
                  .outlineColour = Colour255(8, 12, 40),
                  .glow = 5 * scale,
                  .glowColour = Colour255(80, 160, 255, 0.5f),
                  .shine = 0.3f};
    float textX = markX + 34 * scale;
    Face face{"DejaVu Sans", int(nameSize), 700, false, 0.5f};
    face.pixelHeight = FitPixelHeight(face, "VelquisGames", float(w) - textX - 6 * scale);
    DrawText(c, face, "VelquisGames", textX, float(h) / 2 - float(face.pixelHeight) * 0.78f, float(w) - textX,
             Align::Left, look);
    c.FadeBorder(4);
    return c;
}

// The publisher's mark: an amber crescent and the name.
void PaintAmbrevaneMark(Canvas& c, Vec2 at, float scale)
{
    Sdf crescent = [](Vec2 p) {
        return std::max(SdCircle(p, 1.0f), -SdCircle(p - Vec2{0.42f, -0.22f}, 0.8f));
    };
    PaintGlow(c, at.x, at.y, crescent, Colour255(255, 170, 60, 0.55f), 10 * scale, 24 * scale);
    Bevel bevel{.base = Colour255(255, 186, 70), .width = 5 * scale, .outline = 1.2f * scale};
    PaintBevelled(c, at.x, at.y, crescent, bevel, 24 * scale);
    PaintStar(c, at.x + 16 * scale, at.y - 6 * scale, 1.5f * scale, Colour255(255, 250, 230), true);
}

Canvas Publisher(int w, int h, float scale)
{
    Canvas c(w, h);
    PaintAmbrevaneMark(c, Vec2{34 * scale, float(h) / 2}, scale);
    TextLook look{.fillTop = Colour255(255, 240, 200),
                  .fillBottom = Colour255(240, 170, 70),
                  .outline = 1.5f * scale,
                  .outlineColour = Colour255(40, 16, 4),
                  .glow = 4 * scale,
                  .glowColour = Colour255(255, 150, 40, 0.4f)};
    float textX = 64 * scale;
    Face face{"DejaVu Serif", int(26 * scale), 700, false, 1.0f * scale};
    face.pixelHeight = FitPixelHeight(face, "AMBREVANE", float(w) - textX - 6 * scale);
    DrawText(c, face, "AMBREVANE", textX, float(h) / 2 - float(face.pixelHeight), float(w) - textX,
             Align::Left, look);
    TextLook small = look;
    small.glow = 0;
    small.outline = 1.0f * scale;
    DrawText(c, Face{"DejaVu Sans", int(12 * scale), 700, false, 4.0f * scale}, "PUBLISHING",
             textX + 2 * scale, float(h) / 2 + 6 * scale, float(w) - textX, Align::Left, small);
    c.FadeBorder(4);
    return c;
}

Canvas PublisherSplash()
{
    Canvas c(kScreenWidth, kScreenHeight);
    c.Map(
        [](float x, float y, const Rgba&)
        {
            float r = std::hypot(x - 400, y - 280) / 420;
            float k = std::exp(-r * r * 2.2f);
            return Colour(0.012f + 0.16f * k, 0.008f + 0.08f * k, 0.02f + 0.02f * k);
        });
    StarLook stars;
    stars.seed = 31;
    stars.density = 0.5f;
    stars.brightness = 0.6f;
    PaintStars(c, stars);
    Canvas mark = Publisher(520, 170, 2.3f);
    c.Draw(mark, (kScreenWidth - 520) / 2 + 10, 190);
    TextLook look{.fillTop = Colour255(250, 230, 200),
                  .fillBottom = Colour255(220, 180, 130),
                  .glow = 4,
                  .glowColour = Colour255(255, 170, 80, 0.4f)};
    DrawText(c, Face{"DejaVu Serif", 22, 400, true, 2.0f}, "presents", 0, 390, kScreenWidth, Align::Centre,
             look);
    return c;
}

Canvas DeveloperSplash()
{
    Canvas c = SpaceBackdrop(57, Colour255(40, 90, 200), Colour255(110, 60, 200), {400, 300}, 300, 0.45f);
    c.Map(
        [](float x, float y, const Rgba& p)
        {
            float k = 0.35f + 0.65f * std::exp(-std::pow(std::hypot(x - 400, y - 300) / 380, 2.0f));
            return Rgba{p.r * k, p.g * k, p.b * k, p.a};
        });
    Canvas mark = Velquis(620, 200, 2.4f, 64);
    c.Draw(mark, 80, 190);
    return c;
}

Canvas FrameworkSplash()
{
    Canvas c(kScreenWidth, kScreenHeight);
    c.Map([](float, float y, const Rgba&)
          { return Mix(Colour255(4, 6, 18), Colour255(12, 16, 40), y / kScreenHeight); });
    // A lattice of fine lines, the framework's grid.
    c.Map(
        [](float x, float y, const Rgba& p)
        {
            float gx = std::exp(-std::pow(std::fmod(x + 1000, 40.0f) - 20, 2.0f) / 0.3f);
            float gy = std::exp(-std::pow(std::fmod(y + 1000, 40.0f) - 20, 2.0f) / 0.3f);
            float fade = std::exp(-std::pow(std::hypot(x - 400, y - 300) / 320, 2.0f));
            float k = (gx + gy) * 0.06f * fade;
            return Rgba{p.r + 0.3f * k, p.g + 0.6f * k, p.b + k, p.a};
        });
    TextLook look{.fillTop = Colour255(230, 245, 255),
                  .fillBottom = Colour255(110, 190, 255),
                  .outline = 3,
                  .outlineColour = Colour255(6, 12, 40),
                  .glow = 14,
                  .glowColour = Colour255(60, 150, 255, 0.7f),
                  .shine = 0.4f};
    DrawText(c, Face{"DejaVu Sans", 120, 700, false, 24.0f}, "KAVO", 0, 190, kScreenWidth, Align::Centre,
             look);
    TextLook sub{.fillTop = Colour255(200, 220, 255),
                 .fillBottom = Colour255(150, 180, 240),
                 .glow = 4,
                 .glowColour = Colour255(80, 150, 255, 0.5f)};
    DrawText(c, Face{"DejaVu Sans", 20, 400, false, 5.0f}, "MADE WITH THE KAVO 2D GAME FRAMEWORK", 0, 370,
             kScreenWidth, Align::Centre, sub);
    return c;
}

Canvas LoaderPlanet()
{
    // The loading badge: drawn grey, and in colour as far as loading has come; the progress
    // text is written across its middle.
    PlanetLook look = MapPlanet(1);
    look.seed = 4711;
    look.light = {-0.5f, -0.55f, 0.67f};
    return PlanetImage(196, look);
}

Canvas LoaderMoon()
{
    PlanetLook look = MapPlanet(11);
    look.seed = 5353;
    return PlanetImage(128, look);
}

} // namespace

void AddTitleImages(std::vector<ImageSpec>& out)
{
    out.push_back({"IMAGE_LOADER_LOGO", "images/loader_logo", 1, 1, Format::Png, [] { return Logo(); }});
    out.push_back(
        {"IMAGE_LOADER_PLANET", "images/loader_planet", 1, 1, Format::Png, [] { return LoaderPlanet(); }});
    out.push_back(
        {"IMAGE_LOADER_MOON", "images/loader_moon", 1, 1, Format::Png, [] { return LoaderMoon(); }});
    // The company mark at (55, 485), the publisher's at (550, 510).
    out.push_back(
        {"IMAGE_VELQUIS", "images/velquis", 1, 1, Format::Png, [] { return Velquis(240, 90, 0.9f, 26); }});
    out.push_back(
        {"IMAGE_PUBLISHER", "images/publisher", 1, 1, Format::Png, [] { return Publisher(220, 80, 1.0f); }});
    out.push_back({"IMAGE_SPLASH1", "images/splash1", 1, 1, Format::Jpeg, [] { return PublisherSplash(); }});
    out.push_back({"IMAGE_SPLASH2", "images/splash2", 1, 1, Format::Jpeg, [] { return DeveloperSplash(); }});
    out.push_back({"IMAGE_SPLASH3", "images/splash3", 1, 1, Format::Jpeg, [] { return FrameworkSplash(); }});
}

} // namespace Art

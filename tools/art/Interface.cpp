#include "tools/art/Catalogue.h"
#include "tools/art/Layout.h"
#include "tools/art/Noise.h"
#include "tools/art/Pieces.h"
#include "tools/art/Space.h"
#include "tools/art/Text.h"

#include <cmath>
#include <map>

namespace Art
{

namespace
{

// --- The screen frame ---

enum class FrameTop
{
    Title, // a plate in the middle of the bar for the screen's title
    Game,  // a trough on the right for the time bar
};

// The main-menu button of the frame's corner, in its normal or its highlighted look.
Canvas MenuButton(bool lit)
{
    Canvas c(kMenuButtonWidth, kMenuButtonHeight);
    PanelLook look{.fillTop = lit ? Colour255(60, 96, 190, 0.97f) : Colour255(30, 44, 100, 0.95f),
                   .fillBottom = lit ? Colour255(24, 40, 110, 0.97f) : Colour255(12, 18, 48, 0.95f),
                   .rim = lit ? Colour255(190, 235, 255) : Colour255(110, 180, 250),
                   .rimGlow = lit ? Colour255(120, 200, 255, 0.8f) : Colour255(60, 140, 255, 0.4f),
                   .glowWidth = lit ? 7.0f : 5.0f,
                   .radius = 16,
                   .sheen = lit ? 0.2f : 0.12f};
    PaintPanel(c, 3, 3, float(kMenuButtonWidth) - 6, float(kMenuButtonHeight) - 6, look);
    // A small home planet above the words.
    PlanetLook planet = MapPlanet(1);
    planet.atmosphereWidth = 0.1f;
    PaintPlanet(c, kMenuButtonWidth / 2.0f, 29, 15, planet);
    if (lit) PaintStar(c, kMenuButtonWidth / 2.0f - 9, 20, 0.9f, Colour(1, 1, 1, 0.8f), true);
    TextLook text{.fillTop = lit ? Colour255(255, 255, 210) : Colour255(252, 244, 120),
                  .fillBottom = lit ? Colour255(255, 230, 90) : Colour255(220, 200, 40),
                  .outline = 1.5f,
                  .shadowBlur = 2,
                  .shadowY = 1.5f};
    if (lit)
    {
        text.glow = 5;
        text.glowColour = Colour255(255, 230, 120, 0.6f);
    }
    Face face{"DejaVu Sans", 15, 700, false, 1.0f};
    DrawText(c, face, "MAIN MENU", 0, 50, float(kMenuButtonWidth), Align::Centre, text);
    return c;
}

// The opening of the screen inside the frame (negative inside).
float FrameOpening(Vec2 p, FrameTop top, bool corner)
{
    const float left = 10, right = kScreenWidth - 10, topEdge = kTopBar - 1.5f, bottom = kScreenHeight - 10;
    Vec2 centre{(left + right) / 2, (topEdge + bottom) / 2};
    float d = SdBox(p - centre, Vec2{(right - left) / 2, (bottom - topEdge) / 2}, 9);
    if (top == FrameTop::Title)
    {
        // The title plate hangs below the bar in the middle.
        float plate = SdBox(p - Vec2{400, 20}, Vec2{170, 21}, 12);
        d = std::max(d, -plate);
    }
    if (corner)
    {
        float bay = SdBox(p - Vec2{kCornerWidth / 2.0f - 20, float(kCornerTop) + 80},
                          Vec2{kCornerWidth / 2.0f + 18, 80}, 18);
        d = std::max(d, -bay);
    }
    return d;
}

Canvas PaintFrame(FrameTop top, bool corner)
{
    Canvas c(kScreenWidth, kScreenHeight);
    const Rgba line = kFrameLine;
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            Vec2 p{x, y};
            float d = FrameOpening(p, top, corner);
            Rgba out{};
            if (d > -1)
            {
                // The frame's body: a lip of lighter metal along the opening, darker further out,
                // the bar lighter at its top.
                float lip = std::exp(-std::max(d, 0.0f) / 5.0f);
                Rgba body = Mix(kFrameDark, kFrameMid, 0.35f + 0.45f * lip);
                if (y < kTopBar + 8)
                    body = Mix(body, Colour255(40, 56, 110), SmoothStep(kTopBar, 2, y) * 0.5f);
                // Fine brushed lines.
                float brush = Fbm2(x / 60.0f, y / 2.5f, 77, 2) * 0.04f;
                body = Rgba{body.r + brush, body.g + brush, body.b + brush * 1.5f, body.a};
                out = body * Coverage(-d);
            }
            // A soft shade of the frame over the picture.
            if (d < 0) out = Over(Colour(0, 0, 0.02f, 0.55f * std::exp(d / 4.0f)), out);
            // The glow around the bright line, and the line.
            float glow = std::exp(-std::abs(d) / 3.0f) * kFrameGlow.a;
            out = Over(Colour(kFrameGlow.r / kFrameGlow.a, kFrameGlow.g / kFrameGlow.a,
                              kFrameGlow.b / kFrameGlow.a, glow),
                       out);
            out = Over(line * Coverage(std::abs(d) - 0.9f), out);
            return out;
        });
    if (top == FrameTop::Game)
    {
        // The trough of the time bar (the bar is drawn at (403, 17), 370 x 14).
        PanelLook trough{.fillTop = Colour255(2, 4, 12, 0.95f),
                         .fillBottom = Colour255(8, 12, 30, 0.95f),
                         .rim = Colour255(80, 130, 200, 0.8f),
                         .rimWidth = 1,
                         .rimGlow = Colour255(60, 140, 255, 0.25f),
                         .glowWidth = 4,
                         .radius = 8,
                         .sheen = 0};
        PaintPanel(c, 398, 12, 380, 24, trough);
    }
    if (corner) c.Draw(MenuButton(false), kMenuButtonX, kMenuButtonY);
    return c;
}

// --- Glass and controls ---

Canvas DialogBox()
{
    // Drawn stretched (the game's message boxes) and as a 3 x 3 frame of 130 x 100 tiles (the
    // other dialogs): the middle third of each direction is the same all along.
    const int w = 390, h = 300;
    Canvas c(w, h);
    const Rgba top = Colour255(34, 48, 104), middle = Colour255(16, 22, 54), bottom = Colour255(10, 14, 36);
    Vec2 centre{w / 2.0f, h / 2.0f};
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = SdBox(Vec2{x, y} - centre, Vec2{w / 2.0f - 6, h / 2.0f - 6}, 18);
            Rgba fill = y < 100   ? Mix(top, middle, y / 100)
                        : y < 200 ? middle
                                  : Mix(middle, bottom, (y - 200) / 100);
            Rgba out = fill * Coverage(d);
            // The rim's glow inside and out, and the rim.
            float glow = std::exp(-std::abs(d + 1) / 4.0f) * 0.6f;
            out = Over(Colour255(70, 150, 255, glow), out);
            out = Over(Colour255(150, 215, 255) * Coverage(std::abs(d + 1) - 1.0f), out);
            // A fine line under the header.
            if (y > 62 && y < 66)
            {
                float k = Coverage(std::abs(y - 64) - 0.5f) * SmoothStep(14, 60, x) *
                          SmoothStep(w - 14.0f, w - 60.0f, x) * 0.5f;
                out = Over(Colour255(120, 190, 255, k), out);
            }
            return out;
        });
    // Lights at the corners.
    for (Vec2 p : {Vec2{20, 20}, Vec2{w - 20.0f, 20}, Vec2{20, h - 20.0f}, Vec2{w - 20.0f, h - 20.0f}})
    {
        PaintGlow(
            c, p.x, p.y, [](Vec2 q) { return SdCircle(q, 1); }, Colour255(120, 200, 255, 0.5f), 6, 2.2f);
        PaintShape(
            c, p.x, p.y, [](Vec2 q) { return SdCircle(q, 1); }, Colour255(210, 240, 255), 2.0f);
    }
    return c;
}

Canvas DialogButton()
{
    const int w = 160, h = 33;
    Canvas c(w, h);
    PanelLook look{.fillTop = Colour255(70, 110, 210, 0.98f),
                   .fillBottom = Colour255(22, 40, 112, 0.98f),
                   .rim = Colour255(170, 220, 255),
                   .rimWidth = 1.5f,
                   .rimGlow = Colour255(90, 170, 255, 0.45f),
                   .glowWidth = 4,
                   .radius = 10,
                   .sheen = 0.22f};
    PaintPanel(c, 2, 2, w - 4.0f, h - 4.0f, look);
    return c;
}

Canvas Checkbox()
{
    Canvas c(56, 28);
    for (int half = 0; half < 2; ++half)
    {
        float ox = float(half * 28);
        PanelLook look{.fillTop = Colour255(6, 10, 28, 0.95f),
                       .fillBottom = Colour255(20, 30, 70, 0.95f),
                       .rim = half ? Colour255(150, 255, 200) : Colour255(120, 180, 240),
                       .rimWidth = 1.5f,
                       .rimGlow = half ? Colour255(80, 255, 170, 0.5f) : Colour255(60, 140, 255, 0.35f),
                       .glowWidth = 3,
                       .radius = 5,
                       .sheen = 0};
        PaintPanel(c, ox + 3, 3, 22, 22, look);
        if (half)
        {
            // The tick, glowing.
            Sdf tick = [](Vec2 p)
            {
                return std::min(SdSegment(p, Vec2{-6, 0}, Vec2{-1.5f, 5}),
                                SdSegment(p, Vec2{-1.5f, 5}, Vec2{7, -6})) -
                       1.8f;
            };
            PaintGlow(c, ox + 14, 14, tick, Colour255(80, 255, 170, 0.6f), 4);
            PaintShape(c, ox + 14, 14, tick, Colour255(200, 255, 220));
        }
    }
    return c;
}

Canvas SliderTrack()
{
    // Three equal parts: the left end, a middle that repeats, the right end.
    Canvas c(60, 14);
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = x < 20   ? SdBox(Vec2{x, y} - Vec2{27, 7}, Vec2{23, 5.5f}, 5.5f)
                      : x < 40 ? std::abs(y - 7) - 5.5f
                               : SdBox(Vec2{x, y} - Vec2{33, 7}, Vec2{23, 5.5f}, 5.5f);
            Rgba out = Mix(Colour255(2, 4, 14), Colour255(20, 30, 66), (y - 1) / 12) * (Coverage(d) * 0.95f);
            // A light line along the groove's lower lip and a cyan thread in its middle.
            out = Over(Colour255(110, 170, 240, 0.6f) * Coverage(std::abs(d + 0.6f) - 0.6f) *
                           SmoothStep(5, 11, y),
                       out);
            out = Over(Colour255(80, 180, 255, 0.5f) *
                           (std::exp(-std::pow(y - 7, 2.0f) / 1.2f) * Coverage(d + 2)),
                       out);
            return out;
        });
    return c;
}

Canvas SliderThumb()
{
    Canvas c(28, 28);
    PaintGlow(
        c, 14, 14, [](Vec2 p) { return SdCircle(p, 1); }, Colour255(90, 190, 255, 0.6f), 5, 9);
    Bevel bevel{.base = Colour255(140, 210, 255), .width = 4, .gloss = 0.8f, .outline = 1};
    PaintBevelled(
        c, 14, 14, [](Vec2 p) { return SdCircle(p, 1); }, bevel, 9.5f);
    return c;
}

// A round glass button with a chevron pointing at the angle given (0: right).
Canvas ArrowButton(int size, float angle)
{
    Canvas c(size, size);
    float s = float(size);
    PanelLook look{.fillTop = Colour255(50, 84, 170, 0.95f),
                   .fillBottom = Colour255(14, 24, 70, 0.95f),
                   .rim = Colour255(150, 215, 255),
                   .rimWidth = 1.5f,
                   .glowWidth = 3,
                   .radius = s / 2 - 2,
                   .sheen = 0.2f};
    PaintPanel(c, 2, 2, s - 4, s - 4, look);
    float k = s / 32;
    Sdf chevron = [angle](Vec2 p)
    {
        Vec2 q = Rotate(p, -angle);
        return SdPolygon(q, {{-3.5f, -7}, {5.5f, 0}, {-3.5f, 7}, {-1, 0}}) - 0.6f;
    };
    PaintGlow(c, s / 2, s / 2, chevron, Colour255(255, 236, 120, 0.5f), 3 * k, k);
    PaintShape(c, s / 2, s / 2, chevron, Colour255(255, 244, 150), k);
    return c;
}

// A thin glowing line centred 3 pixels in: the tutorial's highlight box is built of these.
float GlowyProfile(float distance)
{
    return std::exp(-std::pow(distance / 1.3f, 2.0f));
}

Rgba GlowyColour(float k)
{
    Rgba core = Colour255(255, 250, 200);
    Rgba edge = Colour255(255, 200, 60);
    return Mix(edge, core, k) * Saturate(k * 1.15f);
}

Canvas GlowyCorner()
{
    // The top-left corner: the line turns around (6, 6) with radius 3.
    Canvas c(6, 6);
    c.Map(
        [](float x, float y, const Rgba&)
        {
            float d = std::abs(Length(Vec2{x - 6, y - 6}) - 3);
            return GlowyColour(GlowyProfile(d));
        });
    return c;
}

Canvas GlowyEdge(bool horizontal)
{
    Canvas c(horizontal ? 1 : 6, horizontal ? 6 : 1);
    c.Map([&](float x, float y, const Rgba&)
          { return GlowyColour(GlowyProfile(std::abs((horizontal ? y : x) - 3))); });
    return c;
}

Canvas CompletionMeter()
{
    // A glass tube along the left edge; its scale runs from y 62 (full) to 300 (empty).
    const int w = 40, h = 330;
    Canvas c(w, h);
    const float cx = 13, top = 50, bottom = 312;
    Sdf tube = [&](Vec2 p) {
        return SdBox(p - Vec2{cx, (top + bottom) / 2}, Vec2{7, (bottom - top) / 2}, 7);
    };
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = tube(Vec2{x, y});
            Rgba out = Colour(0, 0, 0, 0.45f) * Coverage(d - 3) * (1 - Coverage(d));
            if (d < 0.5f)
            {
                // The scale: red when empty, gold, then green and cyan when full.
                float t = Saturate((y - 62) / (300 - 62));
                Rgba full = Colour255(60, 230, 200), mid = Colour255(255, 210, 60),
                     empty = Colour255(230, 60, 50);
                Rgba c1 = t < 0.5f ? Mix(full, mid, t * 2) : Mix(mid, empty, (t - 0.5f) * 2);
                float across = (x - cx) / 7;
                float body = 0.45f + 0.25f * (1 - across * across);
                Rgba fill = Colour(c1.r / c1.a * body, c1.g / c1.a * body, c1.b / c1.a * body, 0.85f);
                float shine = SmoothStep(-0.2f, -0.75f, across) * 0.35f;
                fill =
                    Rgba{fill.r + shine * fill.a, fill.g + shine * fill.a, fill.b + shine * fill.a, fill.a};
                out = Over(fill * Coverage(d), out);
            }
            out = Over(Colour255(170, 220, 255) * (Coverage(std::abs(d) - 0.7f) * 0.9f), out);
            // Ticks every tenth, longer at the half.
            for (int i = 0; i <= 10; ++i)
            {
                float ty = 62 + (300 - 62) * float(i) / 10;
                float len = i % 5 == 0 ? 9.0f : 5.0f;
                float k =
                    Coverage(std::abs(y - ty) - 0.6f) * Coverage(std::abs(x - (cx + 10 + len / 2)) - len / 2);
                out = Over(Colour255(160, 210, 255, 0.7f * k), out);
            }
            return out;
        });
    // The goal at the top: a small bright star.
    PaintStar(c, cx, 30, 1.6f, Colour255(255, 240, 160), true);
    return c;
}

Canvas CompletionIndicator()
{
    // A band across the tube and a pointer beside it.
    Canvas c(40, 22);
    Sdf band = [](Vec2 p) { return SdBox(p - Vec2{13, 11}, Vec2{10, 3.5f}, 3.5f); };
    Sdf pointer = [](Vec2 p) { return SdPolygon(p, {{26, 11}, {37, 3}, {37, 19}}) - 0.8f; };
    PaintGlow(c, 0, 0, band, Colour255(255, 255, 200, 0.7f), 5);
    PaintShape(c, 0, 0, band, Colour255(255, 252, 230));
    PaintGlow(c, 0, 0, pointer, Colour255(255, 220, 80, 0.6f), 4);
    Bevel bevel{.base = Colour255(255, 214, 60), .width = 3, .outline = 1, .glassHighlight = false};
    PaintBevelled(c, 0, 0, pointer, bevel, 1);
    return c;
}

Canvas TimeLeftBar()
{
    // Time left shows the bar's left part: red at the left end, cyan at the right.
    const int w = 370, h = 14;
    Canvas c(w, h);
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = SdBox(Vec2{x, y} - Vec2{w / 2.0f, h / 2.0f}, Vec2{w / 2.0f - 1, h / 2.0f - 1}, 6);
            if (d > 1) return Rgba{};
            float t = x / w;
            Rgba a = Colour255(235, 50, 40), b = Colour255(255, 150, 30), cc = Colour255(250, 230, 60),
                 e = Colour255(70, 230, 140), f = Colour255(60, 210, 255);
            Rgba col = t < 0.2f    ? Mix(a, b, t / 0.2f)
                       : t < 0.45f ? Mix(b, cc, (t - 0.2f) / 0.25f)
                       : t < 0.7f  ? Mix(cc, e, (t - 0.45f) / 0.25f)
                                   : Mix(e, f, (t - 0.7f) / 0.3f);
            float v = (y - 1) / (h - 2);
            float shade = 0.75f + 0.4f * (1 - v) - 0.25f * v * v;
            Rgba out = Shade(col, shade) * Coverage(d);
            float gloss = SmoothStep(6, 2, y) * 0.35f * Coverage(d + 2);
            out = Over(Colour(1, 1, 1, gloss), out);
            // Faint segments.
            if (std::fmod(x, 18.5f) < 1.0f) out = Over(Colour(0, 0, 0, 0.18f) * Coverage(d + 1), out);
            return out;
        });
    return c;
}

Canvas Twinkle(int size, int points, float strength)
{
    Canvas c(size, size);
    float h = float(size) / 2;
    c.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float dx = x - h, dy = y - h;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float spikes =
                std::pow(std::abs(std::cos(float(points) / 2 * a)), 30.0f) * std::exp(-r / (h * 0.45f));
            float core = std::exp(-r * r / (h * h * 0.05f));
            float glow = std::exp(-r / (h * 0.35f)) * 0.35f;
            float k = (spikes * 0.9f + core + glow) * strength * SmoothStep(h, h - 1.5f, r);
            Rgba c1 = Mix(Colour255(255, 255, 255), Colour255(255, 230, 150), r / h);
            return Rgba{c1.r * k, c1.g * k, c1.b * k, Saturate(k)};
        });
    return c;
}

// A word in a starburst, for the floating texts of bonus and combo groups.
Canvas Burst(const std::string& word, const Rgba& top, const Rgba& bottom, const Rgba& ray)
{
    const int w = 124, h = 46;
    Canvas c(w, h);
    c.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            float dx = (x - w / 2.0f) / 1.9f, dy = y - h / 2.0f;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float rays = std::pow(0.5f + 0.5f * std::cos(14 * a), 6.0f) * std::exp(-r / 16) * 0.8f;
            float glow = std::exp(-r * r / 200) * 0.5f;
            float k = (rays + glow) * SmoothStep(h / 2.0f, h / 2.0f - 3, std::abs(dy)) *
                      SmoothStep(w / 2.0f / 1.9f, w / 2.0f / 1.9f - 4, std::abs(dx));
            return Rgba{ray.r * k, ray.g * k, ray.b * k, Saturate(k)};
        });
    TextLook look{.fillTop = top,
                  .fillBottom = bottom,
                  .outline = 2.2f,
                  .outlineColour = Colour255(40, 10, 30),
                  .shadowBlur = 2,
                  .shadowY = 2,
                  .shine = 0.5f};
    DrawText(c, Face{"DejaVu Sans", 22, 700, true, 0.5f}, word, 0, 9, float(w), Align::Centre, look);
    return c;
}

Canvas ExampleBonus()
{
    // The picture of the bonus display in the bonus hints: a socket on the left for the
    // bonus colour's small piece, room on the right for the words. The hint centres the piece
    // on the socket's middle (28, 28) and writes the size right of its rim (x 47).
    const int w = 180, h = 56;
    Canvas c(w, h);
    PanelLook look{.radius = 14};
    PaintPanel(c, 2, 2, w - 4.0f, h - 4.0f, look);
    PanelLook socket{.fillTop = Colour255(2, 4, 14, 0.95f),
                     .fillBottom = Colour255(12, 18, 44, 0.95f),
                     .rim = Colour255(255, 220, 100),
                     .rimGlow = Colour255(255, 200, 60, 0.5f),
                     .glowWidth = 5,
                     .radius = 19,
                     .sheen = 0};
    PaintPanel(c, 9, 9, 38, 38, socket);
    for (Vec2 p : {Vec2{60, 14}, Vec2{166, 40}, Vec2{150, 12}})
        PaintStar(c, p.x, p.y, 0.9f, Colour255(255, 240, 180, 0.8f), true);
    return c;
}

// The medals of the challenge grid: bronze, silver, gold and ultra stars.
Canvas Medal(int k)
{
    Canvas c(34, 34);
    static const Rgba metals[4] = {Colour255(205, 127, 60), Colour255(200, 210, 225), Colour255(255, 200, 40),
                                   Colour255(150, 110, 255)};
    Rgba metal = metals[k];
    Sdf star = [](Vec2 p) { return SdPolygon(p, StarPolygon(5, 1.0f, 0.48f)) - 0.05f; };
    if (k == 3) PaintGlow(c, 17, 17.5f, star, Colour255(120, 230, 255, 0.7f), 5, 14);
    PaintGlow(c, 17, 17.5f, star, Fade(Shade(metal, 1.2f), 0.35f), 3, 14);
    Bevel bevel{.base = metal, .width = 4.5f, .gloss = 0.8f, .outline = 1};
    PaintBevelled(c, 17, 17.5f, star, bevel, 14);
    if (k == 3)
    {
        // Ultra shimmers through every colour.
        c.Map(
            [&](float x, float y, const Rgba& p)
            {
                float a = std::atan2(y - 17, x - 17) + (x + y) * 0.05f;
                Rgba hue = Colour(0.6f + 0.4f * std::cos(a), 0.6f + 0.4f * std::cos(a - 2.1f),
                                  0.6f + 0.4f * std::cos(a + 2.1f));
                return Rgba{p.r * hue.r * 1.3f, p.g * hue.g * 1.3f, p.b * hue.b * 1.3f, p.a};
            });
        PaintStar(c, 12, 11, 1.0f, Colour(1, 1, 1, 0.9f), true);
    }
    return c;
}

Canvas ChallengeButton(bool locked)
{
    // Drawn 121 x 93 (the button less two pixels): the id at the top, the title under it and
    // the medal in the round socket below.
    const int w = 121, h = 93;
    Canvas c(w, h);
    PanelLook look{.fillTop = locked ? Colour255(30, 32, 46, 0.9f) : Colour255(40, 62, 140, 0.93f),
                   .fillBottom = locked ? Colour255(12, 12, 20, 0.9f) : Colour255(12, 20, 56, 0.93f),
                   .rim = locked ? Colour255(90, 96, 120) : Colour255(130, 200, 255),
                   .rimGlow = locked ? Colour255(60, 60, 80, 0.2f) : Colour255(60, 140, 255, 0.45f),
                   .glowWidth = 5,
                   .radius = 12,
                   .sheen = locked ? 0.04f : 0.14f};
    PaintPanel(c, 2, 2, w - 4.0f, h - 4.0f, look);
    if (locked)
    {
        // A padlock.
        Sdf shackle = [](Vec2 p) {
            return std::abs(SdBox(p - Vec2{0, -6}, Vec2{7, 9}, 7)) - 2.2f + (p.y > -2 ? 100.0f : 0.0f);
        };
        Sdf body = [](Vec2 p) { return SdBox(p - Vec2{0, 7}, Vec2{11, 9}, 3); };
        Bevel metal{.base = Colour255(130, 134, 150), .width = 3, .outline = 1, .glassHighlight = false};
        PaintBevelled(c, w / 2.0f, h / 2.0f, shackle, metal, 1);
        PaintBevelled(c, w / 2.0f, h / 2.0f, body, metal, 1);
        PaintShape(
            c, w / 2.0f, h / 2.0f + 7, [](Vec2 p) { return SdCircle(p, 2.5f); }, Colour255(30, 30, 40));
        return c;
    }
    PanelLook socket{.fillTop = Colour255(2, 4, 14, 0.9f),
                     .fillBottom = Colour255(14, 20, 48, 0.9f),
                     .rim = Colour255(90, 150, 220, 0.8f),
                     .rimWidth = 1,
                     .glowWidth = 3,
                     .radius = 19,
                     .sheen = 0};
    PaintPanel(c, w / 2.0f - 20, 45, 40, 40, socket);
    return c;
}

// --- Tutorial boxes ---

// A message box with a pointer: the box body (w x h) at the top left, the pointer's tip at
// tip, its base on the body's edge between base0 and base1.
Canvas PointerBox(int width, int height, int bodyW, int bodyH, Vec2 tip, Vec2 base0, Vec2 base1)
{
    Canvas c(width, height);
    Vec2 centre{bodyW / 2.0f, bodyH / 2.0f};
    Sdf shape = [=](Vec2 p)
    {
        float body = SdBox(p - centre, Vec2{bodyW / 2.0f - 4, bodyH / 2.0f - 4}, 16);
        if (tip.x < 0) return body;
        float pointer = SdPolygon(p, {base0, tip, base1}) - 1;
        return SmoothUnion(body, pointer, 5);
    };
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = shape(Vec2{x, y});
            Rgba fill = Mix(Colour255(30, 44, 100, 0.95f), Colour255(10, 16, 44, 0.95f), y / float(bodyH));
            Rgba out = Colour(0, 0, 0, 0.35f * std::exp(-std::max(d, 0.0f) / 3.0f)) * (1 - Coverage(d));
            out = Over(fill * Coverage(d), out);
            out = Over(Colour255(255, 220, 90, 0.5f) * std::exp(-std::abs(d + 1.5f) / 2.5f), out);
            out = Over(Colour255(255, 236, 140) * Coverage(std::abs(d + 1.5f) - 1.0f), out);
            return out;
        });
    return c;
}

Canvas MouseCursor()
{
    // An arrow pointer, its tip at the top-left pixel.
    Canvas c(24, 34);
    std::vector<Vec2> arrow = {{1.5f, 1.5f}, {1.5f, 26},  {7.5f, 20.5f}, {12, 31},
                               {16, 29},     {11.5f, 19}, {19.5f, 19}};
    Sdf shape = [arrow](Vec2 p) { return SdPolygon(p, arrow); };
    Canvas shadow(24, 34);
    PaintShape(shadow, 1.5f, 2, shape, Colour(0, 0, 0, 0.5f));
    shadow.Blur(2);
    c.Draw(shadow, 0, 0);
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float d = shape(Vec2{x, y});
            Rgba out = Colour(0.05f, 0.05f, 0.1f) * Coverage(d);
            out = Over(Mix(Colour(1, 1, 1), Colour255(200, 210, 230), y / 30) * Coverage(d + 1.4f), out);
            return out;
        });
    return c;
}

Canvas ClickMark()
{
    // Three short rays fanning out above and to the right of the pointer's tip, which lies
    // just beyond the lower-left corner.
    Canvas c(36, 30);
    Vec2 origin{-7, 28};
    for (float a : {-1.05f, -0.55f, -0.05f})
    {
        Vec2 dir{std::cos(a), std::sin(a)};
        Vec2 p0 = origin + dir * 13, p1 = origin + dir * 27;
        Sdf ray = [=](Vec2 p) { return SdSegment(p, p0, p1) - 1.6f; };
        PaintGlow(c, 0, 0, ray, Colour255(255, 220, 80, 0.6f), 4);
        PaintShape(c, 0, 0, ray, Colour255(255, 250, 200));
    }
    return c;
}

Canvas MenuArrow()
{
    // A small comet pointing at the hovered menu entry.
    Canvas c(32, 24);
    Sdf head = [](Vec2 p) { return SdPolygon(p, {{14, 4}, {30, 12}, {14, 20}, {18, 12}}) - 0.8f; };
    c.PaintAdd(
        [](float x, float y) -> Rgba
        {
            float k = std::exp(-std::pow((y - 12) / (1.2f + x * 0.12f), 2.0f)) * SmoothStep(0, 16, x) * 0.7f;
            return Rgba{1.0f * k, 0.85f * k, 0.3f * k, k};
        });
    PaintGlow(c, 0, 0, head, Colour255(255, 220, 80, 0.7f), 4);
    Bevel bevel{.base = Colour255(255, 226, 70), .width = 3, .outline = 0.9f, .glassHighlight = false};
    PaintBevelled(c, 0, 0, head, bevel, 1);
    return c;
}

} // namespace

void AddInterfaceImages(std::vector<ImageSpec>& out)
{
    // Every piece is cut from a whole frame, so that the pieces meet without a seam.
    auto piece = [](FrameTop top, bool corner, int x, int y, int w, int h)
    {
        return [=]
        {
            static std::map<std::pair<FrameTop, bool>, Canvas> frames;
            auto key = std::make_pair(top, corner);
            if (!frames.count(key)) frames[key] = PaintFrame(top, corner);
            return frames[key].Crop(x, y, w, h);
        };
    };
    const int sideHeight = kScreenHeight - kBottomHeight - kTopHeight;
    out.push_back({"IMAGE_FRAME_TOP_SHADED", "images/frame_top_shaded", 1, 1, Format::Png,
                   piece(FrameTop::Title, false, 0, 0, kScreenWidth, kTopHeight)});
    out.push_back({"IMAGE_FRAME_TOP_SHADED_GAME", "images/frame_top_shaded_game", 1, 1, Format::Png,
                   piece(FrameTop::Game, false, 0, 0, kScreenWidth, kTopHeight)});
    out.push_back(
        {"IMAGE_FRAME_RIGHT_FULL", "images/frame_right_full", 1, 1, Format::Png,
         piece(FrameTop::Game, false, kScreenWidth - kSideWidth, kTopHeight, kSideWidth, sideHeight)});
    out.push_back({"IMAGE_FRAME_LEFT_FULL", "images/frame_left_full", 1, 1, Format::Png,
                   piece(FrameTop::Game, false, 0, kTopHeight, kSideWidth, sideHeight)});
    out.push_back(
        {"IMAGE_FRAME_BOTTOM_FULL", "images/frame_bottom_full", 1, 1, Format::Png,
         piece(FrameTop::Game, false, 0, kScreenHeight - kBottomHeight, kScreenWidth, kBottomHeight)});
    out.push_back({"IMAGE_FRAME_LEFT_PARTIAL", "images/frame_left_partial", 1, 1, Format::Png,
                   piece(FrameTop::Game, true, 0, kTopHeight, kSideWidth, kCornerTop - kTopHeight)});
    out.push_back({"IMAGE_FRAME_LEFT_MAINMENU_BTN", "images/frame_left_mainmenu_btn", 1, 1, Format::Png,
                   piece(FrameTop::Game, true, 0, kCornerTop, kCornerWidth, kScreenHeight - kCornerTop)});
    out.push_back({"IMAGE_FRAME_BOTTOM_PARTIAL", "images/frame_bottom_partial", 1, 1, Format::Png,
                   piece(FrameTop::Game, true, kCornerWidth, kScreenHeight - kBottomHeight,
                         kScreenWidth - kCornerWidth, kBottomHeight)});
    out.push_back({"IMAGE_MAINMENUBTN_HILIGHT", "images/mainmenubtn_hilight", 1, 1, Format::Png,
                   [] { return MenuButton(true); }});
    out.push_back({"IMAGE_DIALOG_BOX", "images/dialog_box", 1, 1, Format::Png, [] { return DialogBox(); }});
    out.push_back(
        {"IMAGE_DIALOG_BUTTON", "images/dialog_button", 1, 1, Format::Png, [] { return DialogButton(); }});
    out.push_back({"IMAGE_CHECKBOX", "images/checkbox", 1, 1, Format::Png, [] { return Checkbox(); }});
    out.push_back(
        {"IMAGE_SLIDER_TRACK", "images/slider_track", 1, 1, Format::Png, [] { return SliderTrack(); }});
    out.push_back(
        {"IMAGE_SLIDER_THUMB", "images/slider_thumb", 1, 1, Format::Png, [] { return SliderThumb(); }});
    out.push_back({"IMAGE_TOPTEN_LEFT_ARROW", "images/topten_left_arrow", 1, 1, Format::Png,
                   [] { return ArrowButton(32, kPi); }});
    out.push_back({"IMAGE_TOPTEN_RIGHT_ARROW", "images/topten_right_arrow", 1, 1, Format::Png,
                   [] { return ArrowButton(32, 0); }});
    out.push_back({"IMAGE_TOPTEN_UP_ARROW", "images/topten_up_arrow", 1, 1, Format::Png,
                   [] { return ArrowButton(24, -kPi / 2); }});
    out.push_back({"IMAGE_TOPTEN_DOWN_ARROW", "images/topten_down_arrow", 1, 1, Format::Png,
                   [] { return ArrowButton(24, kPi / 2); }});
    out.push_back({"IMAGE_GLOWYBOX_UPLEFTCORNER", "images/glowybox_upleftcorner", 1, 1, Format::Png,
                   [] { return GlowyCorner(); }});
    out.push_back({"IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER", "images/glowybox_bottomrightcorner", 1, 1, Format::Png,
                   []
                   {
                       // The same turn, rotated half a turn.
                       Canvas corner = GlowyCorner(), turned(6, 6);
                       for (int y = 0; y < 6; ++y)
                           for (int x = 0; x < 6; ++x)
                               turned.At(5 - x, 5 - y) = corner.At(x, y);
                       return turned;
                   }});
    out.push_back({"IMAGE_GLOWYBOX_LEFTRIGHTPIXEL", "images/glowybox_leftrightpixel", 1, 1, Format::Png,
                   [] { return GlowyEdge(true); }});
    out.push_back({"IMAGE_GLOWYBOX_UPDOWNPIXEL", "images/glowybox_updownpixel", 1, 1, Format::Png,
                   [] { return GlowyEdge(false); }});
    out.push_back({"IMAGE_COMPLETION_METER", "images/completion_meter", 1, 1, Format::Png,
                   [] { return CompletionMeter(); }});
    out.push_back({"IMAGE_COMPLETION_INDICATOR", "images/completion_indicator", 1, 1, Format::Png,
                   [] { return CompletionIndicator(); }});
    out.push_back({"IMAGE_COMPLETION_STAR1", "images/completion_star1", 1, 1, Format::Png,
                   [] { return Twinkle(15, 4, 1.0f); }});
    out.push_back({"IMAGE_COMPLETION_STAR2", "images/completion_star2", 1, 1, Format::Png,
                   [] { return Twinkle(25, 8, 1.0f); }});
    out.push_back(
        {"IMAGE_TIMELEFT_BAR", "images/timeleft_bar", 1, 1, Format::Png, [] { return TimeLeftBar(); }});
    out.push_back({"IMAGE_BONUS", "images/bonus", 1, 1, Format::Png, [] {
                       return Burst("BONUS!", Colour255(255, 255, 200), Colour255(255, 190, 40),
                                    Colour255(255, 210, 90));
                   }});
    out.push_back({"IMAGE_COMBO", "images/combo", 1, 1, Format::Png, [] {
                       return Burst("COMBO!", Colour255(220, 255, 255), Colour255(80, 200, 255),
                                    Colour255(120, 200, 255));
                   }});
    out.push_back(
        {"IMAGE_EXAMPLE_BONUS", "images/example_bonus", 1, 1, Format::Png, [] { return ExampleBonus(); }});
    out.push_back({"IMAGE_CHALLENGEGRID_BUTTON", "images/challengegrid_button", 1, 1, Format::Png,
                   [] { return ChallengeButton(false); }});
    out.push_back({"IMAGE_CHALLENGEGRID_BUTTONLOCKED", "images/challengegrid_buttonlocked", 1, 1, Format::Png,
                   [] { return ChallengeButton(true); }});
    out.push_back({"IMAGE_CHALLENGEGRID_STARS", "images/challengegrid_stars", 4, 1, Format::Png,
                   []
                   {
                       Canvas strip(34 * 4, 34);
                       for (int k = 0; k < 4; ++k)
                           strip.Draw(Medal(k), 34 * k, 0);
                       return strip;
                   }});
    out.push_back({"IMAGE_TUTORIAL_BOX", "images/tutorial_box", 1, 1, Format::Png, [] {
                       return PointerBox(300, 180, 300, 180, Vec2{-1, -1}, {}, {});
                   }});
    // The pointer reaches the square the box is about, to the right of the box's top corner.
    out.push_back({"IMAGE_TUTORIAL_BOX_ARROW", "images/tutorial_box_arrow", 1, 1, Format::Png, [] {
                       return PointerBox(330, 185, 280, 185, Vec2{326, 10}, Vec2{262, 6}, Vec2{270, 46});
                   }});
    out.push_back({"IMAGE_TUTORIAL_BOX_LONG_ARROW", "images/tutorial_box_long_arrow", 1, 1, Format::Png, [] {
                       return PointerBox(474, 190, 360, 190, Vec2{470, 10}, Vec2{340, 10}, Vec2{348, 52});
                   }});
    out.push_back({"IMAGE_TUTORIAL_MOUSECURSOR", "images/tutorial_mousecursor", 1, 1, Format::Png,
                   [] { return MouseCursor(); }});
    out.push_back(
        {"IMAGE_TUTORIAL_CLICK", "images/tutorial_click", 1, 1, Format::Png, [] { return ClickMark(); }});
    out.push_back({"IMAGE_MENU_ARROW", "images/menu_arrow", 1, 1, Format::Png, [] { return MenuArrow(); }});
}

} // namespace Art

#include "tools/art/Catalogue.h"
#include "tools/art/Layout.h"
#include "tools/art/Noise.h"
#include "tools/art/Space.h"

#include <cmath>

namespace Art
{

namespace
{

// The main menu's panel behind the mode buttons. The picture is drawn at (-83, 60) once it has
// slid in, so the buttons (x 53 to 273, y 164 to 437 on screen) fall on its glass.
Canvas MainMenuFloat()
{
    const int w = 400, h = 440;
    Canvas c(w, h);
    // An orbit sweeping behind the panel, a small moon riding it.
    c.PaintAdd(
        [&](float x, float y) -> Rgba
        {
            Vec2 q = Rotate(Vec2{x - 250, y - 240}, 0.35f);
            float e = std::sqrt((q.x / 190) * (q.x / 190) + (q.y / 232) * (q.y / 232));
            float k = std::exp(-std::pow((e - 1) * 232 / 1.6f, 2.0f)) * 0.45f;
            k *= 0.4f + 0.6f * SmoothStep(-1, 1, std::sin(std::atan2(q.y, q.x) * 1.0f + 0.5f));
            return Rgba{0.45f * k, 0.75f * k, 1.0f * k, k};
        });
    PanelLook look{.fillTop = Colour255(26, 40, 96, 0.82f),
                   .fillBottom = Colour255(8, 12, 40, 0.88f),
                   .glowWidth = 14,
                   .radius = 26,
                   .sheen = 0.1f};
    PaintPanel(c, 110, 76, 276, 330, look);
    // Lights along the panel's upper edge.
    for (int i = 0; i < 5; ++i)
        PaintStar(c, 190 + float(i) * 28, 88, 0.8f, Colour255(140, 210, 255, 0.7f), false);
    PlanetLook moon = MapPlanet(3);
    moon.seed = 3333;
    PaintPlanet(c, 118, 78, 24, moon);
    c.FadeBorder(16);
    return c;
}

// Over the right side of the main menu: the ring of the viewer the planet appears in, centred
// where the planet rests (650, 365 on screen; the picture is drawn at (0, 92)).
Canvas MainMenuOverlay()
{
    const int w = kScreenWidth, h = 440;
    Canvas c(w, h);
    const Vec2 centre{650, 365 - 92};
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            Vec2 d{x - centre.x, y - centre.y};
            float r = Length(d);
            float a = std::atan2(d.y, d.x);
            if (r > 170) return Rgba{};
            Rgba out = Colour255(4, 8, 26, 0.45f * SmoothStep(146, 136, r));
            // The inner ring and its glow.
            out = Over(Colour255(80, 160, 255, 0.35f * std::exp(-std::abs(r - 141) / 4.0f)), out);
            out = Over(Colour255(150, 210, 255, Coverage(std::abs(r - 141) - 0.8f) * 0.9f), out);
            // Ticks around the outer ring, longer every fifth.
            float tick = std::fmod(a / (2 * kPi) * 60 + 60.5f, 1.0f) - 0.5f;
            int index = int(std::floor(a / (2 * kPi) * 60 + 60.5f));
            float len = index % 5 == 0 ? 9.0f : 4.5f;
            float t = Coverage(std::abs(tick) * r * (2 * kPi / 60) - 0.7f) *
                      Coverage(std::abs(r - 150 - len / 2) - len / 2);
            out = Over(Colour255(140, 200, 255, 0.7f * t), out);
            // Four arcs of the outer ring, leaving gaps at the sides and the poles.
            float arc = SmoothStep(0.12f, 0.18f, std::abs(std::sin(2 * a)));
            out = Over(Colour255(100, 180, 255, Coverage(std::abs(r - 162) - 1.2f) * arc * 0.75f), out);
            return out;
        });
    return c;
}

Canvas MenuPlanet()
{
    PlanetLook look;
    look.surface = Surface::Bands;
    look.c1 = Colour255(70, 120, 210);
    look.c2 = Colour255(30, 46, 120);
    look.c3 = Colour255(150, 210, 255);
    look.seed = 2468;
    look.spin = 2.6f;
    look.axis = -0.3f;
    look.light = {-0.75f, -0.62f, 0.3f};
    look.atmosphere = Colour255(110, 200, 255, 0.9f);
    look.atmosphereWidth = 0.05f;
    return PlanetImage(280, look);
}

// The bar of the main menu's lower buttons, over the frame's bottom edge.
Canvas BottomBubble()
{
    const int w = kScreenWidth, h = kBubbleHeight;
    Canvas c(w, h);
    PanelLook look{.fillTop = Colour255(30, 44, 100, 0.97f),
                   .fillBottom = Colour255(10, 14, 40, 0.99f),
                   .glowWidth = 8,
                   .radius = 22};
    PaintPanel(c, 40, 10, w - 80.0f, h + 30.0f, look);
    // Fine dividers between the four buttons.
    for (float x : {232.0f, 420.0f, 618.0f})
        c.Paint(
            [&](float px, float py) -> Rgba
            {
                float k = Coverage(std::abs(px - x) - 0.5f) * SmoothStep(18, 30, py) *
                          SmoothStep(h - 4.0f, h - 14.0f, py);
                return Colour255(110, 170, 240, 0.45f * k);
            });
    return c;
}

// The panel of the top-ten list, drawn centred at y 50: the page title at y 100, the page
// arrows at y 75 to 125, the column heads at y 190 and the rows from y 205.
Canvas TopTenOverlay()
{
    const int w = 520, h = 430;
    Canvas c(w, h);
    PanelLook look{.fillTop = Colour255(26, 40, 96, 0.88f),
                   .fillBottom = Colour255(8, 12, 36, 0.9f),
                   .glowWidth = 12,
                   .radius = 24};
    PaintPanel(c, 4, 4, w - 8.0f, h - 8.0f, look);
    // The title's band and the line under the column heads.
    c.Paint(
        [&](float x, float y) -> Rgba
        {
            float band = SmoothStep(12, 22, y) * SmoothStep(82, 72, y) * SmoothStep(20, 60, x) *
                         SmoothStep(w - 20.0f, w - 60.0f, x);
            Rgba out = Colour255(60, 100, 200, 0.18f * band);
            float line = Coverage(std::abs(y - 150) - 0.6f) * SmoothStep(20, 70, x) *
                         SmoothStep(w - 20.0f, w - 70.0f, x);
            return Over(Colour255(130, 200, 255, 0.7f * line), out);
        });
    return c;
}

} // namespace

void AddMenuImages(std::vector<ImageSpec>& out)
{
    out.push_back(
        {"IMAGE_MAINMENU_FLOAT", "images/mainmenu_float", 1, 1, Format::Png, [] { return MainMenuFloat(); }});
    out.push_back({"IMAGE_MAINMENU_OVERLAY", "images/mainmenu_overlay", 1, 1, Format::Png,
                   [] { return MainMenuOverlay(); }});
    out.push_back(
        {"IMAGE_MENU_PLANET", "images/menu_planet", 1, 1, Format::Png, [] { return MenuPlanet(); }});
    out.push_back({"IMAGE_FRAME_BOTTOM_BUBBLE", "images/frame_bottom_bubble", 1, 1, Format::Png,
                   [] { return BottomBubble(); }});
    out.push_back(
        {"IMAGE_TOPTEN_OVERLAY", "images/topten_overlay", 1, 1, Format::Png, [] { return TopTenOverlay(); }});
}

} // namespace Art

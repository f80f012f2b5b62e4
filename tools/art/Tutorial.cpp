#include "tools/art/Catalogue.h"
#include "tools/art/Layout.h"
#include "tools/art/Scenes.h"
#include "tools/art/Space.h"
#include "tools/art/Text.h"

#include <cmath>

namespace Art
{

namespace
{

// A heading and a few words in a panel of glass.
void Explanation(Canvas& c, float x, float y, float w, float h, const std::string& heading,
                 const std::string& body)
{
    PanelLook look = GlassPanel();
    look.radius = 12;
    look.fillTop = Colour255(20, 30, 76, 0.78f);
    look.fillBottom = Colour255(8, 12, 36, 0.82f);
    look.rim = Colour255(110, 180, 250, 0.8f);
    look.rimWidth = 1.2f;
    look.glowWidth = 6;
    look.rimGlow = Colour255(60, 140, 255, 0.3f);
    PaintPanel(c, x, y, w, h, look);
    TextLook title;
    title.fillTop = Colour255(255, 252, 200);
    title.fillBottom = kTitleYellow;
    title.outline = 1.6f;
    title.outlineColour = Colour255(30, 16, 4);
    title.shadowBlur = 2;
    title.shadowY = 1.5f;
    DrawText(c, Face{"DejaVu Sans", 17, 700, false, 1.0f}, heading, x + 14, y + 7, w - 28, Align::Left,
             title);
    TextLook text;
    text.fillTop = Colour(1, 1, 1);
    text.fillBottom = Colour255(220, 230, 245);
    text.shadowBlur = 1.5f;
    text.shadowX = 1;
    text.shadowY = 1;
    text.shadowColour = Colour(0, 0, 0, 0.8f);
    DrawText(c, Face{"DejaVu Sans", 14, 400, false, 0}, body, x + 14, y + 29, w - 28, Align::Left, text, 16);
}

// The tutorial screen's picture: the demonstration's actors play over it (a 5 x 6 board on the
// left, a block of four and a 4 x 3 board on the right), and these explanations say what they
// show.
Canvas TutorialPicture()
{
    Canvas c = SpaceBackdrop(2525, Colour255(40, 70, 160), Colour255(90, 50, 150), {400, 320}, 460, 0.4f);
    c.Map([](float, float, const Rgba& p) { return Rgba{p.r * 0.8f, p.g * 0.8f, p.b * 0.8f, p.a}; });
    Explanation(
        c, 34, 52, 400, 72, "1. Move the pieces",
        "Click a piece next to the empty square to slide it in. Bring pieces of one colour together.");
    Explanation(c, 450, 52, 320, 72, "2. Make a block of four",
                "Four pieces of one colour in a 2 x 2 square start a group.");
    Explanation(c, 450, 257, 320, 64, "3. Watch it grow",
                "The group takes in every touching piece of its colour, then it explodes.");
    Explanation(c, 34, 518, 736, 30, "", "");
    TextLook text;
    text.fillTop = Colour(1, 1, 1);
    text.fillBottom = Colour255(225, 235, 250);
    text.shadowBlur = 1.5f;
    text.shadowX = 1;
    text.shadowY = 1;
    text.shadowColour = Colour(0, 0, 0, 0.8f);
    DrawText(c, Face{"DejaVu Sans", 14, 400, false, 0},
             "Clear enough pieces to finish each level. Right-click for the level's second kind of move.", 48,
             524, 710, Align::Centre, text);
    return c;
}

} // namespace

void AddTutorialImages(std::vector<ImageSpec>& out)
{
    out.push_back(
        {"IMAGE_TUTORIAL", "images/tutorial", 1, 1, Format::Jpeg, [] { return TutorialPicture(); }});
}

} // namespace Art

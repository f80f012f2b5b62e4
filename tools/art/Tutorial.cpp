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

// The explanations' words: white with a soft shadow.
const Face kBodyFace{"DejaVu Sans", 14};

TextLook BodyText()
{
    return TextLook{.fillTop = Colour(1, 1, 1),
                    .fillBottom = Colour255(222, 232, 248),
                    .shadowBlur = 1.5f,
                    .shadowX = 1,
                    .shadowY = 1,
                    .shadowColour = Colour(0, 0, 0, 0.8f)};
}

// A heading and a few words in a panel of glass.
void Explanation(Canvas& c, float x, float y, float w, float h, const std::string& heading,
                 const std::string& body)
{
    PanelLook look{.fillTop = Colour255(20, 30, 76, 0.78f),
                   .fillBottom = Colour255(8, 12, 36, 0.82f),
                   .rim = Colour255(110, 180, 250, 0.8f),
                   .rimWidth = 1.2f,
                   .rimGlow = Colour255(60, 140, 255, 0.3f),
                   .glowWidth = 6,
                   .radius = 12};
    PaintPanel(c, x, y, w, h, look);
    TextLook title{.fillTop = Colour255(255, 252, 200),
                   .fillBottom = kTitleYellow,
                   .outline = 1.6f,
                   .outlineColour = Colour255(30, 16, 4),
                   .shadowBlur = 2,
                   .shadowY = 1.5f};
    DrawText(c, Face{"DejaVu Sans", 17, 700, false, 1.0f}, heading, x + 14, y + 7, w - 28, Align::Left,
             title);
    DrawText(c, kBodyFace, body, x + 14, y + 29, w - 28, Align::Left, BodyText(), 16);
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
    DrawText(c, kBodyFace,
             "Clear enough pieces to finish each level. Right-click for the level's second kind of move.", 48,
             524, 710, Align::Centre, BodyText());
    return c;
}

} // namespace

void AddTutorialImages(std::vector<ImageSpec>& out)
{
    out.push_back(
        {"IMAGE_TUTORIAL", "images/tutorial", 1, 1, Format::Jpeg, [] { return TutorialPicture(); }});
}

} // namespace Art

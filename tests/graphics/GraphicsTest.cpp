#include "graphics/Graphics.h"
#include "graphics/Font.h"
#include "graphics/Image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace Kavo;

// Records the image operations the context calls, one line each.
class RecordingImage : public Image
{
public:
    std::vector<std::string> calls;
    RecordingImage(int w, int h)
    {
        width = w;
        height = h;
    }
    static std::string R(const Rect& r)
    {
        return "(" + std::to_string(r.mX) + "," + std::to_string(r.mY) + "," + std::to_string(r.mWidth) +
               "," + std::to_string(r.mHeight) + ")";
    }
    void FillRect(const Rect& r, const Color&, int) override { calls.push_back("fill" + R(r)); }
    void DrawRect(const Rect& r, const Color&, int) override { calls.push_back("rect" + R(r)); }
    void DrawLine(double x1, double y1, double x2, double y2, const Color&, int) override
    {
        calls.push_back("line" + R(Rect(int(x1), int(y1), int(x2), int(y2))));
    }
    void Blt(Image*, int x, int y, const Rect& s, const Color& c, int) override
    {
        calls.push_back("blt@" + std::to_string(x) + "," + std::to_string(y) + R(s) +
                        (c.IsWhite() ? "" : "c"));
    }
    void BltMirror(Image*, int x, int y, const Rect& s, const Color&, int) override
    {
        calls.push_back("mirror@" + std::to_string(x) + "," + std::to_string(y) + R(s));
    }
    void StretchBlt(Image*, const Rect& d, const Rect& s, const Rect&, const Color&, int, bool) override
    {
        calls.push_back("stretch" + R(d) + R(s));
    }
    static std::string F(float v)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g", double(v));
        return text;
    }
    void BltRotated(Image*, float x, float y, const Rect& s, const Rect&, const Color&, int, double, float cx,
                    float cy) override
    {
        calls.push_back("rot@" + F(x) + "," + F(y) + R(s) + "c" + F(cx) + "," + F(cy));
    }
    void BltF(Image*, float x, float y, const Rect& s, const Rect&, const Color&, int) override
    {
        calls.push_back("bltf@" + F(x) + "," + F(y) + R(s));
    }
    void BltMatrix(Image*, float x, float y, const Matrix3& m, const Rect&, const Color&, int, const Rect& s,
                   bool) override
    {
        calls.push_back("matrix@" + F(x) + "," + F(y) + R(s) + "x" + F(m.m[0][0]));
    }
};

// Every character 5 pixels wide; records what it draws.
class FakeFont : public Font
{
public:
    std::vector<std::string> drawn;
    FakeFont()
    {
        ascent = 8;
        ascentPadding = 1;
        height = 10;
        lineSpacingOffset = 2;
    }
    int StringWidth(const std::string& text) override { return 5 * int(text.size()); }
    void DrawString(Graphics*, int x, int y, const std::string& text, const Color& color,
                    const Rect&) override
    {
        char tag[32];
        std::snprintf(tag, sizeof tag, "@%d,%d#%06X", x, y, color.ToInt() & 0xFFFFFF);
        drawn.push_back(text + tag);
    }
    Font* Duplicate() override { return new FakeFont(*this); }
};

TEST(Graphics, StateStack)
{
    RecordingImage dest(100, 80);
    Graphics g(&dest);
    EXPECT_EQ(g.clipRect, Rect(0, 0, 100, 80));
    EXPECT_EQ(g.color, Color(0, 0, 0, 255));
    g.PopState(); // empty: nothing
    g.PushState();
    g.Translate(10, 5);
    g.ClipRect(0, 0, 20, 20);
    g.SetColor(Color(1, 2, 3, 4));
    g.SetDrawMode(1);
    g.PushState();
    g.Translate(1, 1);
    g.ClipRect(5, 5, 100, 100); // intersected with the translated rectangle
    EXPECT_EQ(g.clipRect, Rect(16, 11, 14, 14));
    g.PopState();
    EXPECT_EQ(g.clipRect, Rect(10, 5, 20, 20));
    EXPECT_EQ(g.transX, 10.0f);
    EXPECT_EQ(g.GetDrawMode(), 1);
    g.PopState();
    EXPECT_EQ(g.clipRect, Rect(0, 0, 100, 80));
    EXPECT_EQ(g.transX, 0.0f);
    EXPECT_EQ(g.GetColor(), Color(0, 0, 0, 255));
    EXPECT_TRUE(g.stateStack.empty());

    g.PushState();
    Graphics copy(g); // the copy starts with an empty stack
    EXPECT_TRUE(copy.stateStack.empty());
    std::unique_ptr<Graphics> created(g.Create());
    EXPECT_EQ(created->destImage, &dest);

    Graphics none; // without a destination: the empty image
    EXPECT_EQ(none.destImage, &Image::GetEmptyImage());
    EXPECT_EQ(none.clipRect, Rect(0, 0, 0, 0));
}

TEST(Graphics, ShapesAreTranslatedAndClipped)
{
    struct Case
    {
        const char* what;
        void (*draw)(Graphics&);
        std::vector<std::string> calls;
    } cases[] = {
        {"fill clipped", [](Graphics& g) { g.FillRect(-5, 2, 10, 100); }, {"fill(0,2,5,48)"}},
        {"fill alpha 0",
         [](Graphics& g)
         {
             g.SetColor(Color(1, 1, 1, 0));
             g.FillRect(0, 0, 5, 5);
         },
         {}},
        {"outline inside", [](Graphics& g) { g.DrawRect(0, 0, 10, 10); }, {"rect(0,0,10,10)"}},
        {"outline cut",
         [](Graphics& g) { g.DrawRect(-2, 40, 10, 20); },
         {"fill(0,40,9,1)", "fill(8,41,1,9)"}}, // bottom and left edges fall outside
        {"translated",
         [](Graphics& g)
         {
             g.Translate(3, 4);
             g.FillRect(1, 1, 2, 2);
         },
         {"fill(4,5,2,2)"}},
        {"line alpha 0 still drawn",
         [](Graphics& g)
         {
             g.SetColor(Color(1, 1, 1, 0));
             g.DrawLine(1, 1, 5, 5);
         },
         {"line(1,1,5,5)"}},
        {"line clipped", [](Graphics& g) { g.DrawLine(-10, -10, 10, 10); }, {"line(0,0,10,10)"}},
        {"line outside", [](Graphics& g) { g.DrawLine(-10, -10, -1, 100); }, {}},
        {"line vertical cut", [](Graphics& g) { g.DrawLine(3, -5, 3, 500); }, {"line(3,0,3,49)"}},
        {"line cut at the right", [](Graphics& g) { g.DrawLine(50, 10, 70, 30); }, {"line(50,10,59,19)"}},
        {"line cut at the bottom", [](Graphics& g) { g.DrawLine(30, 60, 10, 40); }, {"line(10,40,19,49)"}},
        {"line rising: top point first",
         [](Graphics& g) { g.DrawLine(0, 30, 20, 10); },
         {"line(20,10,0,30)"}},
    };
    for (const Case& c : cases)
    {
        RecordingImage dest(60, 50);
        Graphics g(&dest);
        c.draw(g);
        EXPECT_EQ(dest.calls, c.calls) << c.what;
    }
}

TEST(Graphics, ImagesPickTheirBlit)
{
    Image image;
    image.width = 10;
    image.height = 10;
    image.numCols = 2;
    image.numRows = 2;
    struct Case
    {
        const char* what;
        void (*draw)(Graphics&, Image&);
        std::vector<std::string> calls;
    } cases[] = {
        {"plain", [](Graphics& g, Image& i) { g.DrawImage(&i, 3, 4); }, {"blt@3,4(0,0,10,10)"}},
        {"half outside: source starts where the clip begins",
         [](Graphics& g, Image& i) { g.DrawImage(&i, -4, 45); },
         {"blt@0,45(4,0,6,5)"}},
        {"colourised",
         [](Graphics& g, Image& i)
         {
             g.SetColorizeImages(true);
             g.DrawImage(&i, 0, 0);
         },
         {"blt@0,0(0,0,10,10)c"}},
        {"scale 2",
         [](Graphics& g, Image& i)
         {
             g.scaleX = g.scaleY = 2.0f;
             g.DrawImage(&i, 3, 0);
         },
         {"stretch(6,0,20,20)(0,0,10,10)"}},
        {"source past the edge",
         [](Graphics& g, Image& i) { g.DrawImageSrc(&i, 0, 0, Rect(5, 5, 6, 5)); },
         {}},
        {"cel", [](Graphics& g, Image& i) { g.DrawImageCel(&i, 1, 1, 3); }, {"blt@1,1(5,5,5,5)"}},
        {"cel outside the grid", [](Graphics& g, Image& i) { g.DrawImageCelColRow(&i, 1, 1, 2, 0); }, {}},
        {"mirror cut on the left",
         [](Graphics& g, Image& i) { g.DrawImageMirror(&i, -3, 0); },
         {"mirror@0,0(0,0,7,10)"}},
        {"stretched",
         [](Graphics& g, Image& i)
         {
             g.Translate(1, 1);
             g.DrawImageStretched(&i, 0, 0, 30, 5);
         },
         {"stretch(1,1,30,5)(0,0,10,10)"}},
        {"rotated about the centre",
         [](Graphics& g, Image& i) { g.DrawImageRotated(&i, 7, 8, 1.0); },
         {"rot@7,8(0,0,10,10)c5,5"}},
    };
    for (const Case& c : cases)
    {
        RecordingImage dest(60, 50);
        Graphics g(&dest);
        c.draw(g, image);
        EXPECT_EQ(dest.calls, c.calls) << c.what;
    }
}

TEST(Graphics, TransformsPickTheCheapestDraw)
{
    Image image;
    image.width = 10;
    image.height = 6;
    // Drawn at (30, 30), or at (30.25, 30) when sub-pixel.
    struct Case
    {
        const char* what;
        void (*setup)(Transform2D&);
        bool subPixel, through3D;
        std::vector<std::string> calls;
    } cases[] = {
        {"translation only", [](Transform2D& t) { t.transX2 = 4; }, false, false, {"blt@29,27(0,0,10,6)"}},
        {"mirror", [](Transform2D& t) { t.Scale(-1, 1); }, false, false, {"mirror@25,27(0,0,10,6)"}},
        {"scale", [](Transform2D& t) { t.Scale(2, 3); }, false, false, {"stretch(20,21,20,18)(0,0,10,6)"}},
        {"rotation",
         [](Transform2D& t)
         {
             t.haveRot = true;
             t.rot = 0.5f;
         },
         false,
         false,
         {"rot@25,27(0,0,10,6)c5,3"}},
        {"complex: the matrix",
         [](Transform2D& t) { t.Scale(-2, 1); },
         false,
         false,
         {"matrix@30,30(0,0,10,6)x-2"}},
        {"sub-pixel translation",
         [](Transform2D& t) { t.transX2 = 4; },
         true,
         false,
         {"bltf@29.75,27.5(0,0,10,6)"}},
        {"sub-pixel rotation about a moved centre",
         [](Transform2D& t)
         {
             t.haveRot = true;
             t.rot = 0.5f;
             t.transX1 = 2;
         },
         true,
         false,
         {"rot@27.75,27.5(0,0,10,6)c3,3"}},
        {"sub-pixel through 3D: the matrix",
         [](Transform2D& t) { t.transX2 = 4; },
         true,
         true,
         {"matrix@30.25,30(0,0,10,6)x1"}},
    };
    for (const Case& c : cases)
    {
        RecordingImage dest(60, 50);
        Graphics::DrawsThrough3DQuery always = [](Image*) { return true; };
        Graphics::SetDrawsThrough3DQuery(c.through3D ? always : nullptr);
        Graphics g(&dest);
        Graphics::SetDrawsThrough3DQuery(nullptr);
        Transform2D t;
        c.setup(t);
        if (c.subPixel)
            g.DrawImageTransformF(&image, t, Rect(0, 0, 10, 6), 30.25f, 30);
        else
            g.DrawImageTransform(&image, t, 30, 30);
        EXPECT_EQ(dest.calls, c.calls) << c.what;
    }
}

TEST(Graphics, ImageBoxTiles)
{
    Image image;
    image.width = image.height = 9;
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.DrawImageBox(Rect(0, 0, 30, 30), &image);
    int corners = 0, tiles = 0;
    for (const std::string& call : dest.calls)
    {
        EXPECT_EQ(call.find("blt@"), 0u) << call;
        bool full = call.find(",3,3)") != std::string::npos;
        EXPECT_TRUE(full) << call; // every piece is 3 x 3 here
        (call == "blt@0,0(0,0,3,3)" || call == "blt@27,0(6,0,3,3)" || call == "blt@0,27(0,6,3,3)" ||
                 call == "blt@27,27(6,6,3,3)"
             ? corners
             : tiles)++;
    }
    EXPECT_EQ(corners, 4);
    EXPECT_EQ(tiles, 8 + 8 + 8 + 8 + 64);
}

// Records only the blits and stretches that reach the clip: what a destination would draw.
class DrawnPartsImage : public RecordingImage
{
public:
    using RecordingImage::RecordingImage;
    void StretchBlt(Image* src, const Rect& d, const Rect& s, const Rect& clip, const Color& c, int mode,
                    bool fast) override
    {
        Rect visible = d.Intersection(clip).Intersection(Rect(0, 0, width, height));
        if (d.mWidth > 0 && d.mHeight > 0 && visible.mWidth > 0 && visible.mHeight > 0)
            RecordingImage::StretchBlt(src, d, s, clip, c, mode, fast);
    }
};

// Every tile of the frame drawn, wherever it lands: the box as it reads without any clipping
// of its own, for boxes small enough to tile whole.
void TileEverything(Graphics& g, const Rect& dest, Image* image, const Rect& src)
{
    const int dx = dest.mX, dy = dest.mY, dw = dest.mWidth, dh = dest.mHeight;
    const int sx = src.mX, sy = src.mY, cw = src.mWidth / 3, ch = src.mHeight / 3;
    const int mw = src.mWidth - 2 * cw, mh = src.mHeight - 2 * ch;
    g.DrawImageSrc(image, dx, dy, Rect(sx, sy, cw, ch));
    g.DrawImageSrc(image, dx + dw - cw, dy, Rect(sx + cw + mw, sy, cw, ch));
    g.DrawImageSrc(image, dx, dy + dh - ch, Rect(sx, sy + ch + mh, cw, ch));
    g.DrawImageSrc(image, dx + dw - cw, dy + dh - ch, Rect(sx + cw + mw, sy + ch + mh, cw, ch));
    Graphics edges(g);
    edges.ClipRect(dx + cw, dy, dw - 2 * cw, dh);
    for (int i = 0; i < (dw - 2 * cw + mw - 1) / mw; ++i)
    {
        edges.DrawImageSrc(image, dx + cw + i * mw, dy, Rect(sx + cw, sy, mw, ch));
        edges.DrawImageSrc(image, dx + cw + i * mw, dy + dh - ch, Rect(sx + cw, sy + ch + mh, mw, ch));
    }
    Graphics sides(g);
    sides.ClipRect(dx, dy + ch, dw, dh - 2 * ch);
    for (int j = 0; j < (dh - 2 * ch + mh - 1) / mh; ++j)
    {
        sides.DrawImageSrc(image, dx, dy + ch + j * mh, Rect(sx, sy + ch, cw, mh));
        sides.DrawImageSrc(image, dx + dw - cw, dy + ch + j * mh, Rect(sx + cw + mw, sy + ch, cw, mh));
    }
    Graphics centre(g);
    centre.ClipRect(dx + cw, dy + ch, dw - 2 * cw, dh - 2 * ch);
    for (int i = 0; i < (dw - 2 * cw + mw - 1) / mw; ++i)
        for (int j = 0; j < (dh - 2 * ch + mh - 1) / mh; ++j)
            centre.DrawImageSrc(image, dx + cw + i * mw, dy + ch + j * mh, Rect(sx + cw, sy + ch, mw, mh));
}

// The box tiles only where its tiles reach the clip, and draws there exactly the blits and
// stretches that tiling the whole box would: under translations, scales (about an origin),
// clips and source parts of every kind.
TEST(Graphics, ImageBoxDrawsWhatTheWholeTilingDrawsInsideTheClip)
{
    Image image;
    image.width = 11;
    image.height = 10;
    struct Setting
    {
        float transX, transY, scaleX, scaleY, originX, originY;
    } settings[] = {
        {0, 0, 1, 1, 0, 0},     {13.5f, -7.25f, 1, 1, 0, 0}, {-40, 25, 1, 1, 0, 0},
        {0, 0, 2, 2, 0, 0},     {3, 4, 0.37f, 1.6f, 10, -5}, {-8.5f, 2, 1, 0.5f, 30, 30},
        {0, 0, 1.25f, 1, 0, 0}, {0, 0, 0, 1, 0, 0},          {0, 0, -1, 1, 0, 0},
    };
    const Rect boxes[] = {Rect(0, 0, 30, 30), Rect(-37, 5, 200, 90), Rect(20, -300, 45, 700),
                          Rect(10, 10, 5, 4), Rect(60, 60, -20, 30), Rect(-250, -200, 600, 500)};
    const Rect sources[] = {Rect(0, 0, 11, 10), Rect(1, 2, 9, 7), Rect(0, 0, 2, 2), Rect(5, 5, 6, 5)};
    const Rect clips[] = {Rect(0, 0, 100, 80), Rect(17, 9, 23, 31), Rect(90, 70, 40, 40)};
    for (const Setting& s : settings)
        for (const Rect& box : boxes)
            for (const Rect& src : sources)
                for (const Rect& clip : clips)
                {
                    auto context = [&](Image* dest)
                    {
                        Graphics g(dest);
                        g.ClipRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight);
                        g.transX = s.transX;
                        g.transY = s.transY;
                        g.scaleX = s.scaleX;
                        g.scaleY = s.scaleY;
                        g.scaleOrigX = s.originX;
                        g.scaleOrigY = s.originY;
                        return g;
                    };
                    DrawnPartsImage clipped(100, 80), whole(100, 80);
                    Graphics g = context(&clipped);
                    g.DrawImageBoxSrc(box, &image, src);
                    Graphics reference = context(&whole);
                    TileEverything(reference, box, &image, src);
                    ASSERT_EQ(clipped.calls, whole.calls)
                        << RecordingImage::R(box) << " of " << RecordingImage::R(src) << " in "
                        << RecordingImage::R(clip) << " at scale " << s.scaleX << " x " << s.scaleY;
                }
}

TEST(Graphics, ColourTaggedStrings)
{
    struct Case
    {
        const char* text;
        bool tags;
        std::vector<std::string> drawn;
        int width;
    } cases[] = {
        {"ab^FF0000^cd", true, {"ab@0,0#102030", "cd@10,0#FF0000"}, 20},
        {"a^^b", true, {"a^b@0,0#102030"}, 15},
        {"ab^12cd", true, {"ab@0,0#102030"}, 10}, // an incomplete tag ends the text
        {"ab^FF0000^cd", false, {"ab^FF0000^cd@0,0#102030"}, 60},
        {"x^oldclr^y", true, {"x@0,0#102030", "y@5,0#102030"}, 10},
        {"x^other!^y", true, {"x@0,0#102030", "y@5,0#000000"}, 10},
        {"x^zzzzzz^y", true, {"x@0,0#102030", "y@5,0#000000"}, 10}, // non-hex digits count as 0
    };
    for (const Case& c : cases)
    {
        Image image;
        Graphics g(&image);
        FakeFont font;
        g.SetFont(&font);
        g.SetColor(Color(0x10, 0x20, 0x30, 200));
        g.writeColoredString = c.tags;
        EXPECT_EQ(g.WriteString(c.text, 0, 0, -1, -1), c.width) << c.text;
        EXPECT_EQ(font.drawn, c.drawn) << c.text;
    }

    // Centred in a width of 30: the measured 10 pixels start at 10.
    Image image;
    Graphics g(&image);
    FakeFont font;
    g.SetFont(&font);
    g.WriteString("ab", 0, 0, 30, 0);
    EXPECT_EQ(font.drawn, std::vector<std::string>{"ab@10,0#000000"});
    // The colour set by a tag stays in effect.
    g.WriteString("^00FF00^c", 0, 0, -1, -1);
    EXPECT_EQ(g.GetColor(), Color(0, 255, 0, 255));
}

TEST(Graphics, WordWrap)
{
    RecordingImage dest(200, 200);
    Graphics g(&dest);
    FakeFont font;
    g.SetFont(&font);
    int maxWidth = 0;
    // Line spacing 12; the first baseline at ascent - padding = 7.
    int h = g.WriteWordWrapped(Rect(0, 0, 20, 0), "abc def", -1, -1, &maxWidth);
    EXPECT_EQ(h, 2 + 7 + 12); // descent + ascent - padding + line spacing
    EXPECT_EQ(font.drawn, (std::vector<std::string>{"abc@0,7#000000", "def@0,19#000000"}));
    EXPECT_EQ(maxWidth, 25); // measured through the character that overflowed
    EXPECT_EQ(g.GetWordWrappedHeight(20, "abc def"), h);

    font.drawn.clear();
    // A word longer than the width is cut; a newline forces a break.
    g.WriteWordWrapped(Rect(0, 0, 10, 0), "abcde\nx", -1, -1);
    EXPECT_EQ(font.drawn, (std::vector<std::string>{"ab@0,7#000000", "cd@0,19#000000", "e@0,31#000000",
                                                    "x@0,43#000000"}));
}

// A line is drawn when it may reach into the clip: its baseline within a line spacing above or
// below it; the last line is always drawn.
TEST(Graphics, WordWrapDrawsTheLinesThatReachIntoTheClip)
{
    const struct
    {
        int clipTop, clipHeight;
        std::vector<std::string> drawn;
    } cases[] = {
        {0, 200, {"abc@0,7#000000", "def@0,19#000000", "ghi@0,31#000000"}},
        {20, 5, {"def@0,19#000000", "ghi@0,31#000000"}}, // just under the second baseline
        {30, 20, {"def@0,19#000000", "ghi@0,31#000000"}},
        {32, 20, {"ghi@0,31#000000"}},
        {0, 4, {"abc@0,7#000000", "ghi@0,31#000000"}},
        {60, 10, {"ghi@0,31#000000"}},
    };
    for (const auto& c : cases)
    {
        RecordingImage dest(200, 200);
        Graphics g(&dest);
        FakeFont font;
        g.SetFont(&font);
        g.ClipRect(0, c.clipTop, 200, c.clipHeight);
        g.WriteWordWrapped(Rect(0, 0, 20, 0), "abc def ghi", -1, -1);
        EXPECT_EQ(font.drawn, c.drawn) << c.clipTop;
    }
}

TEST(Graphics, WordWrapCarriesWidthsAndStopsAtMaxChars)
{
    struct Case
    {
        const char* text;
        int width, maxChars, lastWidthIn;
        std::vector<std::string> drawn;
        int height, maxWidth, lastWidthOut;
    } cases[] = {
        {"abc def", 20, -1, 0, {"abc@0,7#000000", "def@0,19#000000"}, 21, 25, 15},
        // The first line goes on after earlier text of lastWidth pixels.
        {"ab cd", 100, -1, 10, {"ab cd@10,7#000000"}, 9, 25, 25},
        // Tags colour the text; the context's colour comes back afterwards.
        {"a^FF0000^b", 100, -1, 0, {"a@0,7#000000", "b@5,7#FF0000"}, 9, 10, 10},
        // Only the first maxChars characters are drawn; a line wholly past them leaves the
        // widths of the lines that were drawn.
        {"abc def", 20, 2, 0, {"ab@0,7#000000"}, 21, 25, 0},
        {"abcdef", 10, 3, 0, {"ab@0,7#000000", "c@0,19#000000"}, 33, 10, 5},
    };
    for (const Case& c : cases)
    {
        RecordingImage dest(200, 200);
        Graphics g(&dest);
        FakeFont font;
        g.SetFont(&font);
        int maxWidth = -1, lastWidth = c.lastWidthIn;
        EXPECT_EQ(
            g.WriteWordWrapped(Rect(0, 0, c.width, 0), c.text, -1, -1, &maxWidth, c.maxChars, &lastWidth),
            c.height)
            << c.text;
        EXPECT_EQ(font.drawn, c.drawn) << c.text;
        EXPECT_EQ(maxWidth, c.maxWidth) << c.text;
        EXPECT_EQ(lastWidth, c.lastWidthOut) << c.text;
        EXPECT_EQ(g.GetColor(), Color::Black) << c.text;
    }
}

} // namespace

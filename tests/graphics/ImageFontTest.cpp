#include "FontFixture.h"

#include "graphics/FontData.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <random>
#include <vector>

namespace
{

using namespace Kavo;
using namespace FontFixture;

using Art = std::vector<std::string>;

class ImageFontTest : public ::testing::Test
{
protected:
    FakeHost host;
    std::string path;
    void SetUp() override { path = MakeFixtureFont(); }
};

TEST_F(ImageFontTest, LayersFollowPointSizeScaleAndTags)
{
    struct Case
    {
        int pointSize;
        double scale;
        const char* tag;
        size_t layers;
        int ascent, height;
        int widthA, widthAV, widthAB, widthHigh;
    };
    const Case cases[] = {
        // Main and its shadow at their own size.
        {10, 1.0, nullptr, 2, 4, 4, 4, 7, 7, 2},
        {10, 1.0, "bold", 3, 4, 4, 4, 7, 7, 2}, // the bold layer's offset moves glyphs, not advances
        // 1.5 times the layers' size: advances, kerning and metrics scaled and truncated.
        {15, 1.0, nullptr, 2, 6, 6, 6, 11, 10, 3},
        {10, 1.5, nullptr, 2, 6, 6, 6, 11, 10, 3},
        // From 20 on only the large layer is drawn.
        {20, 1.0, nullptr, 1, 8, 8, 8, 14, 14, 4},
        // No layer covers the size: nothing is measured.
        {0, 1.0, nullptr, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        ImageFont font(&host, path);
        ASSERT_TRUE(font.fontData->mInitialized);
        EXPECT_EQ(font.GetPointSize(), 10);
        font.SetPointSize(c.pointSize);
        font.SetScale(c.scale);
        if (c.tag) font.AddTag(c.tag);
        std::string label =
            std::to_string(c.pointSize) + " x" + std::to_string(c.scale) + (c.tag ? " bold" : "");
        EXPECT_EQ(font.CharWidth('A'), c.widthA) << label;
        EXPECT_EQ(font.activeLayers.size(), c.layers) << label;
        EXPECT_EQ(font.GetAscent(), c.ascent) << label;
        EXPECT_EQ(font.GetHeight(), c.height) << label;
        EXPECT_EQ(font.GetDescent(), c.height - c.ascent) << label;
        EXPECT_EQ(font.GetLineSpacing(), c.height) << label;
        EXPECT_EQ(font.StringWidth("AV"), c.widthAV) << label; // kerned by -1 at size 10
        EXPECT_EQ(font.StringWidth("AB"), c.widthAB) << label;
        EXPECT_EQ(font.StringWidth("\xE9"), c.widthHigh) << label;
        EXPECT_EQ(font.StringWidth("vb"), font.StringWidth("VB")) << label; // through the character map
        EXPECT_EQ(font.StringWidth("Z"), 0) << label;
        int drawn = -1;
        MemoryImage target;
        target.Create(40, 20);
        Graphics g(&target);
        font.DrawStringEx(&g, 0, 10, "AV", Color::White, g.clipRect, nullptr, &drawn);
        EXPECT_EQ(drawn, c.widthAV) << label;
    }
}

TEST_F(ImageFontTest, TagsAreKeptOnceInUpperCase)
{
    ImageFont font(&host, path);
    EXPECT_TRUE(font.AddTag("bold"));
    EXPECT_FALSE(font.AddTag("BoLd"));
    EXPECT_EQ(font.tags, (std::vector<std::string>{"BOLD"}));
    EXPECT_TRUE(font.HasTag("Bold"));
    font.Prepare();
    EXPECT_EQ(font.activeLayers.size(), 3u);
    EXPECT_TRUE(font.RemoveTag("BOLD"));
    EXPECT_FALSE(font.RemoveTag("bold"));
    font.Prepare();
    EXPECT_EQ(font.activeLayers.size(), 2u);
    EXPECT_EQ(font.GetDefaultPointSize(), 10);
    EXPECT_EQ(font.GetDefine("chars"), "(A, B, V, a, \xE9, .)");
    EXPECT_EQ(font.GetDefine("nothing"), "");
}

TEST_F(ImageFontTest, DrawsLayersInOrderWithTheirColours)
{
    ImageFont font(&host, path);
    MemoryImage target;
    target.Create(9, 6);
    Graphics g(&target);
    g.SetColor(Color(0, 0, 255));
    std::list<Rect> areas;
    int width = 0;
    // The shadow layer (order -1) lies under every face glyph; the face is drawn in red.
    font.DrawStringEx(&g, 1, 4, "AB", Color(255, 0, 0), g.clipRect, &areas, &width);
    const Art expected = {
        "..R..RR..", //
        ".RRR.RRK.", //
        ".RKRKRKK.", //
        ".RKRKRR..", //
        "..K.K.KK.", //
        ".........",
    };
    EXPECT_EQ(ArtFromImage(target), expected);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(areas,
              (std::list<Rect>{Rect(1, 0, 3, 4), Rect(2, 1, 3, 4), Rect(5, 0, 2, 4), Rect(6, 1, 2, 4)}));
    // The context keeps its own colour and colourising.
    EXPECT_EQ(g.GetColor(), Color(0, 0, 255));
    EXPECT_FALSE(g.GetColorizeImages());

    // Translation and clipping of the context apply.
    MemoryImage clipped;
    clipped.Create(9, 6);
    Graphics h(&clipped);
    h.Translate(-1, 0);
    h.ClipRect(1, 0, 3, 6);
    font.DrawString(&h, 1, 4, "AB", Color(255, 0, 0), Rect());
    const Art cut = {
        ".R.......", //
        "RRR......", //
        "RKR......", //
        "RKR......", //
        ".K.......", //
        ".........",
    };
    EXPECT_EQ(ArtFromImage(clipped), cut);
}

TEST_F(ImageFontTest, GlyphOrdersDecideWhatLiesOnTop)
{
    struct Case
    {
        const char* orders; // extra commands
        const char* pixels; // the row drawn for "AB", A white and B black, overlapping by one
    };
    const Case cases[] = {
        {"", "#Ko"},                                            // string order: B over A
        {"LayerSetCharOrders L ('B') (-200);", "##o"},          // B to the first bucket
        {"LayerSetCharOrders L ('A' 'B') (300 0);", "##o"},     // A to the last bucket
        {"LayerSetCharOrders L ('A' 'B') (-300 -129);", "#Ko"}, // both clamp to bucket 0
        // Orders are moved up by exactly 128: -128 and -129 share bucket 0, 128 and 127 share
        // bucket 255, while 127 and 126 do not.
        {"LayerSetCharOrders L ('A' 'B') (-128 -129);", "#Ko"},
        {"LayerSetCharOrders L ('A' 'B') (128 127);", "#Ko"},
        {"LayerSetCharOrders L ('A' 'B') (127 126);", "##o"},
    };
    for (const Case& c : cases)
    {
        FakeHost local;
        local.AddImage("ab.png", ImageFromArt({"##oo"}));
        std::string desc =
            WriteTestFile(".txt", std::string("CreateLayer L; LayerSetImage L 'ab.png';"
                                              "LayerSetImageMap L ('A' 'B') ((0 0 2 1) (2 0 2 1));"
                                              "LayerSetCharWidths L ('A' 'B') (2 2);"
                                              "LayerSetAscent L 1; LayerSetSpacing L -1;") +
                                      c.orders);
        ImageFont font(&local, desc);
        ASSERT_TRUE(font.fontData->mInitialized) << c.orders;
        MemoryImage target;
        target.Create(3, 1);
        Graphics g(&target);
        font.DrawString(&g, 0, 1, "AB", Color::White, g.clipRect);
        std::string row = ArtFromImage(target)[0];
        std::replace(row.begin(), row.end(), 'K', 'o');
        std::string expected = c.pixels;
        std::replace(expected.begin(), expected.end(), 'K', 'o');
        EXPECT_EQ(row, expected) << c.orders;
    }
}

// Records the colour of every glyph drawn.
class ColourRecorder : public Image
{
public:
    std::vector<Color> colours;
    ColourRecorder()
    {
        width = 40;
        height = 20;
    }
    void Blt(Image*, int, int, const Rect&, const Color& color, int) override { colours.push_back(color); }
};

// Over several layers the ascent and height are the largest, the ascent padding the smallest and
// the line-spacing offset the largest of the selected layers' own (not of 0); a font tag that a
// layer excludes leaves it out. Each glyph's colour is the drawing colour times the layer's
// multiplier, divided by 255, plus its addend, held to 255.
TEST_F(ImageFontTest, MetricsAndColoursOverSeveralLayers)
{
    FakeHost local;
    local.AddImage("one.png", ImageFromArt({"#"}));
    std::string desc =
        WriteTestFile(".txt", "CreateLayer L1; LayerSetImage L1 'one.png';"
                              "LayerSetImageMap L1 ('A') ((0 0 1 1)); LayerSetCharWidths L1 ('A') (1);"
                              "LayerSetAscent L1 4; LayerSetAscentPadding L1 3;"
                              "LayerSetLineSpacingOffset L1 -2;"
                              "LayerSetColorMult L1 0xFF80FF40; LayerSetColorAdd L1 0x01102030;"
                              "CreateLayerFrom L2 L1; LayerSetAscent L2 6; LayerSetAscentPadding L2 1;"
                              "LayerSetLineSpacingOffset L2 -5; LayerSetColorAdd L2 0x01000000;"
                              "CreateLayerFrom L3 L1; LayerSetAscent L3 8; LayerSetAscentPadding L3 2;"
                              "LayerSetLineSpacingOffset L3 -1; LayerExcludeTags L3 ('small');");
    struct Case
    {
        const char* tag;
        size_t layers;
        int ascent, padding, offset;
    } cases[] = {
        {nullptr, 3, 8, 1, -1},
        {"Small", 2, 6, 1, -2},
        {"other", 3, 8, 1, -1},
    };
    for (const Case& c : cases)
    {
        ImageFont font(&local, desc);
        ASSERT_TRUE(font.fontData->mInitialized);
        if (c.tag) font.AddTag(c.tag);
        font.Prepare();
        std::string label = c.tag ? c.tag : "no tag";
        EXPECT_EQ(font.activeLayers.size(), c.layers) << label;
        EXPECT_EQ(font.GetAscent(), c.ascent) << label;
        EXPECT_EQ(font.GetAscentPadding(), c.padding) << label;
        EXPECT_EQ(font.GetLineSpacingOffset(), c.offset) << label;
    }

    ImageFont font(&local, desc);
    font.AddTag("small");
    ColourRecorder target;
    Graphics g(&target);
    font.DrawString(&g, 0, 10, "A", Color(200, 100, 250, 255), g.clipRect);
    // L1: 128 x 200 / 255 + 16, 255 x 100 / 255 + 32, 64 x 250 / 255 + 48, 255 + 1 held to 255.
    // L2: the same multiplier, adding nothing but 1 to the alpha.
    EXPECT_EQ(target.colours, (std::vector<Color>{Color(116, 132, 110, 255), Color(100, 100, 62, 255)}));
}

TEST_F(ImageFontTest, ScaledLayersGetTheirOwnStrip)
{
    ImageFont font(&host, path);
    font.SetPointSize(20);
    EXPECT_EQ(font.StringWidth("A"), 8);
    ASSERT_EQ(font.activeLayers.size(), 1u);
    const ActiveFontLayer& large = font.activeLayers[0];
    EXPECT_TRUE(large.ownsImage);
    EXPECT_EQ(large.scaledImage->GetWidth(), 2 * kStripWidth);
    EXPECT_EQ(large.scaledImage->GetHeight(), 2 * kStripHeight);
    EXPECT_EQ(large.scaledCharRects[uint8_t('B')], Rect(8, 0, 4, 8));
    EXPECT_EQ(large.scaledCharRects[0xE9], Rect(22, 0, 2, 8));

    // A copy shares the description but owns a copy of the strip.
    ImageFont copy(font);
    EXPECT_EQ(font.fontData->mRefCount, 2);
    ASSERT_EQ(copy.activeLayers.size(), 1u);
    EXPECT_NE(copy.activeLayers[0].scaledImage, large.scaledImage);
    EXPECT_EQ(copy.StringWidth("AV"), font.StringWidth("AV"));
    std::unique_ptr<Font> duplicate(font.Duplicate());
    EXPECT_EQ(duplicate->StringWidth("AB"), font.StringWidth("AB"));
    EXPECT_EQ(font.fontData->mRefCount, 3);

    // Drawn at twice the size (filtered): the top stroke of "A" covers columns 2 and 3.
    MemoryImage target;
    target.Create(12, 10);
    Graphics g(&target);
    font.DrawString(&g, 0, 8, "A", Color(255, 0, 0), g.clipRect);
    for (int x : {2, 3})
    {
        uint32_t p = target.GetPixel(x, 1);
        EXPECT_GT(p >> 24, 128u) << x;
        EXPECT_GT((p >> 16) & 0xFF, 150u) << x;
        EXPECT_LT((p >> 8) & 0xFF, 50u) << x;
    }
    EXPECT_EQ(target.GetPixel(0, 0) >> 24, 0u);
    EXPECT_EQ(target.GetPixel(11, 9) >> 24, 0u);
}

TEST_F(ImageFontTest, LongStringsStopWhereThePoolRunsOut)
{
    ImageFont font(&host, path);
    std::string text(3000, 'A'); // two layers: 6000 glyph draws
    EXPECT_EQ(font.StringWidth(text), 3000 * 4);
    MemoryImage target;
    target.Create(8, 8);
    Graphics g(&target);
    int width = 0;
    std::list<Rect> areas;
    font.DrawStringEx(&g, 0, 4, text, Color::White, g.clipRect, &areas, &width);
    EXPECT_EQ(areas.size(), size_t(ImageFont::kMaxDrawCommands));
    EXPECT_EQ(width, ImageFont::kMaxDrawCommands / 2 * 4);
}

TEST_F(ImageFontTest, FailedDescriptionsMeasureNothingAndDrawNothing)
{
    std::string broken = WriteTestFile(".txt", "CreateLayer L; LayerSetCharWidths L ('A') (5); Oops;");
    for (const std::string& desc : {broken, std::string("no-such-font.txt")})
    {
        ImageFont font(&host, desc);
        EXPECT_FALSE(font.fontData->mInitialized);
        EXPECT_EQ(font.StringWidth("AAA"), 0);
        EXPECT_EQ(font.GetHeight(), 0);
        MemoryImage target;
        target.Create(4, 4);
        Graphics g(&target);
        int width = -1;
        font.DrawStringEx(&g, 0, 2, "AAA", Color::White, g.clipRect, nullptr, &width);
        EXPECT_EQ(width, 0);
        EXPECT_EQ(ArtFromImage(target), Art(4, "...."));
    }
}

TEST_F(ImageFontTest, LegacyFontsDrawCapitalsWithSmallGlyphs)
{
    MemoryImage* strip = ImageFromArt({"#.##", "####"});
    std::string widths = WriteTestFile(".widths", "3 2\na 2 b 2\n");
    ImageFont font(strip, widths);
    EXPECT_EQ(font.StringWidth(" aB"), 7);
    EXPECT_EQ(font.GetAscent(), 2);
    EXPECT_EQ(font.GetHeight(), 2);
    MemoryImage target;
    target.Create(4, 2);
    Graphics g(&target);
    font.DrawString(&g, 0, 2, "AB", Color(0, 255, 0), g.clipRect);
    EXPECT_EQ(ArtFromImage(target), (Art{"G.GG", "GGGG"}));
    delete strip;
}

TEST_F(ImageFontTest, ColourTagsAndWordWrapWorkWithTheFont)
{
    ImageFont font(&host, path);
    font.RemoveTag("none");
    MemoryImage target;
    target.Create(9, 6);
    Graphics g(&target);
    g.SetFont(&font);
    g.SetColor(Color(255, 0, 0));
    // The tag turns the second letter green; the shadow stays black.
    EXPECT_EQ(g.WriteString("A^00FF00^B", 1, 4, -1, -1), 7);
    const Art expected = {
        "..R..GG..", //
        ".RRR.GGK.", //
        ".RKRKGKK.", //
        ".RKRKGG..", //
        "..K.K.KK.", //
        ".........",
    };
    EXPECT_EQ(ArtFromImage(target), expected);

    // Two words in a width that holds one: two lines of height 4.
    EXPECT_EQ(g.GetWordWrappedHeight(8, "AB AB"), 0 + 4 - 0 + 4);
    EXPECT_EQ(g.GetWordWrappedHeight(20, "AB AB"), 0 + 4 - 0);
}

// A line is its glyphs drawn one by one: lowest order first, in the order of the text within an
// order, each in its layer's colour. Three layers (one in front of another layer for one
// character only, each layer's glyphs in one order of its own, or two layers in one order),
// glyphs over their neighbours or side by side, colours with alpha, onto transparent,
// translucent, nearly opaque and opaque pixels, cut by every edge of the image and by a clip
// rectangle, at the layers' size and scaled.
// The tint cache holds what one screen shows: a large font (700,000 pixels of layer image) written
// in the two colours of a screen again and again has each glyph tinted once per colour, and only
// the glyphs drawn; what it draws from the cache is what a fresh font draws.
TEST(ImageFontTints, AScreensColoursDrawnAgainTintEachGlyphOnce)
{
    std::mt19937 random(5);
    std::vector<uint32_t> pixels(size_t(1024) * 700, 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 15; ++x)
            pixels[size_t(y) * 1024 + size_t(x)] = (random() % 256) << 24 | (random() & 0xFFFFFF);
    FakeHost host;
    auto* image = new MemoryImage();
    image->SetBits(pixels.data(), 1024, 700);
    host.AddImage("big.png", image);
    const std::string path = WriteTestFile(
        "-big.txt", "Define Chars ('A' 'B' 'C');\n"
                    "CreateHorzSpanRectList Rects (0 0 0 7) (5 5 5);\n"
                    "SetDefaultPointSize 10;\n"
                    "CreateLayer Face; LayerSetImage Face 'big.png'; LayerSetImageMap Face Chars Rects;\n"
                    "LayerSetAscent Face 6; LayerSetPointSize Face 10;\n");
    const Color yellow(252, 244, 35), grey(128, 128, 128);
    std::vector<uint32_t> background(size_t(40 * 12));
    for (uint32_t& pixel : background)
        pixel = 0xFF000000 | (random() & 0xFFFFFF);

    ImageFont font(&host, path);
    ASSERT_TRUE(font.fontData->mInitialized);
    MemoryImage screen;
    screen.SetBits(background.data(), 40, 12);
    Graphics g(&screen);
    for (int frame = 0; frame < 3; ++frame)
        for (const Color& colour : {yellow, grey, yellow})
            font.DrawString(&g, 2, 8, "ABBA", colour, g.clipRect);
    EXPECT_EQ(font.tintedPixelCount, 2u * 2u * 5u * 7u) << "two colours of two glyphs of 5 x 7";
    font.DrawString(&g, 2, 8, "C", grey, g.clipRect);
    EXPECT_EQ(font.tintedPixelCount, 2u * 2u * 5u * 7u + 5u * 7u);

    MemoryImage cached, fresh;
    cached.SetBits(background.data(), 40, 12);
    fresh.SetBits(background.data(), 40, 12);
    Graphics toCached(&cached), toFresh(&fresh);
    ImageFont freshFont(&host, path);
    font.DrawString(&toCached, 2, 8, "CAB", grey, toCached.clipRect);
    freshFont.DrawString(&toFresh, 2, 8, "CAB", grey, toFresh.clipRect);
    EXPECT_EQ(std::vector<uint32_t>(cached.GetBits(), cached.GetBits() + 40 * 12),
              std::vector<uint32_t>(fresh.GetBits(), fresh.GetBits() + 40 * 12));
    EXPECT_NE(std::vector<uint32_t>(cached.GetBits(), cached.GetBits() + 40 * 12), background);
}

TEST(ImageFontLines, ALineIsItsGlyphsDrawnOneByOne)
{
    std::mt19937 random(3);
    auto* strip = new MemoryImage();
    {
        std::vector<uint32_t> pixels(size_t(20 * 7));
        for (size_t i = 0; i < pixels.size(); ++i)
        {
            uint32_t kind = random() % 4;
            uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : random() % 256;
            // Transparent margins: the first glyph's left column, the second's top row and right
            // column, the fourth's two top rows.
            int x = int(i % 20), y = int(i / 20);
            if (x == 0 || (x / 5 == 1 && (y == 0 || x == 9)) || (x / 5 == 3 && y < 2)) alpha = 0;
            pixels[i] = alpha << 24 | (random() & 0xFFFFFF);
        }
        strip->SetBits(pixels.data(), 20, 7);
    }
    FakeHost host;
    host.AddImage("glyphs.png", strip);
    // Glyphs over their neighbours (wider than their advances, kerned closer), or side by side;
    // each description in a file of its own name.
    const char* overlapping = "LayerSetCharWidths Face Chars (4 5 4 2);\n"
                              "LayerSetKerningPairs Face ('AV' 'Vo') (-2 -1); LayerSetSpacing Face 1;\n";
    const char* sideBySide = "LayerSetCharWidths Face Chars (5 5 5 5); LayerSetSpacing Face 1;\n";
    const char* faceOrders = "LayerSetCharOrders Face ('o') (2);\n";
    auto description = [](const char* name, const char* advances, const char* orders)
    {
        return WriteTestFile(
            std::string("-") + name + ".txt",
            std::string(
                "Define Chars ('A' 'V' 'o' '.');\n"
                "CreateHorzSpanRectList Rects (0 0 0 7) (5 5 5 5);\n"
                "SetDefaultPointSize 10;\n"
                "CreateLayer Face; LayerSetImage Face 'glyphs.png'; LayerSetImageMap Face Chars Rects;\n"
                "LayerSetAscent Face 6; LayerSetPointSize Face 10;\n") +
                advances +
                "CreateLayerFrom Shadow Face; LayerSetOffset Shadow (1 1);\n"
                "LayerSetColorMult Shadow 0xC0000000; LayerSetBaseOrder Shadow -1;\n"
                "CreateLayerFrom Glow Face; LayerSetOffset Glow (0 -1); LayerSetColorMult Glow 0x80FF8040;\n"
                "LayerSetColorAdd Glow (0 0.2 0 0); LayerSetBaseOrder Glow 1;\n" +
                orders);
    };
    const std::string over = description("over", overlapping, faceOrders);
    const std::string apart = description("apart", sideBySide, faceOrders);
    const std::string layered = description("layered", overlapping, "");
    const std::string shared = description("shared", overlapping, "LayerSetBaseOrder Glow 0;\n");
    const std::string text = "AVo.oVA.AVoo";

    std::vector<uint32_t> translucent(size_t(40 * 12)), opaque(size_t(40 * 12)), transparent(size_t(40 * 12));
    // As a line drawn again over itself leaves them: alphas 254 and 255, a few others.
    std::vector<uint32_t> nearlyOpaque(size_t(40 * 12));
    for (size_t i = 0; i < translucent.size(); ++i)
    {
        translucent[i] = (random() % 256) << 24 | (random() & 0xFFFFFF);
        opaque[i] = 0xFF000000 | (random() & 0xFFFFFF);
        uint32_t kind = random() % 16;
        nearlyOpaque[i] = (kind < 8 ? 254 : kind < 15 ? 255 : random() % 256) << 24 | (random() & 0xFFFFFF);
    }
    struct Case
    {
        const std::string* path;
        int pointSize;
        Color color;
        const std::vector<uint32_t>* background;
        bool clipped;
        float shift = 0; // moved by fractions of a pixel, or scaled (1.5)
    } cases[] = {
        {&over, 10, Color(250, 220, 40, 200), &translucent, false},
        {&over, 10, Color::White, &opaque, false},
        {&over, 10, Color(90, 90, 90), &opaque, true},
        {&over, 10, Color::White, &translucent, true},
        {&over, 15, Color(250, 220, 40), &translucent, false},
        {&over, 15, Color::White, &opaque, true},
        {&apart, 10, Color(250, 220, 40, 200), &translucent, true},
        {&apart, 10, Color::White, &opaque, false},
        {&apart, 10, Color(90, 90, 90), &opaque, true},
        {&apart, 10, Color::White, &translucent, false},
        {&apart, 10, Color(250, 220, 40), &transparent, false},
        {&apart, 15, Color(250, 220, 40), &opaque, true},
        {&apart, 15, Color(0, 0, 0, 128), &translucent, true},
        {&apart, 15, Color(90, 90, 90, 200), &transparent, false},
        {&over, 10, Color(0, 0, 0), &transparent, true},
        {&over, 15, Color(250, 220, 40, 100), &opaque, false},
        {&apart, 10, Color(250, 220, 40), &nearlyOpaque, false},
        {&over, 15, Color(90, 90, 90, 200), &nearlyOpaque, true},
        {&apart, 10, Color(250, 220, 40), &opaque, true, -0.5f},
        {&over, 10, Color::White, &translucent, false, 0.75f},
        {&apart, 10, Color(90, 90, 90, 200), &opaque, false, 1.5f},
        {&layered, 10, Color(250, 220, 40, 200), &translucent, true},
        {&layered, 15, Color(90, 90, 90), &opaque, false},
        {&layered, 10, Color::White, &nearlyOpaque, false, 0.75f},
        {&shared, 10, Color(250, 220, 40, 200), &translucent, false},
        {&shared, 15, Color(90, 90, 90), &opaque, true},
    };
    for (const Case& c : cases)
    {
        ImageFont font(&host, *c.path);
        ASSERT_TRUE(font.fontData->mInitialized);
        font.SetPointSize(c.pointSize);
        font.Prepare();
        ASSERT_EQ(font.activeLayers.size(), 3u);
        MemoryImage line, oneByOne;
        line.SetBits(c.background->data(), 40, 12);
        oneByOne.SetBits(c.background->data(), 40, 12);
        Graphics g(&line), reference(&oneByOne);
        for (Graphics* each : {&g, &reference})
        {
            if (c.clipped)
            {
                each->Translate(3, -1);
                each->ClipRect(2, 1, 30, 9);
            }
            if (c.shift == 1.5f)
                each->scaleX = each->scaleY = 1.5f;
            else
            {
                each->transX += c.shift;
                each->transY -= c.shift;
            }
        }
        // Cut by the left and top edges, then by the right and bottom ones.
        for (Point at : {Point(-3, 3), Point(5, 13)})
        {
            std::list<Rect> areas;
            font.DrawStringEx(&g, at.mX, at.mY, text, c.color, g.clipRect, &areas, nullptr);
            ASSERT_EQ(areas.size(), text.size() * 3);

            reference.SetColorizeImages(true);
            for (int order = -1; order <= 2; ++order)
            {
                auto area = areas.begin();
                for (char ch : text)
                    for (const ActiveFontLayer& active : font.activeLayers)
                    {
                        const FontLayer& layer = *active.baseLayer;
                        uint8_t code = font.fontData->mCharMap[uint8_t(ch)];
                        Rect src = active.scaledCharRects[code];
                        Rect place = *area++;
                        if (layer.mCharData[code].mOrder + layer.mBaseOrder != order) continue;
                        auto channel = [](int mult, int value, int add)
                        { return std::clamp(mult * value / 255 + add, 0, 255); };
                        const Color &m = layer.mColorMult, &a = layer.mColorAdd;
                        reference.SetColor(Color(channel(m.mRed, c.color.mRed, a.mRed),
                                                 channel(m.mGreen, c.color.mGreen, a.mGreen),
                                                 channel(m.mBlue, c.color.mBlue, a.mBlue),
                                                 channel(m.mAlpha, c.color.mAlpha, a.mAlpha)));
                        reference.DrawImageSrc(active.scaledImage, place.mX, place.mY, src);
                    }
            }
        }
        std::vector<uint32_t> drawn(line.GetBits(), line.GetBits() + 40 * 12);
        std::vector<uint32_t> expected(oneByOne.GetBits(), oneByOne.GetBits() + 40 * 12);
        EXPECT_NE(drawn, *c.background);
        EXPECT_EQ(drawn, expected) << (c.path == &over     ? "over"
                                       : c.path == &apart  ? "apart"
                                       : c.path == &shared ? "shared"
                                                           : "layered")
                                   << ", size " << c.pointSize << (c.clipped ? ", clipped" : "");
    }
}

} // namespace

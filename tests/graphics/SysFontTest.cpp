#include "graphics/SysFont.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/display/SystemFont.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace
{

using namespace Kavo;

struct Coverage
{
    int opaque = 0, partial = 0, black = 0;
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
};

Coverage Survey(MemoryImage& image, uint32_t rgb)
{
    Coverage c;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
        {
            uint32_t p = image.GetPixel(x, y);
            uint32_t a = p >> 24;
            if (a == 0) continue;
            c.minX = std::min(c.minX, x);
            c.maxX = std::max(c.maxX, x);
            c.minY = std::min(c.minY, y);
            c.maxY = std::max(c.maxY, y);
            if (a < 250)
                ++c.partial;
            else if ((p & 0xFFFFFF) == 0)
                ++c.black;
            else if ((p & 0xFFFFFF) == rgb || a >= 250)
                ++c.opaque;
        }
    return c;
}

TEST(SysFont, MetricsComeFromTheInstalledFace)
{
    SysFont small("Arial", 10), large("Arial", 20, true), tahoma("Tahoma", 12);
    for (SysFont* font : {&small, &large, &tahoma})
    {
        ASSERT_TRUE(font->font);
        EXPECT_GT(font->GetAscent(), 0);
        EXPECT_GT(font->GetDescent(), 0);
        EXPECT_EQ(font->GetDescent(), font->GetHeight() - font->GetAscent());
        EXPECT_EQ(font->GetLineSpacing(), font->GetHeight());
        EXPECT_EQ(font->GetAscentPadding(), 0);
    }
    EXPECT_GT(large.GetHeight(), small.GetHeight());
    EXPECT_EQ(small.font->Request().pixelHeight, 13); // 10 points at 96 dots per inch
    EXPECT_EQ(small.StringWidth("ab"), small.CharWidth('a') + small.CharWidth('b'));
    EXPECT_EQ(small.CharWidthKern('b', 'a'), small.CharWidth('b'));
    EXPECT_GT(small.StringWidth("\xE9t\xE9"), 0);
    EXPECT_EQ(small.StringWidth(""), 0);
}

TEST(SysFont, DuplicatesKeepTheFaceButNotTheEffects)
{
    SysFont font("Arial", 14, false, true);
    font.drawShadow = true;
    font.simulateBold = true;
    std::unique_ptr<Font> copy(font.Duplicate());
    auto* sys = dynamic_cast<SysFont*>(copy.get());
    ASSERT_TRUE(sys);
    EXPECT_FALSE(sys->drawShadow);
    EXPECT_FALSE(sys->simulateBold);
    EXPECT_EQ(sys->GetHeight(), font.GetHeight());
    EXPECT_EQ(sys->GetAscent(), font.GetAscent());
    EXPECT_EQ(sys->StringWidth("Copy"), font.StringWidth("Copy"));
    EXPECT_TRUE(sys->font->Request().italic);
}

TEST(SysFont, DrawsAntialiasedTextThroughTheContext)
{
    SysFont font("Arial", 16);
    const Color red(255, 0, 0);
    int width = font.StringWidth("Hello");

    MemoryImage image;
    image.Create(100, 40);
    Graphics g(&image);
    g.Translate(5, 0);
    font.DrawString(&g, 2, 25, "Hello", red, g.clipRect);
    Coverage c = Survey(image, 0xFF0000);
    EXPECT_GT(c.opaque, 0);
    EXPECT_GT(c.partial, 0);
    EXPECT_EQ(c.black, 0);
    // Inside the text's box: left edge at x + translation, top at baseline - ascent.
    EXPECT_GE(c.minX, 7);
    EXPECT_LE(c.maxX, 7 + width);
    EXPECT_GE(c.minY, 25 - font.GetAscent());
    EXPECT_LT(c.maxY, 25 - font.GetAscent() + font.GetHeight());

    // The context's clip applies.
    MemoryImage clipped;
    clipped.Create(100, 40);
    Graphics h(&clipped);
    h.ClipRect(0, 0, 12, 40);
    font.DrawString(&h, 2, 25, "Hello", red, h.clipRect);
    Coverage cut = Survey(clipped, 0xFF0000);
    EXPECT_GT(cut.opaque + cut.partial, 0);
    EXPECT_LT(cut.maxX, 12);
}

TEST(SysFont, ShadowAndBoldAddTheirStrokes)
{
    SysFont plain("Arial", 16), effects("Arial", 16);
    effects.drawShadow = true;
    effects.simulateBold = true;
    MemoryImage a, b;
    a.Create(80, 30);
    b.Create(80, 30);
    Graphics ga(&a), gb(&b);
    plain.DrawString(&ga, 0, 20, "Wide", Color(255, 255, 255), ga.clipRect);
    effects.DrawString(&gb, 0, 20, "Wide", Color(255, 255, 255), gb.clipRect);
    Coverage ca = Survey(a, 0xFFFFFF), cb = Survey(b, 0xFFFFFF);
    EXPECT_EQ(ca.black, 0);
    EXPECT_GT(cb.black, 0); // the shadow shows opaque black where the text does not cover it
    EXPECT_EQ(cb.maxX, ca.maxX + 2);
    EXPECT_EQ(cb.maxY, ca.maxY + 1);
}

// The text is its own image of the line (coverage as alpha, composited glyph over glyph) drawn
// through the context: onto translucent and opaque pixels, coloured by the context, translated
// and clipped, with shadow and bold, line after line of the same size and of another.
TEST(SysFont, TextIsTheImageOfItsLineDrawnThroughTheContext)
{
    std::mt19937 random(11);
    std::vector<uint32_t> translucent(size_t(90 * 30)), opaque(size_t(90 * 30));
    for (size_t i = 0; i < translucent.size(); ++i)
    {
        translucent[i] = (random() % 256) << 24 | (random() & 0xFFFFFF);
        opaque[i] = 0xFF000000 | (random() & 0xFFFFFF);
    }
    SysFont plain("Arial", 13), effects("Arial", 13), italic("Arial", 14, false, true, true);
    effects.drawShadow = true;
    effects.simulateBold = true;
    struct Case
    {
        SysFont* font;
        const std::vector<uint32_t>* background;
        bool colorize, clipped;
    } cases[] = {
        {&plain, &translucent, false, false}, {&plain, &opaque, false, true},
        {&plain, &opaque, true, false},       {&effects, &translucent, true, true},
        {&effects, &opaque, false, false},    {&italic, &opaque, false, true},
    };
    for (const Case& c : cases)
    {
        MemoryImage drawn, expected;
        drawn.SetBits(c.background->data(), 90, 30);
        expected.SetBits(c.background->data(), 90, 30);
        Graphics g(&drawn), reference(&expected);
        for (Graphics* each : {&g, &reference})
        {
            each->SetColorizeImages(c.colorize);
            each->SetColor(Color(200, 90, 250, 180));
            if (c.clipped)
            {
                each->Translate(-4, 2);
                each->ClipRect(3, 0, 80, 21);
            }
        }
        // "fly" and "ylf" are as wide: the second line reuses the image of the first.
        struct Line
        {
            const char* text;
            int x, y;
        } lines[] = {{"fly, jovial", -3, 10}, {"ylf", 40, 12}, {"fly", 50, 27}, {"Wave \xE9t\xE9", 2, 20}};
        for (const Line& line : lines)
        {
            Color color(30, 220, 120);
            c.font->DrawString(&g, line.x, line.y, line.text, color, g.clipRect);

            int w = c.font->StringWidth(line.text);
            int extraX = (c.font->drawShadow ? 1 : 0) + (c.font->simulateBold ? 1 : 0);
            int extraY = c.font->drawShadow ? 1 : 0;
            MemoryImage image;
            image.Create(w + extraX, c.font->GetHeight() + extraY);
            platform::PixelBuffer buffer{image.GetBits(), image.GetWidth(), image.GetHeight(),
                                         image.GetWidth()};
            platform::ClipBox all{0, 0, buffer.width, buffer.height};
            if (c.font->drawShadow)
            {
                c.font->font->DrawText(buffer, 1, 1, line.text, 0xFF000000u, all);
                c.font->font->DrawText(buffer, 2, 1, line.text, 0xFF000000u, all);
            }
            c.font->font->DrawText(buffer, 0, 0, line.text, 0xFF1EDC78u, all);
            if (c.font->simulateBold) c.font->font->DrawText(buffer, 1, 0, line.text, 0xFF1EDC78u, all);
            image.BitsChanged();
            reference.DrawImage(&image, line.x, line.y - c.font->GetAscent());
        }
        std::vector<uint32_t> got(drawn.GetBits(), drawn.GetBits() + 90 * 30);
        std::vector<uint32_t> want(expected.GetBits(), expected.GetBits() + 90 * 30);
        EXPECT_NE(got, *c.background);
        EXPECT_EQ(got, want) << (c.font == &plain     ? "plain"
                                 : c.font == &effects ? "effects"
                                                      : "italic underlined")
                             << (c.colorize ? ", coloured" : "") << (c.clipped ? ", clipped" : "");
    }
}

TEST(SysFont, WordWrapUsesTheFontsWidths)
{
    SysFont font("Arial", 12);
    Graphics g;
    g.SetFont(&font);
    int word = font.StringWidth("word");
    int oneLine = g.GetWordWrappedHeight(1000, "word word word");
    int threeLines = g.GetWordWrappedHeight(word + 2, "word word word");
    EXPECT_EQ(threeLines - oneLine, 2 * font.GetLineSpacing());
    int maxWidth = 0;
    g.GetWordWrappedHeight(1000, "word word", -1, &maxWidth);
    EXPECT_EQ(maxWidth, font.StringWidth("word word"));
}

} // namespace

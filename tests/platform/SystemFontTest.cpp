#include "platform/display/SystemFont.h"
#include "platform/files/TextEncoding.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using platform::ClipBox;
using platform::FontRequest;
using platform::PixelBuffer;
using platform::SystemFont;

std::unique_ptr<SystemFont> OpenFont(const std::string& face, int pixels, int weight = 400,
                                     bool italic = false, bool underline = false)
{
    FontRequest request;
    request.face = face;
    request.pixelHeight = pixels;
    request.weight = weight;
    request.italic = italic;
    request.underline = underline;
    return SystemFont::Open(request);
}

struct Canvas
{
    int width, height;
    std::vector<uint32_t> pixels;
    Canvas(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    PixelBuffer Buffer() { return PixelBuffer{pixels.data(), width, height, width}; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    ClipBox All() const { return ClipBox{0, 0, width, height}; }
};

TEST(TextEncodingTest, Cp1252BecomesUtf8)
{
    EXPECT_EQ(platform::Cp1252ToUtf8("A\x80\xE9\x9F\x81"), "A\xE2\x82\xAC\xC3\xA9\xC5\xB8\xC2\x81");
    EXPECT_EQ(platform::Cp1252ToUnicode(0x92), char32_t(0x2019));
    EXPECT_EQ(platform::Cp1252ToUnicode(0xFF), char32_t(0xFF));
}

TEST(TextEncodingTest, Utf8BecomesCp1252)
{
    struct Case
    {
        std::string utf8, cp1252;
    } cases[] = {
        {"A\xE2\x82\xAC\xC3\xA9\xC5\xB8", "A\x80\xE9\x9F"},
        {"\xE4\xB8\xAD", "?"},        // no Windows-1252 form
        {"a\xC3", "a?"},              // cut short
        {"\xC0\x80x", "??x"},         // an overlong NUL
        {"\xE0\x81\x81", "???"},      // an overlong 'A'
        {"\xED\xA0\x80", "???"},      // a surrogate
        {"\xF4\x90\x80\x80", "????"}, // past U+10FFFF
        {"\xF0\x9F\x98\x80!", "?!"},  // outside the code page, but well formed
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
}

TEST(SystemFontTest, WindowsFaceNamesResolveToInstalledFonts)
{
    struct Case
    {
        const char* face;
        const char* family; // expected family, or null for "any installed one"
    };
    const Case cases[] = {
        {"Arial", "Liberation Sans"},  {"Times New Roman", "Liberation Serif"}, {"Tahoma", nullptr},
        {"Arial Unicode MS", nullptr}, {"No Such Face At All", nullptr},
    };
    for (const Case& c : cases)
    {
        auto font = OpenFont(c.face, 16);
        ASSERT_TRUE(font) << c.face;
        EXPECT_FALSE(font->FilePath().empty()) << c.face;
        if (c.family)
        {
            EXPECT_EQ(font->FamilyName(), c.family) << c.face;
        }
        const auto& m = font->Metrics();
        EXPECT_GT(m.ascent, m.descent) << c.face;
        EXPECT_GT(m.descent, 0) << c.face;
        EXPECT_EQ(m.height, m.ascent + m.descent) << c.face;
        EXPECT_GE(m.lineSpacing, m.height) << c.face;
        EXPECT_GT(font->CharWidth('W'), font->CharWidth('i')) << c.face;
    }
}

TEST(SystemFontTest, MetricsFollowSizeAndWeight)
{
    auto small = OpenFont("Arial", 12);
    auto large = OpenFont("Arial", 24);
    auto bold = OpenFont("Arial", 12, 700);
    auto synthetic = OpenFont("DejaVu Sans Mono", 12, 900); // no black weight installed
    ASSERT_TRUE(small && large && bold && synthetic);
    EXPECT_GT(large->Metrics().ascent, small->Metrics().ascent);
    EXPECT_GT(large->TextWidth("Hello"), small->TextWidth("Hello"));
    EXPECT_GT(bold->TextWidth("Hello world"), small->TextWidth("Hello world"));
    EXPECT_GT(synthetic->CharWidth('m'), 0);
}

TEST(SystemFontTest, WidthsAddUpPerLineAndSkipControls)
{
    auto font = OpenFont("Arial", 16);
    ASSERT_TRUE(font);
    int a = font->CharWidth('a'), b = font->CharWidth('b');
    EXPECT_GT(a, 0);
    EXPECT_EQ(font->TextWidth("ab"), a + b);
    EXPECT_EQ(font->TextWidth(""), 0);
    EXPECT_EQ(font->CharWidth('\t'), 0);
    EXPECT_EQ(font->TextWidth("a\tb"), a + b);
    // Lines break at "\n", "\r\n" and "\r"; the widest counts.
    EXPECT_EQ(font->TextWidth("ab\na"), a + b);
    EXPECT_EQ(font->TextWidth("a\r\nabb"), a + 2 * b);
    EXPECT_EQ(font->TextWidth("abb\ra"), a + 2 * b);
    // Bytes above 0x7F are Windows-1252 characters with glyphs of their own.
    EXPECT_GT(font->CharWidth(0x80), 0); // euro sign
    EXPECT_GT(font->CharWidth(0xE9), 0); // e acute
    EXPECT_EQ(font->CharWidth(0xE9), font->CharWidth('e'));
}

TEST(SystemFontTest, KerningOnlyWhenAsked)
{
    auto font = OpenFont("Arial", 32);
    ASSERT_TRUE(font);
    int kern = font->Kerning('A', 'V');
    EXPECT_LT(kern, 0);
    EXPECT_EQ(font->TextWidth("AV"), font->CharWidth('A') + font->CharWidth('V'));
    EXPECT_EQ(font->TextWidth("AV", true), font->TextWidth("AV") + kern);
    EXPECT_EQ(font->Kerning('\n', 'V'), 0);
}

TEST(SystemFontTest, DrawsAntialiasedTextInItsColourInsideTheClip)
{
    auto font = OpenFont("Arial", 20);
    ASSERT_TRUE(font);
    const uint32_t colour = 0xFF3366CC;
    Canvas canvas(80, 30);
    int width = font->TextWidth("Hello");
    font->DrawText(canvas.Buffer(), 2, 1, "Hello", colour, canvas.All());

    int opaque = 0, partial = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
        {
            uint32_t p = canvas.At(x, y);
            if (!p) continue;
            // Onto a transparent buffer the colour is kept exactly and coverage becomes alpha.
            EXPECT_EQ(p & 0xFFFFFF, colour & 0xFFFFFF) << x << "," << y;
            EXPECT_GE(x, 1);
            EXPECT_LE(x, 2 + width);
            EXPECT_LT(y, 1 + font->Metrics().height);
            (p >> 24 == 255 ? opaque : partial)++;
        }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(partial, 0);

    // The same text clipped to its left half changes nothing right of the clip, and the
    // pixels on the left are the same as before.
    Canvas clipped(80, 30);
    font->DrawText(clipped.Buffer(), 2, 1, "Hello", colour, ClipBox{0, 0, 20, 30});
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            EXPECT_EQ(clipped.At(x, y), x < 20 ? canvas.At(x, y) : 0u) << x << "," << y;

    // Text reaching past every edge of the buffer is cut, not written outside it.
    Canvas tiny(6, 6);
    font->DrawText(tiny.Buffer(), -5, -8, "WWW", colour, ClipBox{-100, -100, 1000, 1000});
    font->DrawText(tiny.Buffer(), 3, 3, "WWW", colour, ClipBox{-100, -100, 1000, 1000});
}

TEST(SystemFontTest, BlendsOverOpaquePixelsAndScalesByAlpha)
{
    auto font = OpenFont("Arial", 20);
    ASSERT_TRUE(font);
    Canvas full(60, 30, 0xFF000000);
    font->DrawText(full.Buffer(), 0, 0, "H", 0xFFFFFFFF, full.All());
    Canvas half(60, 30, 0xFF000000);
    font->DrawText(half.Buffer(), 0, 0, "H", 0x80FFFFFF, half.All());
    bool sawStem = false;
    for (size_t i = 0; i < full.pixels.size(); ++i)
    {
        EXPECT_EQ(full.pixels[i] >> 24, 255u);
        EXPECT_EQ(half.pixels[i] >> 24, 255u);
        if (full.pixels[i] == 0xFFFFFFFF)
        {
            sawStem = true;
            EXPECT_EQ(half.pixels[i], 0xFF808080u);
        }
    }
    EXPECT_TRUE(sawStem);
}

TEST(SystemFontTest, UnderlineRunsUnderTheWholeText)
{
    auto plain = OpenFont("Arial", 20);
    auto underlined = OpenFont("Arial", 20, 400, false, true);
    ASSERT_TRUE(plain && underlined);
    Canvas a(80, 30), b(80, 30);
    plain->DrawText(a.Buffer(), 0, 0, "ace", 0xFF000000, a.All());
    underlined->DrawText(b.Buffer(), 0, 0, "ace", 0xFF000000, b.All());
    int width = plain->TextWidth("ace");
    // A row below the baseline that is fully covered from the first to the last column.
    bool found = false;
    for (int y = plain->Metrics().ascent; y < plain->Metrics().height && !found; ++y)
    {
        bool row = true;
        for (int x = 0; x < width; ++x)
            row = row && b.At(x, y) == 0xFF000000u && a.At(x, y) == 0u;
        found = row;
    }
    EXPECT_TRUE(found);
}

TEST(SystemFontTest, CloneMeasuresAndDrawsLikeTheOriginal)
{
    auto font = OpenFont("Tahoma", 14, 700, true);
    ASSERT_TRUE(font);
    auto copy = font->Clone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->FilePath(), font->FilePath());
    EXPECT_EQ(copy->TextWidth("Copy me"), font->TextWidth("Copy me"));
    Canvas a(100, 30), b(100, 30);
    font->DrawText(a.Buffer(), 1, 1, "Copy me", 0xFF102030, a.All());
    copy->DrawText(b.Buffer(), 1, 1, "Copy me", 0xFF102030, b.All());
    EXPECT_EQ(a.pixels, b.pixels);
}

} // namespace

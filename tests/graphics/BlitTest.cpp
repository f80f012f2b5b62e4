#include "graphics/BlendRows.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using GraphicsTest::Pixels;

MemoryImage* MakeImage(int w, int h, const std::vector<uint32_t>& pixels)
{
    MemoryImage* image = new MemoryImage;
    image->SetBits(pixels.data(), w, h);
    return image;
}

TEST(MemoryImageDraw, FillRectArithmetic)
{
    struct Case
    {
        uint32_t dest;
        Color color;
        uint32_t expected;
    } cases[] = {
        {0x00000000, {255, 0, 0, 128}, 0x80FE0000}, // w = 255: (255 x 255) >> 8 = 254
        {0xFF000000, {255, 0, 0, 128}, 0xFF7F0000}, // (255 x 128) >> 8
        {0xFF102030, {1, 2, 3, 255}, 0xFF010203},   // opaque colour: the packed colour
        {0xFF102030, {1, 2, 3, 0}, 0xFF102030},     // alpha 0 changes nothing
        {0x80FFFFFF, {0, 0, 0, 64}, 0x9F999999},    // outA 128 + 127 x 64 / 255, w 102
    };
    for (const Case& c : cases)
    {
        MemoryImage image;
        image.SetBits(&c.dest, 1, 1);
        image.FillRect(Rect(0, 0, 1, 1), c.color, 0);
        EXPECT_EQ(image.GetBits()[0], c.expected) << std::hex << c.dest;
    }
}

TEST(MemoryImageDraw, LinesArithmeticAndShape)
{
    struct Case
    {
        uint32_t dest;
        Color color;
        int mode;
        uint32_t expected;
    } cases[] = {
        {0x00000000, {255, 255, 255, 255}, 0, 0xFFFEFEFE}, // 255 is written as 254
        {0xFF000000, {255, 0, 0, 128}, 0, 0xFF7F0000},
        {0x80500000, {100, 0, 0, 255}, 1, 0xFFB40000}, // additive, alpha 255
        {0xFF000000, {100, 0, 0, 255}, 2, 0xFF000000}, // other modes draw nothing
    };
    for (const Case& c : cases)
    {
        std::vector<uint32_t> pixels(9, c.dest);
        MemoryImage image;
        image.SetBits(pixels.data(), 3, 3);
        image.DrawLine(0, 0, 2, 2, c.color, c.mode);
        for (int i : {0, 4, 8})
            EXPECT_EQ(image.GetBits()[i], c.expected) << i;
        EXPECT_EQ(image.GetBits()[1], c.dest);
    }

    // Horizontal and vertical lines go through FillRect, end points included.
    MemoryImage image;
    image.Create(4, 4);
    image.DrawLine(3, 1, 0, 1, Color(0, 0, 255), 0);
    image.DrawLine(2, 0, 2, 3, Color(0, 255, 0), 0);
    std::vector<uint32_t> expected = {0, 0, 0xFF00FF00, 0, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF,
                                      0, 0, 0xFF00FF00, 0, 0,          0,          0xFF00FF00, 0};
    EXPECT_EQ(Pixels(image), expected);
}

// One pixel blitted from the first pixel of a source made of the given pixels.
uint32_t BlitOne(uint32_t dest, const std::vector<uint32_t>& source, const Color& color, int mode,
                 bool palette)
{
    MemoryImage target;
    target.SetBits(&dest, 1, 1); // an opaque pixel commits an opaque destination
    MemoryImage src;
    src.SetBits(source.data(), int(source.size()), 1);
    if (palette)
    {
        EXPECT_TRUE(src.Palletize());
    }
    target.Blt(&src, 0, 0, Rect(0, 0, 1, 1), color, mode);
    EXPECT_TRUE(src.drawn);
    return target.GetBits()[0];
}

TEST(MemoryImageDraw, BltArithmetic)
{
    const Color white = Color::White;
    struct Case
    {
        const char* what;
        uint32_t dest;
        std::vector<uint32_t> source;
        Color color;
        int mode;
        uint32_t expected;
    } cases[] = {
        {"opaque run copied", 0xFF445566, {0xFF112233}, white, 0, 0xFF112233},
        {"transparent run skipped", 0xFF445566, {0x00112233}, white, 0, 0xFF445566},
        {"partial run opaque-over", 0xFF0000FF, {0x80FF0000}, white, 0, 0xFF7F007F},
        {"grey colour", 0xFF000000, {0xFFC8C8C8}, {128, 128, 128, 255}, 0, 0xFF636363},
        {"other colour", 0xFF000000, {0xFFFFFFFF}, {255, 0, 0, 128}, 0, 0xFF7E0000},
        {"transparent destination", 0x00000000, {0xFF102030}, white, 0, 0xFF0F1F2F},
        {"translucent onto transparent", 0x00000000, {0x80FF0000}, white, 0, 0x80FE0000},
        {"additive saturates, keeps alpha", 0x80646464, {0xFFC8C8C8}, white, 1, 0x80FFFFFF},
        {"additive weighted by source alpha", 0xFF100000, {0x80C80000, 0xFF000000}, white, 1, 0xFF740000},
        {"additive coloured", 0xFF000000, {0xFFFFFFFF}, {255, 0, 0, 128}, 1, 0xFF7F0000},
        {"additive coloured, weighted by source alpha",
         0xFF000000,
         {0x80FF0000, 0xFF000000},
         {255, 0, 0, 128},
         1,
         0xFF3F0000}, // ((255 x 128 >> 8) x 128) >> 8
        {"additive without alpha adds under alpha 0", 0xFF000000, {0x00400000}, white, 1, 0xFF400000},
        {"other modes draw nothing", 0xFF000000, {0xFFFFFFFF}, white, 2, 0xFF000000},
    };
    for (bool palette : {false, true})
    {
        for (const Case& c : cases)
            EXPECT_EQ(BlitOne(c.dest, c.source, c.color, c.mode, palette), c.expected)
                << c.what << (palette ? " (palette)" : "");
    }
}

// A plain blit onto an opaque image is the one-pixel rule (opaque pixels copied, transparent
// ones left, the others opaque-over) for a sprite mostly opaque and transparent, drawn a
// register at a time, and for a translucent picture, drawn by its runs, at several places and
// cut by the image's edges.
TEST(MemoryImageDraw, PlainBlitsOfSpritesAndTranslucentPicturesAreTheOnePixelRule)
{
    std::vector<uint32_t> disc(37 * 29), glass(37 * 29);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x)
        {
            double d = std::hypot(x + 0.5 - 18.5, y + 0.5 - 14.5);
            uint32_t a = uint32_t(std::clamp((14.0 - d) * 255.0, 0.0, 255.0));
            disc[size_t(y * 37 + x)] = a << 24 | uint32_t(x * 7) << 16 | uint32_t(y * 9) << 8 | 0x55;
            glass[size_t(y * 37 + x)] =
                uint32_t(1 + (x * 5 + y * 3) % 254) << 24 | uint32_t(x * 7) << 16 | 0x3C;
        }
    const std::vector<uint32_t> screen = GraphicsTest::MakePixels(60 * 40, 11, false);
    std::vector<uint32_t> opaque = screen;
    for (uint32_t& p : opaque)
        p |= 0xFF000000;
    for (const std::vector<uint32_t>* source : {&disc, &glass})
        for (Point at : {Point(0, 0), Point(5, 3), Point(-4, 20), Point(40, -7)})
        {
            std::unique_ptr<MemoryImage> src(MakeImage(37, 29, *source));
            std::unique_ptr<MemoryImage> dest(MakeImage(60, 40, opaque));
            dest->Blt(src.get(), at.mX, at.mY, Rect(0, 0, 37, 29), Color::White, 0);
            std::vector<uint32_t> expected = opaque;
            for (int y = 0; y < 29; ++y)
                for (int x = 0; x < 37; ++x)
                {
                    int dx = at.mX + x, dy = at.mY + y;
                    if (dx < 0 || dy < 0 || dx >= 60 || dy >= 40) continue;
                    uint32_t& d = expected[size_t(dy * 60 + dx)];
                    uint32_t sp = (*source)[size_t(y * 37 + x)], a = sp >> 24;
                    d = a == 255 ? sp : a == 0 ? d : PixelBlend::OpaqueOver(d, sp, a);
                }
            EXPECT_EQ(Pixels(*dest), expected)
                << (source == &disc ? "sprite" : "translucent") << " at " << at.mX << ", " << at.mY;
        }
}

// An additive blit of a source with alpha adds the source's pixels weighted by their alpha
// (a form of them kept by the source), also after the source has changed by drawing, by new
// pixels (without alpha: added as they are) and by becoming a palette, and from a part of it.
TEST(MemoryImageDraw, AdditiveBlitsFollowTheSourcesChanges)
{
    const std::vector<uint32_t> background = GraphicsTest::MakePixels(20 * 6, 3, true);
    std::unique_ptr<MemoryImage> src(MakeImage(13, 4, GraphicsTest::MakePixels(13 * 4, 5, false)));
    auto expectAdded = [&](const Rect& part, const char* after)
    {
        std::unique_ptr<MemoryImage> dest(MakeImage(20, 6, background));
        dest->Blt(src.get(), 2, 1, part, Color::White, 1);
        std::vector<uint32_t> expected = background;
        for (int y = 0; y < part.mHeight; ++y)
            for (int x = 0; x < part.mWidth; ++x)
            {
                uint32_t& d = expected[size_t((y + 1) * 20 + x + 2)];
                uint32_t s = src->GetPixel(part.mX + x, part.mY + y), a = src->hasAlpha ? s >> 24 : 256;
                auto add = [&](int shift) {
                    return std::min<uint32_t>(((d >> shift) & 0xFF) + ((((s >> shift) & 0xFF) * a) >> 8), 255)
                           << shift;
                };
                d = (d & 0xFF000000) | add(16) | add(8) | add(0);
            }
        EXPECT_EQ(Pixels(*dest), expected) << after;
    };
    expectAdded(Rect(0, 0, 13, 4), "the first blit");
    expectAdded(Rect(3, 1, 9, 3), "a part");
    src->FillRect(Rect(2, 1, 5, 2), Color(40, 250, 90, 200), 0);
    expectAdded(Rect(0, 0, 13, 4), "a fill");
    std::vector<uint32_t> others = GraphicsTest::MakePixels(13 * 4, 9, false);
    src->SetBits(others.data(), 13, 4);
    expectAdded(Rect(0, 0, 13, 4), "new pixels");
    std::vector<uint32_t> few(13 * 4);
    for (size_t i = 0; i < few.size(); ++i)
        few[i] = (i % 3 == 0 ? 0x80C04020 : i % 3 == 1 ? 0x20FFFFFF : 0xFF102030);
    src->SetBits(few.data(), 13, 4);
    ASSERT_TRUE(src->Palletize());
    expectAdded(Rect(1, 0, 12, 4), "a palette");
}

TEST(MemoryImageDraw, BltRunsStopAtTheRowEndAndAreClipped)
{
    // Rows: opaque, opaque, transparent, transparent.
    const uint32_t O = 0xFF0000FF, T = 0x00000000, D = 0xFF808080;
    std::unique_ptr<MemoryImage> src(MakeImage(4, 2, {O, O, T, T, O, O, T, T}));
    std::unique_ptr<MemoryImage> dest(MakeImage(4, 2, std::vector<uint32_t>(8, D)));
    dest->Blt(src.get(), 1, 0, Rect(1, 0, 2, 2), Color::White, 0);
    EXPECT_EQ(Pixels(*dest), (std::vector<uint32_t>{D, O, D, D, D, O, D, D}));

    // Positions and rectangles outside either image are cut to them.
    std::unique_ptr<MemoryImage> small(MakeImage(2, 2, std::vector<uint32_t>(4, D)));
    small->Blt(src.get(), -1, -1, Rect(0, 0, 4, 2), Color::White, 0);
    EXPECT_EQ(Pixels(*small), (std::vector<uint32_t>{O, D, D, D}));
    small->Blt(src.get(), 1, 1, Rect(-5, -5, 100, 100), Color::White, 1);
    EXPECT_EQ(small->GetBits()[4], MemoryImage::kGuardWord);

    // A source that is not a software image draws nothing.
    Image foreign;
    foreign.width = foreign.height = 2;
    std::vector<uint32_t> before = Pixels(*dest);
    dest->Blt(&foreign, 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
    EXPECT_EQ(Pixels(*dest), before);
}

// A glyph blit draws each glyph as it would be drawn on its own, in turn, by the image and
// through a context (which leaves out a glyph whose source reaches past the source's right or
// bottom edge): glyphs side by side or over each other, at every alignment to the clip's and
// the image's edges, their source rectangles inside the source or cut by its edges, in white or
// in a colour (with the tinted forms), onto screen-like and translucent pixels.
TEST(MemoryImageDraw, GlyphBlitsAreTheirGlyphsDrawnOneByOne)
{
    const int w = 20, h = 10;
    std::unique_ptr<MemoryImage> source(MakeImage(12, 5, GraphicsTest::MakePixels(60, 7, false)));
    const Rect sources[] = {Rect(0, 0, 4, 5), Rect(4, 0, 4, 5), Rect(-2, 0, 4, 5), Rect(8, 0, 4, 5),
                            Rect(9, 0, 4, 5), Rect(2, 1, 4, 4), Rect(0, -1, 4, 5), Rect(1, 2, 4, 4)};
    const Rect clips[] = {Rect(0, 0, w, h), Rect(3, 2, 10, 6), Rect(-4, -3, 30, 20)};
    const Color colors[] = {Color::White, Color(250, 220, 40, 200)};
    std::vector<uint32_t> tinted(60);
    BlendRows::Modulation m = BlendRows::ModulationOf(colors[1]);
    for (size_t i = 0; i < tinted.size(); ++i)
        tinted[i] = BlendRows::TintedPixel(source->GetBits()[i], m);
    const TintedGlyphs forms{colors[1], source->GetBits(), tinted.data(), 12, 5};
    for (bool screen : {true, false})
        for (const Rect& clip : clips)
            for (const Color& color : colors)
                for (int step : {4, 5, 3})
                    for (int x0 = -7; x0 < -3; ++x0)
                        for (int y = -5; y <= 10; ++y)
                        {
                            std::vector<GlyphBlit> glyphs;
                            for (int k = 0; k < 8; ++k)
                                glyphs.push_back(GlyphBlit{
                                    x0 + k * step, y, sources[size_t(k - x0 + y + 5) % std::size(sources)]});
                            std::vector<uint32_t> background = GraphicsTest::MakePixels(w * h, 11, screen);
                            std::unique_ptr<MemoryImage> images[4];
                            for (auto& image : images)
                                image.reset(MakeImage(w, h, background));
                            const TintedGlyphs* withForms = color == colors[1] ? &forms : nullptr;
                            images[0]->BltGlyphs(source.get(), glyphs.data(), int(glyphs.size()), clip, color,
                                                 0, withForms);
                            images[1]->Image::BltGlyphs(source.get(), glyphs.data(), int(glyphs.size()), clip,
                                                        color, 0);
                            // Through a context, moved by (1, -1).
                            Graphics g(images[2].get()), reference(images[3].get());
                            for (Graphics* each : {&g, &reference})
                            {
                                each->Translate(1, -1);
                                each->ClipRect(clip.mX - 1, clip.mY + 1, clip.mWidth, clip.mHeight);
                                each->SetColorizeImages(true);
                                each->SetColor(color);
                            }
                            for (GlyphBlit& glyph : glyphs)
                            {
                                glyph.x -= 1;
                                glyph.y += 1;
                                reference.DrawImageSrc(source.get(), glyph.x, glyph.y, glyph.src);
                            }
                            g.DrawImageGlyphs(source.get(), glyphs.data(), int(glyphs.size()), withForms);
                            std::string label =
                                "clip " + std::to_string(clip.mX) + "," + std::to_string(clip.mY) + " step " +
                                std::to_string(step) + " at " + std::to_string(x0) + "," + std::to_string(y) +
                                (screen ? " screen-like" : " translucent") + (withForms ? " coloured" : "");
                            ASSERT_EQ(Pixels(*images[0]), Pixels(*images[1])) << label;
                            ASSERT_EQ(Pixels(*images[2]), Pixels(*images[3]))
                                << label << ", through a context";
                            for (auto& image : images)
                                ASSERT_EQ(image->GetBits()[w * h], MemoryImage::kGuardWord) << label;
                        }
}

TEST(MemoryImageDraw, StretchBlits)
{
    const uint32_t A = 0xFF0000FF, B = 0xFF00FF00, C = 0xFFFF0000, E = 0xFFFFFFFF;
    std::unique_ptr<MemoryImage> src(MakeImage(2, 2, {A, B, C, E}));

    // Nearest pixel, doubled.
    MemoryImage dest;
    dest.Create(4, 4);
    dest.StretchBlt(src.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, 0, true);
    auto half = [](uint32_t p) {
        return 0xFF000000 | ((((p & 0xFF00FF) * 255) >> 8) & 0xFF00FF) |
               ((((p & 0xFF00) * 255) >> 8) & 0xFF00);
    };
    EXPECT_EQ(dest.GetBits()[0], half(A));
    EXPECT_EQ(dest.GetBits()[1], half(A));
    EXPECT_EQ(dest.GetBits()[2], half(B));
    EXPECT_EQ(dest.GetBits()[15], half(E));

    // The fast stretch draws nothing with a colour; the clip cuts it.
    MemoryImage untouched;
    untouched.Create(4, 4);
    untouched.StretchBlt(src.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color(1, 2, 3), 0,
                         true);
    untouched.StretchBlt(src.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 2, 1), Color::White, 0,
                         true);
    EXPECT_EQ(Pixels(untouched),
              (std::vector<uint32_t>{half(A), half(A), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MemoryImageDraw, FilteredStretchStaysInsideItsSource)
{
    // The left 2 x 2 of a 4 x 4 image is white, the rest red: enlarging the white part must
    // neither read the red neighbours nor overflow a channel.
    const uint32_t W = 0xFFFFFFFF, R = 0xFFFF0000;
    std::unique_ptr<MemoryImage> src(MakeImage(4, 4, {W, W, R, R, W, W, R, R, R, R, R, R, R, R, R, R}));
    for (Color color : {Color::White, Color(0, 0, 0, 10)}) // the colour is ignored
    {
        MemoryImage dest;
        dest.Create(5, 5);
        dest.StretchBlt(src.get(), Rect(0, 0, 5, 5), Rect(0, 0, 2, 2), Rect(0, 0, 5, 5), color, 0, false);
        EXPECT_EQ(Pixels(dest), std::vector<uint32_t>(25, 0xFFFFFFFF));
    }

    // One to one, one pixel: each pass weighs a pixel by 257, so a channel v filters to
    // (v x 257 x 257) >> 16 and an opaque alpha to 256, which blends as all source.
    struct Case
    {
        uint32_t dest, source, expected;
    } cases[] = {
        {0x00000000, 0xFFFFFFFF, 0xFFFFFFFF},
        {0xFF000000, 0xFF808080, 0xFF818181}, // 128 filters to 129
        {0xFF000000, 0x80FF0000, 0xFF810000}, // a = 129: (256 x 129) >> 8
        {0xFF203040, 0x00FFFFFF, 0xFF203040}, // filtered alpha 0 leaves the pixel
    };
    for (const Case& c : cases)
    {
        MemoryImage dest;
        dest.SetBits(&c.dest, 1, 1);
        std::unique_ptr<MemoryImage> one(MakeImage(1, 1, {c.source}));
        dest.StretchBlt(one.get(), Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), Color::White, 0,
                        false);
        EXPECT_EQ(dest.GetBits()[0], c.expected) << std::hex << c.source;
    }

    // Reducing: an opaque source keeps every destination pixel opaque.
    std::vector<uint32_t> grey(64 * 64, 0xFF808080);
    std::unique_ptr<MemoryImage> big(MakeImage(64, 64, grey));
    MemoryImage small;
    small.Create(7, 5);
    small.StretchBlt(big.get(), Rect(0, 0, 7, 5), Rect(0, 0, 64, 64), Rect(0, 0, 7, 5), Color::White, 0,
                     false);
    for (uint32_t p : Pixels(small))
        EXPECT_EQ(p >> 24, 0xFFu);
}

TEST(MemoryImageDraw, RotatedBlits)
{
    // A 4 x 4 source of distinct opaque pixels.
    std::vector<uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i)
        pixels[size_t(i)] = 0xFF000000 | uint32_t(i * 16) << 16 | uint32_t(255 - i * 16);
    std::unique_ptr<MemoryImage> src(MakeImage(4, 4, pixels));
    auto sampled = [](uint32_t p) // one texel with weight 254
    {
        return 0xFF000000 | ((((p >> 16) & 0xFF) * 254 >> 8) << 16) | (((p >> 8) & 0xFF) * 254 >> 8) << 8 |
               ((p & 0xFF) * 254 >> 8);
    };

    // Angle 0 at integer positions: texel (X - x, Y - y); the last row and column of the
    // source are only reached by interpolation.
    MemoryImage flat;
    flat.Create(6, 6);
    flat.BltF(src.get(), 1, 2, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
        {
            bool inside = x >= 1 && x < 4 && y >= 2 && y < 5;
            uint32_t want = inside ? sampled(pixels[size_t((y - 2) * 4 + (x - 1))]) : 0;
            EXPECT_EQ(flat.GetBits()[y * 6 + x], want) << x << "," << y;
        }

    // A quarter turn about (2, 2): destination (X, Y) shows texel (4 - Y, X) inside the rotated
    // bounds [0, 4); the clip keeps column 0 out.
    MemoryImage turned;
    turned.Create(5, 5);
    turned.BltRotated(src.get(), 0, 0, Rect(0, 0, 4, 4), Rect(1, 0, 4, 5), Color::White, 0, M_PI / 2, 2, 2);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
        {
            bool inside = x >= 1 && x < 3 && y >= 2 && y < 4;
            uint32_t want = inside ? sampled(pixels[size_t(x * 4 + (4 - y))]) : 0;
            EXPECT_EQ(turned.GetBits()[y * 5 + x], want) << x << "," << y;
        }

    // Additive: the sample is added, the destination alpha kept.
    MemoryImage added;
    std::vector<uint32_t> base(4, 0x40010101);
    added.SetBits(base.data(), 2, 2);
    std::unique_ptr<MemoryImage> grey(MakeImage(3, 3, std::vector<uint32_t>(9, 0xFF646464)));
    added.BltF(grey.get(), 0, 0, Rect(0, 0, 3, 3), Rect(0, 0, 2, 2), Color::White, 1);
    EXPECT_EQ(Pixels(added), std::vector<uint32_t>(4, 0x40646464)); // 1 + (100 x 254 >> 8)

    // Colourised, one pixel at a texel corner: the weight 254 is scaled by the colour's alpha
    // (127) and the sample 49 by red + 1; normal mode blends it with the destination's alpha,
    // additive mode scales the sample by red x alpha / 255 and keeps the destination alpha.
    struct Tinted
    {
        uint32_t dest;
        int mode;
        uint32_t expected;
    } tinted[] = {
        {0xFF000000, 0, 0xFF310000},
        {0x00000000, 0, 0x7E620000}, // outA 127: 49 x 256 / 127, alpha outA - 1
        {0x80FF0000, 0, 0xBF960000}, // outA 192: (127 x 129 + 49 x 256) / 192
        {0x40010101, 1, 0x40320101}, // 1 + ((100 x 254 >> 8) x 128 >> 8)
    };
    for (const Tinted& c : tinted)
    {
        MemoryImage one;
        one.SetBits(&c.dest, 1, 1);
        one.BltF(grey.get(), 0, 0, Rect(0, 0, 3, 3), Rect(0, 0, 1, 1), Color(255, 0, 0, 128), c.mode);
        EXPECT_EQ(one.GetBits()[0], c.expected) << std::hex << c.dest;
    }

    // Far-away and non-finite positions draw nothing.
    MemoryImage none;
    none.Create(3, 3);
    none.BltRotated(src.get(), 1e30f, 0, Rect(0, 0, 4, 4), Rect(0, 0, 3, 3), Color::White, 0, 1.0, 2, 2);
    none.BltRotated(src.get(), NAN, 0, Rect(0, 0, 4, 4), Rect(0, 0, 3, 3), Color::White, 0, 1.0, 2, 2);
    EXPECT_EQ(Pixels(none), std::vector<uint32_t>(9, 0));
}

TEST(MemoryImageDraw, AntialiasedLinesAndCoverageStayInsideTheImage)
{
    MemoryImage image;
    image.Create(10, 10);
    image.DrawLineAA(-100.3, -50.7, 300.2, 200.9, Color(255, 255, 255, 255), 0);
    image.DrawLineAA(5.5, -1000, 6.5, 1000, Color(255, 0, 0, 128), 0);
    image.DrawLineAA(1, 1, 8, 3, Color(255, 255, 255), 1);       // no additive antialiased line
    image.DrawLineAA(-10, -10, -2, -2, Color(255, 255, 255), 0); // cut down to a single point
    image.DrawLine(-1e12, 3, 1e12, 4, Color::White, 0);
    EXPECT_EQ(image.GetBits()[100], MemoryImage::kGuardWord);
    // The first line passes below the image (rows 12 to 18 at columns 0 to 9) and the two after
    // the steep one draw nothing. The steep red line stays in column 6, its minor position just
    // past 6 (its fraction's high byte 0, or 255 on the row where it is still below 6): weight
    // 255, a = 255 x 128 / 255 = 128 over nothing, red (255 x 255) >> 8. By row 9 the fraction's
    // high byte is 1: weight 254, a = 127. The far straight line lies on row 3, opaque white.
    std::vector<uint32_t> lines(100, 0);
    for (int row = 0; row < 10; ++row)
        lines[size_t(row * 10 + 6)] = row == 9 ? 0x7FFE0000 : 0x80FE0000;
    for (int column = 0; column < 10; ++column)
        lines[size_t(30 + column)] = 0xFFFEFEFE;
    EXPECT_EQ(Pixels(image), lines);

    // Slope 1/2: at x = 3 the ideal line is at y = 2.25, so rows 2 and 3 get 255 - 64 and 64.
    MemoryImage aa;
    aa.Create(8, 8);
    aa.DrawLineAA(0.5, 1.0, 6.5, 4.0, Color(255, 255, 255), 0);
    EXPECT_EQ(aa.GetBits()[2 * 8 + 3] >> 24, 191u);
    EXPECT_EQ(aa.GetBits()[3 * 8 + 3] >> 24, 64u);

    // Spans reaching past the image and past the coverage area touch only what lies in both.
    MemoryImage covered;
    covered.Create(4, 4);
    uint8_t coverage[2 * 2] = {255, 127, 0, 255};
    Span spans[] = {{0, -10, 100}, {1, -10, 100}, {2, 0, 4}, {-1, 0, 4}, {70, 0, 4}};
    covered.FillScanLinesWithCoverage(spans, 5, Color(255, 0, 0, 255), 0, coverage, 1, 0, 2, 2);
    std::vector<uint32_t> expected(16, 0);
    expected[1] = 0xFFFE0000;     // coverage 255: a = 255
    expected[2] = 0x7FFE0000;     // coverage 127: a = (255 x 128) >> 8 = 127
    expected[4 + 2] = 0xFFFE0000; // (1, 1) has coverage 0: a = 0, left alone
    EXPECT_EQ(Pixels(covered), expected);
    EXPECT_EQ(covered.GetBits()[16], MemoryImage::kGuardWord);
}

} // namespace

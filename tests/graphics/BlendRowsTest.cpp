#include "graphics/BlendRows.h"
#include "graphics/MemoryImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace
{

using namespace Kavo;
using namespace Kavo::PixelBlend;

// Rows that cross every register width and tail, over destinations mixing opaque stretches with
// translucent and transparent pixels, and sources mixing alpha 0, 255 and everything between.
struct Rows
{
    std::vector<uint32_t> dest, src;
};

Rows MakeRows(int n, uint32_t seed)
{
    std::mt19937 random(seed);
    auto alpha = [&](int kind) -> uint32_t
    {
        switch (kind)
        {
        case 0:
            return 0;
        case 1:
            return 255;
        default:
            return random() % 256;
        }
    };
    Rows rows;
    int destKind = int(random() % 3), srcKind = int(random() % 3);
    for (int i = 0; i < n; ++i)
    {
        if (random() % 9 == 0) destKind = int(random() % 3);
        if (random() % 5 == 0) srcKind = int(random() % 3);
        uint32_t colour = random() & 0xFFFFFF;
        // Mostly opaque destinations, as the screen is.
        rows.dest.push_back((destKind == 2 ? alpha(2) : 255) << 24 | colour);
        rows.src.push_back(alpha(srcKind) << 24 | (random() & 0xFFFFFF));
    }
    return rows;
}

template <class Row, class Pixel>
void ExpectRowMatchesPixelsNow(const char* what, Row row, Pixel pixel)
{
    for (int n : {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64, 129})
        for (uint32_t seed = 0; seed < 12; ++seed)
        {
            Rows rows = MakeRows(n, seed * 131 + uint32_t(n));
            std::vector<uint32_t> expected = rows.dest;
            for (int i = 0; i < n; ++i)
                expected[size_t(i)] = pixel(rows.dest[size_t(i)], rows.src[size_t(i)]);
            row(rows.dest.data(), rows.src.data(), n);
            ASSERT_EQ(rows.dest, expected) << what << ", " << n << " pixels, seed " << seed;
        }
}

// Both the SSE2 and, where the processor has it, the AVX2 form.
template <class Row, class Pixel>
void ExpectRowMatchesPixels(const char* what, Row row, Pixel pixel)
{
    for (bool wide : {false, true})
    {
        BlendRows::AllowWideForms(wide);
        SCOPED_TRACE(BlendRows::HasWideForms() ? "wide" : "SSE2");
        ExpectRowMatchesPixelsNow(what, row, pixel);
    }
}

TEST(BlendRows, EveryRowGivesThePixelsOfItsOnePixelRule)
{
    const OverTables& t = GetOverTables();
    ExpectRowMatchesPixels("opaque-over", BlendRows::OpaqueOverRow,
                           [](uint32_t d, uint32_t s) { return OpaqueOver(d, s, s >> 24); });
    ExpectRowMatchesPixels("over", BlendRows::OverRow,
                           [&](uint32_t d, uint32_t s) { return OverSplit(d, s, s >> 24, t); });
    auto ontoOpaque = [](uint32_t d, uint32_t s)
    {
        uint32_t a = s >> 24;
        return a == 255 ? s : a == 0 ? d : OpaqueOver(d, s, a);
    };
    ExpectRowMatchesPixels(
        "onto opaque",
        [](uint32_t* d, const uint32_t* s, int n) { BlendRows::OntoOpaqueRect(d, 0, s, 0, n, 1); },
        ontoOpaque);
    ExpectRowMatchesPixels(
        "sprite onto opaque",
        [](uint32_t* d, const uint32_t* s, int n) { BlendRows::SpriteOntoOpaqueRect(d, 0, s, 0, n, 1); },
        ontoOpaque);
    ExpectRowMatchesPixels("additive with alpha", BlendRows::AddAlphaRow,
                           [](uint32_t d, uint32_t s)
                           {
                               uint32_t a = s >> 24;
                               uint32_t r = std::min<uint32_t>(Red(d) + ((Red(s) * a) >> 8), 255);
                               uint32_t g = std::min<uint32_t>(Green(d) + ((Green(s) * a) >> 8), 255);
                               uint32_t b = std::min<uint32_t>(Blue(d) + ((Blue(s) * a) >> 8), 255);
                               return (d & 0xFF000000) | r << 16 | g << 8 | b;
                           });
    ExpectRowMatchesPixels("additive", BlendRows::AddRow,
                           [](uint32_t d, uint32_t s)
                           {
                               uint32_t r = std::min<uint32_t>(Red(d) + Red(s), 255);
                               uint32_t g = std::min<uint32_t>(Green(d) + Green(s), 255);
                               uint32_t b = std::min<uint32_t>(Blue(d) + Blue(s), 255);
                               return (d & 0xFF000000) | r << 16 | g << 8 | b;
                           });

    struct Case
    {
        const char* what;
        BlendRows::Modulation m;
    } modulations[] = {
        {"colour", {255, 200, 150, 100, false}}, {"colour and alpha", {77, 255, 0, 31, false}},
        {"dark colour", {255, 1, 2, 0, false}},  {"grey", {255, 128, 128, 128, true}},
        {"fade", {128, 255, 255, 255, true}},    {"grey and alpha", {3, 250, 250, 250, true}},
        {"alpha 0", {0, 255, 255, 255, true}},
    };
    for (const Case& c : modulations)
    {
        auto modulated = [&](uint32_t d, uint32_t s) { return BlendRows::ModulatedOver(d, s, c.m, t); };
        ExpectRowMatchesPixels(
            c.what, [&](uint32_t* d, const uint32_t* s, int n) { BlendRows::ModulatedOverRow(d, s, n, c.m); },
            modulated);
        // The same rule from the source and its tinted form.
        ExpectRowMatchesPixels(
            c.what,
            [&](uint32_t* d, const uint32_t* s, int n)
            {
                std::vector<uint32_t> tinted(s, s + n);
                for (uint32_t& p : tinted)
                    p = BlendRows::TintedPixel(p, c.m);
                BlendRows::TintedOverRect(d, 0, s, tinted.data(), 0, n, 1, c.m);
            },
            modulated);
    }
}

// Every pair of destination and source alpha, in every form: the divisions the wide forms compute
// over translucent and transparent destinations are the rules' tables everywhere. Each pair fills
// a whole register of either width (eight pixels, colours apart), so that the shortcuts a register
// takes when all its pixels allow them are tried on every pair alone.
TEST(BlendRows, EveryPairOfAlphasGivesThePixelsOfTheTables)
{
    const OverTables& t = GetOverTables();
    std::mt19937 random(5);
    std::vector<uint32_t> dest, src;
    for (uint32_t da = 0; da < 256; ++da)
        for (uint32_t sa = 0; sa < 256; ++sa)
            for (int copy = 0; copy < 8; ++copy)
            {
                dest.push_back(da << 24 | (random() & 0xFFFFFF));
                src.push_back(sa << 24 | (random() & 0xFFFFFF));
            }
    const BlendRows::Modulation modulations[] = {{255, 255, 255, 255, false},
                                                 {255, 250, 220, 40, false},
                                                 {255, 0, 0, 0, true},
                                                 {77, 90, 90, 90, true}};
    for (bool wide : {false, true})
    {
        BlendRows::AllowWideForms(wide);
        SCOPED_TRACE(BlendRows::HasWideForms() ? "wide" : "SSE2");
        std::vector<uint32_t> d = dest;
        BlendRows::OverRow(d.data(), src.data(), int(d.size()));
        for (size_t i = 0; i < d.size(); ++i)
            ASSERT_EQ(d[i], OverSplit(dest[i], src[i], src[i] >> 24, t))
                << "over, alphas " << (dest[i] >> 24) << "/" << (src[i] >> 24);
        for (const BlendRows::Modulation& m : modulations)
        {
            std::vector<uint32_t> tinted = src;
            for (uint32_t& p : tinted)
                p = BlendRows::TintedPixel(p, m);
            for (bool byTint : {false, true})
            {
                d = dest;
                if (byTint)
                    BlendRows::TintedOverRect(d.data(), 0, src.data(), tinted.data(), 0, int(d.size()), 1, m);
                else
                    BlendRows::ModulatedOverRow(d.data(), src.data(), int(d.size()), m);
                for (size_t i = 0; i < d.size(); ++i)
                    ASSERT_EQ(d[i], BlendRows::ModulatedOver(dest[i], src[i], m, t))
                        << (byTint ? "tinted, " : "") << "modulated by " << m.red << "," << m.green << ","
                        << m.blue << "," << m.alpha << ", alphas " << (dest[i] >> 24) << "/"
                        << (src[i] >> 24);
            }
        }
    }
}

// The rectangle forms are their rows, every row pitch apart, nothing outside the rectangle touched.
TEST(BlendRows, RectanglesAreTheirRows)
{
    const BlendRows::Modulation m{200, 250, 220, 40, false};
    for (bool wide : {false, true})
    {
        BlendRows::AllowWideForms(wide);
        for (int w : {1, 4, 9, 13, 17})
        {
            Rows image = MakeRows(40 * 16, uint32_t(w)), glyphs = MakeRows(23 * 15, uint32_t(w + 100));
            std::vector<uint32_t> byRect = image.dest, byRows = image.dest;
            BlendRows::ModulatedOverRect(byRect.data() + 40 * 2 + 3, 40, glyphs.src.data() + 23 + 1, 23, w,
                                         13, m);
            BlendRows::OverRect(byRect.data() + 40 + 21, 40, glyphs.src.data() + 2, 23, w, 14);
            for (int j = 0; j < 13; ++j)
                BlendRows::ModulatedOverRow(byRows.data() + 40 * (2 + j) + 3,
                                            glyphs.src.data() + 23 * (1 + j) + 1, w, m);
            for (int j = 0; j < 14; ++j)
                BlendRows::OverRow(byRows.data() + 40 * (1 + j) + 21, glyphs.src.data() + 23 * j + 2, w);
            ASSERT_EQ(byRect, byRows) << w << " wide, " << (BlendRows::HasWideForms() ? "wide" : "SSE2");
        }
    }
}

// A copied or added rectangle of every width to 40, at every alignment of a cache line, and
// taller than the copy's look-ahead, changes its own words and no others.
TEST(BlendRows, CopiedAndAddedRectanglesStayInPlace)
{
    for (bool wide : {false, true})
    {
        BlendRows::AllowWideForms(wide);
        for (int w = 1; w <= 40; ++w)
            for (int offset = 0; offset < 16; offset += 3)
            {
                const int pitch = 57, h = 300 / w + 3;
                Rows image = MakeRows(pitch * (h + 2), uint32_t(w * 31 + offset));
                std::vector<uint32_t> copied = image.dest, added = image.dest;
                std::vector<uint32_t> wantCopied = image.dest, wantAdded = image.dest;
                const size_t at = size_t(pitch + offset), from = size_t(2 * pitch + 1);
                for (int j = 0; j < h; ++j)
                    for (int i = 0; i < w; ++i)
                    {
                        size_t d = at + size_t(j * pitch + i);
                        uint32_t sp = image.src[from + size_t(j * pitch + i)], dp = image.dest[d];
                        wantCopied[d] = sp;
                        auto sum = [&](int shift) {
                            return std::min<uint32_t>(((dp >> shift) & 0xFF) + ((sp >> shift) & 0xFF), 255)
                                   << shift;
                        };
                        wantAdded[d] = (dp & 0xFF000000) | sum(16) | sum(8) | sum(0);
                    }
                BlendRows::CopyRect(copied.data() + at, pitch, image.src.data() + from, pitch, w, h);
                BlendRows::AddRect(added.data() + at, pitch, image.src.data() + from, pitch, w, h);
                ASSERT_EQ(copied, wantCopied) << w << " wide at " << offset << (wide ? ", wide" : "");
                ASSERT_EQ(added, wantAdded) << w << " wide at " << offset << (wide ? ", wide" : "");
            }
    }
}

// A coloured blit of a whole sprite, at every alignment, is the one-pixel rule at every pixel.
TEST(BlendRows, ColouredBlitsAreTheOnePixelRuleEverywhere)
{
    Rows sprite = MakeRows(23 * 5, 7), screen = MakeRows(40 * 7, 8);
    MemoryImage src;
    src.SetBits(sprite.src.data(), 23, 5);
    for (Color color : {Color(200, 150, 100), Color(255, 255, 255, 128), Color(90, 90, 90, 200)})
        for (int x = 0; x < 9; ++x)
        {
            MemoryImage dest;
            dest.SetBits(screen.dest.data(), 40, 7);
            dest.Blt(&src, x, 1, Rect(0, 0, 23, 5), color, 0);
            BlendRows::Modulation m{uint32_t(color.mAlpha), uint32_t(color.mRed), uint32_t(color.mGreen),
                                    uint32_t(color.mBlue),
                                    color.mRed == color.mGreen && color.mGreen == color.mBlue};
            for (int j = 0; j < 7; ++j)
                for (int i = 0; i < 40; ++i)
                {
                    uint32_t before = screen.dest[size_t(j * 40 + i)], expected = before;
                    if (i >= x && i < x + 23 && j >= 1 && j < 6)
                        expected = BlendRows::ModulatedOver(before, sprite.src[size_t((j - 1) * 23 + i - x)],
                                                            m, GetOverTables());
                    ASSERT_EQ(dest.GetBits()[j * 40 + i], expected) << i << "," << j << " at " << x;
                }
        }
}

} // namespace

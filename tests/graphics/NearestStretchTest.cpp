#include "graphics/BlitGeometry.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"
#include "graphics/StretchColumns.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

using namespace Kavo;
using GraphicsTest::MakePixels;
using GraphicsTest::Pixels;

TEST(NearestStretch, ColumnsDoubleWhereEachSourceColumnServesTwo)
{
    struct Case
    {
        double start, step;
        int count, sourceWidth, doubledFrom;
    } cases[] = {
        {0, 0.5, 248, 124, 0},   // twice the size
        {0.5, 0.5, 247, 124, 1}, // cut by one on the left: the first column alone
        {3, 0.5, 9, 124, 0},     // an odd count: the last alone
        {0, 0.5, 1, 124, -1},    // too few to double
        {0, 1.0 / 3, 30, 10, -1}, {0, 1, 30, 30, -1},
        {0, 0.4, 30, 30, -1},     {0, 0.5, 30, 10, -1}, // cut to the last column before the end
    };
    for (const Case& c : cases)
    {
        StretchColumns columns(c.start, c.step, c.count, c.sourceWidth);
        EXPECT_EQ(columns.DoubledFrom(), c.doubledFrom) << c.start << " + i x " << c.step;
    }
}

// The nearest-pixel stretch written plainly: each destination pixel takes the source pixel at
// its truncated position in the whole stretch (wherever a clip cuts it) and blends it with the
// one-pixel rule; each source row is read as it stands when its destination row is drawn
// (source null: the destination itself).
void PlainStretch(std::vector<uint32_t>& dest, int destW, int destH, const std::vector<uint32_t>* source,
                  int srcW, int srcH, const Rect& destRect, const Rect& srcRect, const Rect& clip)
{
    Rect clipped;
    RectD part;
    if (!CalcStretchBltRects(destRect, clip.Intersection(Rect(0, 0, destW, destH)), srcRect, clipped, part))
        return;
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    double xstep = double(srcRect.mWidth) / destRect.mWidth,
           ystep = double(srcRect.mHeight) / destRect.mHeight;
    const int firstColumn = clipped.mX - destRect.mX, firstRow = clipped.mY - destRect.mY;
    for (int j = 0; j < clipped.mHeight; ++j)
    {
        int sy = std::clamp(int(srcRect.mY + (firstRow + j) * ystep), 0, srcH - 1);
        const std::vector<uint32_t>& from = source ? *source : dest;
        std::vector<uint32_t> row(from.begin() + sy * srcW, from.begin() + (sy + 1) * srcW);
        for (int i = 0; i < clipped.mWidth; ++i)
        {
            uint32_t s = row[size_t(std::clamp(int(srcRect.mX + (firstColumn + i) * xstep), 0, srcW - 1))];
            uint32_t& d = dest[size_t((clipped.mY + j) * destW + clipped.mX + i)];
            d = PixelBlend::OverSplit(d, s, s >> 24, t);
        }
    }
}

TEST(NearestStretch, EveryStretchGivesThePixelsOfTheOnePixelRule)
{
    // Enlargements by two (from the first column and, cut on the left, from inside one),
    // other enlargements, the same size and reductions; the destination at every alignment.
    const double scales[] = {2, 3, 1.5, 2.5, 1, 0.6};
    uint32_t seed = 0;
    for (double scale : scales)
        for (int srcW = 1; srcW <= 24; ++srcW)
            for (int cut : {0, 1, 3})
            {
                ++seed;
                const int srcH = 1 + int(seed % 5), offset = int(seed % 8);
                const int outW = std::max(1, int(srcW * scale)), outH = std::max(1, int(srcH * scale));
                const int destW = outW + offset + 3, destH = outH + 2;
                std::vector<uint32_t> source = MakePixels(size_t(srcW * srcH), seed, false);
                std::vector<uint32_t> screen = MakePixels(size_t(destW * destH), seed + 1, true),
                                      expected = screen;
                MemoryImage src, dest;
                src.SetBits(source.data(), srcW, srcH);
                dest.SetBits(screen.data(), destW, destH);
                const Rect to(offset, 1, outW, outH), from(0, 0, srcW, srcH);
                const Rect clip(offset + cut, 1 + cut % 2, destW, destH);
                dest.StretchBlt(&src, to, from, clip, Color::White, 0, true);
                PlainStretch(expected, destW, destH, &source, srcW, srcH, to, from, clip);
                ASSERT_EQ(Pixels(dest), expected) << srcW << " x " << srcH << " scaled " << scale << ", cut "
                                                  << cut << ", offset " << offset;
            }

    // The benchmark's sprite, twice its size.
    std::vector<uint32_t> sprite = MakePixels(124 * 120, 5, false);
    std::vector<uint32_t> screen = MakePixels(300 * 260, 6, true), expected = screen;
    MemoryImage src, dest;
    src.SetBits(sprite.data(), 124, 120);
    dest.SetBits(screen.data(), 300, 260);
    dest.StretchBlt(&src, Rect(5, 7, 248, 240), Rect(0, 0, 124, 120), Rect(0, 0, 300, 260), Color::White, 0,
                    true);
    PlainStretch(expected, 300, 260, &sprite, 124, 120, Rect(5, 7, 248, 240), Rect(0, 0, 124, 120),
                 Rect(0, 0, 300, 260));
    EXPECT_EQ(Pixels(dest), expected);
}

// A stretch drawn in parts, each cut by a clip of its own (as a screen is drawn again where it
// changed), gives the pixels of the stretch drawn whole.
TEST(NearestStretch, AStretchDrawnInPartsIsTheStretchDrawnWhole)
{
    const struct
    {
        Rect to, from;
    } cases[] = {
        {Rect(3, 2, 71, 69), Rect(0, 0, 62, 60)},   // the pulse of an exploding piece, 1.15
        {Rect(20, 20, 18, 18), Rect(0, 0, 62, 60)}, // a piece growing in, 0.3
        {Rect(1, 4, 93, 57), Rect(5, 3, 31, 19)},   // three times, from inside the source
    };
    std::vector<uint32_t> source = MakePixels(size_t(62 * 60), 11, false);
    std::vector<uint32_t> screen = MakePixels(size_t(100 * 100), 12, true);
    MemoryImage src;
    src.SetBits(source.data(), 62, 60);
    for (const auto& c : cases)
    {
        MemoryImage whole, parts;
        whole.SetBits(screen.data(), 100, 100);
        parts.SetBits(screen.data(), 100, 100);
        whole.StretchBlt(&src, c.to, c.from, Rect(0, 0, 100, 100), Color::White, 0, true);
        for (int y = 0; y < 100; y += 13)
            for (int x = 0; x < 100; x += 17)
                parts.StretchBlt(&src, c.to, c.from, Rect(x, y, 17, 13), Color::White, 0, true);
        EXPECT_EQ(Pixels(parts), Pixels(whole)) << c.to.mWidth << " x " << c.to.mHeight;
    }
}

// Stretched onto itself, each destination row reads its source row as the rows drawn before it
// left it.
TEST(NearestStretch, AnImageStretchedOntoItselfReadsEachRowAsItStands)
{
    std::vector<uint32_t> words = MakePixels(16 * 14, 9, false);
    for (uint32_t& w : words)
        w |= 0x01000000; // every pixel drawn, so that overwritten rows show
    std::vector<uint32_t> expected = words;
    MemoryImage self;
    self.SetBits(words.data(), 16, 14);
    self.StretchBlt(&self, Rect(1, 1, 14, 12), Rect(0, 0, 7, 6), Rect(0, 0, 16, 14), Color::White, 0, true);
    PlainStretch(expected, 16, 14, nullptr, 16, 14, Rect(1, 1, 14, 12), Rect(0, 0, 7, 6), Rect(0, 0, 16, 14));
    EXPECT_EQ(Pixels(self), expected);
}

} // namespace

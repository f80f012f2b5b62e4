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
// its truncated position and blends it with the one-pixel rule; each source row is read as it
// stands when its destination row is drawn (source null: the destination itself).
void PlainStretch(std::vector<uint32_t>& dest, int destW, int destH, const std::vector<uint32_t>* source,
                  int srcW, int srcH, const Rect& destRect, const Rect& srcRect, const Rect& clip)
{
    Rect clipped;
    RectD part;
    if (!CalcStretchBltRects(destRect, clip.Intersection(Rect(0, 0, destW, destH)), srcRect, clipped, part))
        return;
    const PixelBlend::OverTables& t = PixelBlend::GetOverTables();
    double xstep = part.width / clipped.mWidth, ystep = part.height / clipped.mHeight;
    for (int j = 0; j < clipped.mHeight; ++j)
    {
        int sy = std::clamp(int(part.y + j * ystep), 0, srcH - 1);
        const std::vector<uint32_t>& from = source ? *source : dest;
        std::vector<uint32_t> row(from.begin() + sy * srcW, from.begin() + (sy + 1) * srcW);
        for (int i = 0; i < clipped.mWidth; ++i)
        {
            uint32_t s = row[size_t(std::clamp(int(part.x + i * xstep), 0, srcW - 1))];
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

// Rectangles, positions and line ends at the ends of the int range and beyond: every drawing
// operation writes exactly what lies inside the image and nothing past it.
#include "base/CheckedConversions.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using GraphicsTest::Pixels;

constexpr int kSize = 8;
const int kFar[] = {INT_MIN, INT_MIN + 3, -1000000000, -3, 0, 2, 1000000000, INT_MAX - 3, INT_MAX};

// Whether the columns start .. start + count - 1, taken without overflow, hold column c.
bool Covers(int64_t start, int64_t count, int64_t c)
{
    return c >= start && c < start + count;
}

std::string Describe(int x, int y, int w, int h)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(w) + ", " +
           std::to_string(h) + ")";
}

// The image (blank to start with) is drawn on exactly where inside(column, row) holds, and the
// guard after the last pixel is intact.
void ExpectDrawnWhere(MemoryImage& image, const std::function<bool(int, int)>& inside,
                      const std::string& what)
{
    std::vector<uint32_t> pixels = Pixels(image);
    int wrong = 0;
    for (int row = 0; row < kSize; ++row)
        for (int column = 0; column < kSize; ++column)
            wrong += (pixels[size_t(row * kSize + column)] != 0) != inside(column, row);
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_EQ(image.GetBits()[kSize * kSize], MemoryImage::kGuardWord) << what;
}

// Nothing is drawn in the columns where allowed(column) fails, nor past the last pixel.
void ExpectBlankOutside(MemoryImage& image, const std::function<bool(int)>& allowed, const std::string& what)
{
    std::vector<uint32_t> pixels = Pixels(image);
    int wrong = 0;
    for (int row = 0; row < kSize; ++row)
        for (int column = 0; column < kSize; ++column)
            wrong += !allowed(column) && pixels[size_t(row * kSize + column)] != 0;
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_EQ(image.GetBits()[kSize * kSize], MemoryImage::kGuardWord) << what;
}

// A 4 x 4 source of opaque red for the blits.
class FarCoordinates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        src.Create(4, 4);
        src.FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0), 0);
    }
    MemoryImage src;
};

TEST_F(FarCoordinates, FillsAndClearsCoverExactlyTheOverlap)
{
    for (int x : kFar)
        for (int w : kFar)
            for (int y : {INT_MIN, -2, 3, INT_MAX})
                for (int h : {INT_MIN, 2, INT_MAX})
                {
                    std::string what = Describe(x, y, w, h);
                    auto inside = [&](int c, int r) { return Covers(x, w, c) && Covers(y, h, r); };
                    MemoryImage image;
                    image.Create(kSize, kSize);
                    image.FillRect(Rect(x, y, w, h), Color(255, 0, 0), 0);
                    ExpectDrawnWhere(image, inside, "fill " + what);

                    image.FillRect(Rect(0, 0, kSize, kSize), Color(255, 0, 0), 0);
                    image.ClearRect(Rect(x, y, w, h));
                    ExpectDrawnWhere(
                        image, [&](int c, int r) { return !inside(c, r); }, "clear " + what);

                    // The context translates in floats: a position near the ends of the range
                    // moves to the nearest float, held in the range.
                    int tx = TruncateToInt(float(x)), ty = TruncateToInt(float(y));
                    MemoryImage drawn;
                    drawn.Create(kSize, kSize);
                    Graphics g(&drawn);
                    g.SetColor(Color(255, 0, 0));
                    g.FillRect(x, y, w, h);
                    ExpectDrawnWhere(
                        drawn, [&](int c, int r) { return Covers(tx, w, c) && Covers(ty, h, r); },
                        "context fill " + what);
                }
}

TEST_F(FarCoordinates, BlitsDrawOnlyTheSourcePartThatLandsInside)
{
    for (int x : kFar)
        for (int sx : kFar)
            for (int sw : {INT_MIN, 3, INT_MAX})
            {
                // The source column of destination column c is c - x + sx; it must lie in both the
                // source rectangle and the source image.
                auto inside = [&](int c, int r)
                {
                    int64_t column = int64_t(c) - x + sx;
                    return Covers(sx, sw, column) && Covers(0, 4, column) && r < 4;
                };
                std::string what = "blit at " + std::to_string(x) + " of " + Describe(sx, 0, sw, 4);
                MemoryImage image;
                image.Create(kSize, kSize);
                image.Blt(&src, x, 0, Rect(sx, 0, sw, 4), Color::White, 0);
                ExpectDrawnWhere(image, inside, what);
            }
}

TEST_F(FarCoordinates, StretchesAndMatrixBlitsStayInsideTheirClip)
{
    for (int x : kFar)
        for (int w : kFar)
            for (int clipX : {INT_MIN, 2, INT_MAX})
            {
                std::string what = Describe(x, 0, w, kSize) + " clipped from " + std::to_string(clipX);
                Rect clip(clipX, 0, INT_MAX, INT_MAX);
                // The clipped destination: at most the destination, the clip and the image.
                auto allowed = [&](int c) { return Covers(x, w, c) && Covers(clipX, INT_MAX, c); };
                for (bool fast : {false, true})
                {
                    MemoryImage image;
                    image.Create(kSize, kSize);
                    image.StretchBlt(&src, Rect(x, 0, w, kSize), Rect(0, 0, 4, 4), clip, Color::White, 0,
                                     fast);
                    ExpectBlankOutside(image, allowed, what);
                }

                MemoryImage drawn;
                drawn.Create(kSize, kSize);
                Graphics g(&drawn);
                g.ClipRect(clipX, 0, INT_MAX, INT_MAX);
                g.DrawImageStretched(&src, x, 0, w, kSize);
                ExpectBlankOutside(drawn, allowed, "context " + what);

                // A matrix blit of the whole source at x, cut to the clip.
                MemoryImage matrix;
                matrix.Create(kSize, kSize);
                Matrix3 scale;
                scale.Scale(float(w), 1.0f);
                matrix.BltMatrix(&src, float(x), 2.0f, scale, clip, Color::White, 0, Rect(0, 0, 4, 4), true);
                ExpectBlankOutside(
                    matrix, [&](int c) { return Covers(clipX, INT_MAX, c); }, "matrix " + what);
            }
}

TEST_F(FarCoordinates, StraightLinesWithFarEndsFillTheirRowOrColumn)
{
    const double far[] = {-1e12, -3e9, -2.5, 3.0, 5.5, 3e9, 1e12, INFINITY, -INFINITY};
    for (double a : far)
        for (double b : far)
        {
            // Truncated ends; the line covers the columns between them, both included.
            auto column = [](double v) { return std::max(-1e13, std::min(1e13, std::trunc(v))); };
            double low = std::min(column(a), column(b)), high = std::max(column(a), column(b));
            auto on = [&](int c) { return double(c) >= low && double(c) <= high; };
            std::string what = std::to_string(a) + " to " + std::to_string(b);

            MemoryImage image;
            image.Create(kSize, kSize);
            image.DrawLine(a, 3.0, b, 3.0, Color(255, 0, 0), 0);
            ExpectDrawnWhere(
                image, [&](int c, int r) { return r == 3 && on(c); }, "horizontal " + what);

            MemoryImage upright;
            upright.Create(kSize, kSize);
            upright.DrawLine(5.0, a, 5.0, b, Color(255, 0, 0), 0);
            ExpectDrawnWhere(
                upright, [&](int c, int r) { return c == 5 && on(r); }, "vertical " + what);
        }

    // A far row or column draws nothing, and a line whose ends are not numbers neither.
    MemoryImage none;
    none.Create(kSize, kSize);
    none.DrawLine(0.0, 3e9, 7.0, 3e9, Color(255, 0, 0), 0);
    none.DrawLine(-1e12, 2.0, 1e12, 2.0, Color(255, 0, 0), 0);
    none.DrawLine(NAN, 2.0, NAN, 2.0, Color(255, 0, 0), 0);
    ExpectDrawnWhere(
        none, [](int, int r) { return r == 2; }, "far row, then a row of the image");
}

// A 3 x 3 frame of 9 x 9 source pixels (tiles of 3) over boxes reaching to the ends of the int
// range: the draw finishes, and every pixel of the image is the frame's at that place (corners,
// then edges, then sides, then the centre, each later one drawn over the earlier), as the whole
// tiled box would show it.
TEST_F(FarCoordinates, ImageBoxesOfAnySizeDrawTheirFrameInsideTheImage)
{
    constexpr int kImage = 24;
    MemoryImage frame;
    {
        std::vector<uint32_t> pixels(81);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                pixels[size_t(y * 9 + x)] =
                    0xFF000000u | uint32_t(x + 1) << 16 | uint32_t(y + 1) << 8 | 0x40u;
        frame.SetBits(pixels.data(), 9, 9);
    }
    auto source = [&](int64_t x, int64_t y) { return frame.GetBits()[size_t(y * 9 + x)]; };
    // The frame's pixel at context point (x, y), or opaque black where no piece lands.
    auto expected = [&](int64_t dx, int64_t dy, int64_t dw, int64_t dh, int64_t x, int64_t y) -> uint32_t
    {
        auto in = [](int64_t v, int64_t from, int64_t to) { return v >= from && v < to; };
        const int64_t right = dx + dw - 3, bottom = dy + dh - 3;
        uint32_t p = 0xFF000000u;
        if (in(x, dx, dx + 3) && in(y, dy, dy + 3)) p = source(x - dx, y - dy);
        if (in(x, right, right + 3) && in(y, dy, dy + 3)) p = source(6 + x - right, y - dy);
        if (in(x, dx, dx + 3) && in(y, bottom, bottom + 3)) p = source(x - dx, 6 + y - bottom);
        if (in(x, right, right + 3) && in(y, bottom, bottom + 3)) p = source(6 + x - right, 6 + y - bottom);
        const bool across = in(x, dx + 3, right), down = in(y, dy + 3, bottom);
        const int64_t tileX = 3 + (x - dx - 3) % 3, tileY = 3 + (y - dy - 3) % 3;
        if (across && in(y, dy, dy + 3) && in(y, dy, dy + dh)) p = source(tileX, y - dy);
        if (across && in(y, bottom, bottom + 3) && in(y, dy, dy + dh)) p = source(tileX, 6 + y - bottom);
        if (down && in(x, dx, dx + 3) && in(x, dx, dx + dw)) p = source(x - dx, tileY);
        if (down && in(x, right, right + 3) && in(x, dx, dx + dw)) p = source(6 + x - right, tileY);
        if (across && down) p = source(tileX, tileY);
        return p;
    };
    const int starts[] = {INT_MIN, INT_MIN + 7, -1000000000, -4, 0, 5, 20, 1000000000, INT_MAX - 2};
    const int sizes[] = {INT_MAX, INT_MAX - 5, 2000000001, 1000000003, 31, 7, 4, 1};
    for (int translate : {0, 3, -11})
        for (int dx : starts)
            for (int dw : sizes)
                for (int dy : {INT_MIN, -2, 0, 13})
                    for (int dh : {INT_MAX, 1000000000, 20, 5})
                    {
                        MemoryImage image;
                        image.Create(kImage, kImage);
                        image.FillRect(Rect(0, 0, kImage, kImage), Color(0, 0, 0), 0);
                        image.CommitBits(); // opaque: the tiles are copied exactly
                        Graphics g(&image);
                        g.Translate(translate, -translate);
                        g.DrawImageBox(Rect(dx, dy, dw, dh), &frame);
                        std::vector<uint32_t> pixels = Pixels(image);
                        int wrong = 0, first = -1;
                        for (int y = 0; y < kImage; ++y)
                            for (int x = 0; x < kImage; ++x)
                                if (pixels[size_t(y * kImage + x)] !=
                                    expected(dx, dy, dw, dh, int64_t(x) - translate, int64_t(y) + translate))
                                {
                                    if (wrong++ == 0) first = y * kImage + x;
                                }
                        ASSERT_EQ(wrong, 0)
                            << Describe(dx, dy, dw, dh) << " moved by " << translate << ": first at ("
                            << first % kImage << ", " << first / kImage << ")";
                    }
}

} // namespace

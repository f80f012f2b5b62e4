#include "graphics/FilteredStretch.h"
#include "graphics/BlendRows.h"
#include "graphics/MemoryImage.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace
{

using namespace Kavo;

using GraphicsTest::MakePixels;

// One axis of a stretch: `count` source cells, the part from `start` of length `extent`, drawn
// into `out` cells.
struct Axis
{
    int count;
    double start, extent;
    int out;
    std::vector<FilteredStretch::Tap> Taps() const
    {
        return FilteredStretch::AxisTaps(count, 0, start, extent, out);
    }
};

Axis Scaled(int out, double scale, double start)
{
    double extent = out / scale;
    return {std::max(1, int(std::ceil(start + extent))), start, extent, out};
}

// Draws the stretch with both forms onto the same destination, placed at `offset` words into
// its row, and expects the same words everywhere.
void ExpectSamePixels(const Axis& across, const Axis& down, uint32_t seed, int offset)
{
    std::vector<uint32_t> source = MakePixels(size_t(across.count) * size_t(down.count), seed, false);
    const size_t pitch = size_t(across.out + offset + 3);
    std::vector<uint32_t> fast = MakePixels(pitch * size_t(down.out), seed + 1, true), plain = fast;
    FilteredStretch::Job job;
    job.width = across.out;
    job.height = down.out;
    job.sourceRows = down.count;
    job.across = across.Taps();
    job.down = down.Taps();
    job.row = [&](int row) { return source.data() + size_t(row) * size_t(across.count); };
    job.destPitch = pitch;
    job.dest = fast.data() + offset;
    FilteredStretch::Draw(job);
    job.dest = plain.data() + offset;
    FilteredStretch::DrawTwoPass(job);
    ASSERT_EQ(fast, plain) << across.out << " x " << down.out << " from " << across.count << " x "
                           << down.count << " at " << across.start << ", " << down.start << ", offset "
                           << offset;
}

TEST(FilteredStretch, EveryStretchGivesThePixelsOfTheTwoPassRule)
{
    // Enlargements, the same size and reductions, from the region's start, from inside its first
    // cell, and from before it (weights beyond 257, drawn by the plain rule).
    const double scales[] = {2, 1, 1.5, 3.7, 0.5, 0.3, 1.0 / 7, 1.02};
    const double starts[] = {0, 0.4, -0.5};
    const Axis downs[] = {Scaled(9, 2, 0), Scaled(4, 0.37, 0.25), Scaled(3, 1, 0.5), Scaled(1, 5, 0)};
    for (bool wide : {false, true})
    {
        BlendRows::AllowWideForms(wide);
        SCOPED_TRACE(BlendRows::HasWideForms() ? "wide" : "SSE2");
        uint32_t seed = 0;
        for (double scale : scales)
            for (double start : starts)
                for (int out = 1; out <= 41; ++out)
                    for (const Axis& down : downs)
                    {
                        ++seed;
                        ExpectSamePixels(Scaled(out, scale, start), down, seed, int(seed % 8));
                    }
        // The benchmark's sprite, twice its size; across and down exchanged.
        ExpectSamePixels(Scaled(248, 2, 0), Scaled(240, 2, 0), 7, 0);
        ExpectSamePixels(Scaled(37, 0.5, 0.5), Scaled(129, 2.5, 0.4), 8, 5);
    }
    BlendRows::AllowWideForms(true);
}

// Through the image: a palettised source draws as its words do, and an image stretched onto
// itself reads its pixels as they were before the stretch.
TEST(FilteredStretch, ImagesStretchFromTheirPixelsAsTheyWere)
{
    std::vector<uint32_t> words = MakePixels(13 * 11, 3, false);
    for (uint32_t& w : words)
        w &= 0xFFC0C0C0; // few enough colours for a palette
    MemoryImage plain, palettised;
    plain.SetBits(words.data(), 13, 11);
    palettised.SetBits(words.data(), 13, 11);
    ASSERT_TRUE(palettised.Palletize());
    std::vector<uint32_t> screen = MakePixels(40 * 30, 4, true);
    for (MemoryImage* src : {&plain, &palettised})
    {
        MemoryImage dest, expected;
        dest.SetBits(screen.data(), 40, 30);
        expected.SetBits(screen.data(), 40, 30);
        dest.StretchBlt(src, Rect(3, 2, 29, 25), Rect(1, 2, 11, 9), Rect(0, 0, 40, 30), Color::White, 0,
                        false);
        MemoryImage reference;
        reference.SetBits(words.data(), 13, 11);
        expected.StretchBlt(&reference, Rect(3, 2, 29, 25), Rect(1, 2, 11, 9), Rect(0, 0, 40, 30),
                            Color::White, 0, false);
        ASSERT_EQ(std::vector<uint32_t>(dest.GetBits(), dest.GetBits() + 40 * 30),
                  std::vector<uint32_t>(expected.GetBits(), expected.GetBits() + 40 * 30));
    }

    for (bool palette : {false, true})
    {
        MemoryImage self, copy, dest;
        self.SetBits(words.data(), 13, 11);
        copy.SetBits(words.data(), 13, 11);
        dest.SetBits(words.data(), 13, 11);
        if (palette)
        {
            ASSERT_TRUE(self.Palletize());
        }
        // Downward and rightward onto rows and columns still to be read.
        self.StretchBlt(&self, Rect(2, 1, 11, 10), Rect(0, 0, 7, 6), Rect(0, 0, 13, 11), Color::White, 0,
                        false);
        dest.StretchBlt(&copy, Rect(2, 1, 11, 10), Rect(0, 0, 7, 6), Rect(0, 0, 13, 11), Color::White, 0,
                        false);
        ASSERT_EQ(std::vector<uint32_t>(self.GetBits(), self.GetBits() + 13 * 11),
                  std::vector<uint32_t>(dest.GetBits(), dest.GetBits() + 13 * 11))
            << (palette ? "palettised" : "words");
    }
}

} // namespace

#include "platform/display/ScreenScaler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{

using platform::ScreenScaler;
using platform::SurfaceRect;

struct Picture
{
    int width, height;
    std::vector<uint32_t> pixels;

    Picture(int w, int h, uint32_t seed) : width(w), height(h), pixels(size_t(w) * size_t(h))
    {
        std::mt19937 random(seed);
        for (uint32_t& p : pixels)
            p = random();
    }
    // Row y of the footprint that starts at column left.
    ScreenScaler::SourceRow Rows(int left) const
    {
        return [this, left](int y) { return pixels.data() + size_t(y) * size_t(width) + size_t(left); };
    }
};

// The destination, whole, by the fast rows or the reference.
std::vector<uint32_t> ScaleWhole(const ScreenScaler& scaler, const Picture& source, bool reference)
{
    std::vector<uint32_t> out(size_t(scaler.DestWidth()) * size_t(scaler.DestHeight()));
    SurfaceRect all{0, 0, scaler.DestWidth(), scaler.DestHeight()};
    auto* bytes = reinterpret_cast<uint8_t*>(out.data());
    if (reference)
        scaler.ScaleReference(all, source.Rows(scaler.Footprint(all).left), bytes, scaler.DestWidth() * 4);
    else
        scaler.Scale(all, source.Rows(scaler.Footprint(all).left), bytes, scaler.DestWidth() * 4);
    return out;
}

// The fast rows equal the pixel-at-a-time reference, scaling up and down, to the desktops the
// game's screen meets (800 x 600 onto 1280 x 960 and 1440 x 1080) and to odd sizes.
TEST(ScreenScaler, FastRowsEqualTheReference)
{
    const struct
    {
        int w, h, dw, dh;
    } sizes[] = {{800, 600, 1280, 960}, {800, 600, 1440, 1080}, {1280, 1024, 960, 768},
                 {37, 21, 101, 77},     {3, 2, 7, 5},           {64, 48, 64, 48}};
    for (const auto& s : sizes)
    {
        Picture source(s.w, s.h, uint32_t(s.w * 31 + s.dw));
        ScreenScaler scaler;
        scaler.SetSizes(s.w, s.h, s.dw, s.dh);
        EXPECT_EQ(ScaleWhole(scaler, source, false), ScaleWhole(scaler, source, true))
            << s.w << "x" << s.h << " onto " << s.dw << "x" << s.dh;
    }
}

// Samples lie where a filtered texture takes them: destination x at ((x + 0.5) w / W - 0.5), the
// edges clamped. Black and white across two pixels, scaled to four: 0, a quarter, three quarters,
// all.
TEST(ScreenScaler, SamplesBetweenPixelCentresWithTheEdgesClamped)
{
    Picture source(2, 1, 0);
    source.pixels = {0xFF000000, 0xFFFFFFFF};
    ScreenScaler scaler;
    scaler.SetSizes(2, 1, 4, 1);
    std::vector<uint32_t> out = ScaleWhole(scaler, source, false);
    const std::vector<uint32_t> expected = {0xFF000000, 0xFF404040, 0xFFBFBFBF, 0xFFFFFFFF};
    EXPECT_EQ(out, expected);
}

// A change of a source rectangle reaches the destination only inside Reach, and scaling just
// Reach (from the changed source) gives the destination a whole scaling of the changed source
// gives: rectangle by rectangle, without seams.
TEST(ScreenScaler, ScalingWhatAChangeReachesEqualsScalingTheWhole)
{
    const int w = 800, h = 600, dw = 1280, dh = 960;
    ScreenScaler scaler;
    scaler.SetSizes(w, h, dw, dh);
    Picture before(w, h, 1), after = before;
    const SurfaceRect changes[] = {{0, 0, 1, 1},         {799, 599, 800, 600}, {100, 37, 101, 38},
                                   {320, 200, 480, 330}, {0, 300, 800, 301},   {13, 0, 14, 600}};
    std::vector<uint32_t> shown = ScaleWhole(scaler, before, false);
    std::mt19937 random(3);
    for (const SurfaceRect& c : changes)
    {
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                after.pixels[size_t(y) * size_t(w) + size_t(x)] = random();
        std::vector<uint32_t> whole = ScaleWhole(scaler, after, false);
        SurfaceRect reach = scaler.Reach(c);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x)
            {
                bool inside = x >= reach.left && x < reach.right && y >= reach.top && y < reach.bottom;
                size_t i = size_t(y) * size_t(dw) + size_t(x);
                if (!inside)
                {
                    ASSERT_EQ(whole[i], shown[i]) << "outside the reach at " << x << ", " << y;
                }
            }
        SurfaceRect foot = scaler.Footprint(reach);
        EXPECT_LE(foot.left, c.left);
        EXPECT_GE(foot.right, c.right);
        scaler.Scale(
            reach, after.Rows(foot.left),
            reinterpret_cast<uint8_t*>(shown.data() + size_t(reach.top) * size_t(dw) + size_t(reach.left)),
            dw * 4);
        ASSERT_EQ(shown, whole) << "after the change at " << c.left << ", " << c.top;
    }
}

} // namespace

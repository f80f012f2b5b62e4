#include "graphics/RotatedBlit.h"
#include "graphics/BlendRows.h"
#include "graphics/MemoryImage.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{

using namespace Kavo;

using GraphicsTest::MakePixels;
using GraphicsTest::Pixels;

// The rotated blit with the wide form allowed gives the plain rule's pixels: over destinations of
// opaque runs and any alpha, sources with transparent, opaque and translucent runs, in white,
// a colour, a colour with alpha and a fade, at angles that step the source point forwards,
// backwards and along one axis only, with the source rectangle and the clip cutting the runs.
TEST(RotatedBlit, TheWideFormGivesThePixelsOfThePlainRule)
{
    const Color colours[] = {Color::White, Color(200, 150, 100), Color(30, 255, 0, 140),
                             Color(255, 255, 255, 77)};
    const double angles[] = {0.0, 0.5, -2.3, M_PI / 2, M_PI, 3.9, 0.001};
    struct Place
    {
        float x, y, centerX, centerY;
        Rect srcRect, clip;
    } places[] = {
        {20.0f, 14.0f, 31.0f, 23.0f, Rect(0, 0, 62, 46), Rect(0, 0, 100, 80)},
        {-9.5f, 30.25f, 10.0f, 40.5f, Rect(0, 0, 62, 46), Rect(0, 0, 100, 80)},
        {41.75f, -3.125f, 20.0f, 25.0f, Rect(-7, 5, 60, 50), Rect(13, 9, 55, 61)},
        {40.0f, 30.0f, 7.0f, 20.0f, Rect(3, 2, 9, 40), Rect(0, 0, 100, 80)},
    };
    uint32_t seed = 1;
    for (const Color& colour : colours)
        for (double angle : angles)
            for (const Place& place : places)
            {
                ++seed;
                std::vector<uint32_t> source = MakePixels(62 * 46, seed, false);
                std::vector<uint32_t> dest = MakePixels(100 * 80, seed + 1000, true);
                MemoryImage src, plain, wide;
                src.SetBits(source.data(), 62, 46);
                plain.SetBits(dest.data(), 100, 80);
                wide.SetBits(dest.data(), 100, 80);
                BlendRows::AllowWideForms(false);
                plain.BltRotated(&src, place.x, place.y, place.srcRect, place.clip, colour, 0, angle,
                                 place.centerX, place.centerY);
                BlendRows::AllowWideForms(true);
                wide.BltRotated(&src, place.x, place.y, place.srcRect, place.clip, colour, 0, angle,
                                place.centerX, place.centerY);
                ASSERT_EQ(Pixels(wide), Pixels(plain)) << "colour " << colour.ToInt() << ", angle " << angle
                                                       << ", at " << place.x << ", " << place.y;
                ASSERT_NE(Pixels(plain), dest) << "nothing drawn at angle " << angle;
            }
}

} // namespace

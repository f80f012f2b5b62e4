#include "RasterTestSupport.h"
#include "ReferenceRasterizer.h"

#include "base/MersenneTwister.h"
#include "raster/RasterizerTable.h"
#include "raster/TriangleFillers.h"
#include "raster/TriangleRasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

using namespace Kavo;
using namespace Kavo::Testing;

namespace
{

struct IndexCase
{
    bool textured, vertexColors, modulate, blend, bilinear;
    int format;
    TriangleRasterizer expected;
};

// The triangle's height over its longest side, in pixels.
double Thickness(const RasterVertex (&c)[3])
{
    double x[3], y[3];
    for (int i = 0; i < 3; ++i)
    {
        x[i] = c[i].x / 65536.0;
        y[i] = c[i].y / 65536.0;
    }
    const double twiceArea = std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]));
    const double longest =
        std::max({std::hypot(x[1] - x[0], y[1] - y[0]), std::hypot(x[2] - x[1], y[2] - y[1]),
                  std::hypot(x[0] - x[2], y[0] - y[2])});
    return longest > 0 ? twiceArea / longest : 0;
}

} // namespace

TEST(RasterizerTable, DispatchPicksTheEntryOfFormatAndFlags)
{
    InitTriangleRasterizerTable();
    const IndexCase cases[] = {
        // Unknown format codes draw as 0x8888.
        {true, false, false, false, false, 0, Rasterize8888TexPoint},
        {true, false, false, false, false, 1, Rasterize8888TexPoint},
        {true, true, true, true, true, 0x8888, Rasterize8888TexBilinearBlendVertexColor},
        // The 32-bit groups share the plain textured fillers.
        {true, false, false, false, false, 0x888, Rasterize8888TexPoint},
        {true, false, false, false, true, 0x888, Rasterize8888TexBilinear},
        {true, false, true, false, false, 0x888, Rasterize888TexPointColor},
        {true, false, false, true, true, 0x565, Rasterize565TexBilinearBlend},
        {true, true, false, true, false, 0x555, Rasterize555TexPointBlendVertex},
        // Untextured: nothing without vertex colours, whatever else is set.
        {false, false, false, false, false, 0x8888, NullTriangleRasterizer},
        {false, false, true, true, true, 0x565, NullTriangleRasterizer},
        // Untextured with vertex colours ignores blend and smoothing.
        {false, true, false, false, false, 0x8888, Rasterize8888Gouraud},
        {false, true, false, true, true, 0x8888, Rasterize8888Gouraud},
        {false, true, true, false, true, 0x888, Rasterize888GouraudColor},
        {false, true, true, true, false, 0x555, Rasterize555GouraudColor},
    };
    for (const IndexCase& c : cases)
    {
        const int index =
            TriangleRasterizerIndex(c.textured, c.vertexColors, c.modulate, c.blend, c.bilinear, c.format);
        EXPECT_EQ(TriangleRasterizerTable[index], c.expected) << "index " << index;
    }
}

TEST(RasterizerTable, EmptyEntryDrawsNothing)
{
    InitTriangleRasterizerTable();
    TriangleRasterizer saved[kRasterTableSize];
    std::copy(std::begin(TriangleRasterizerTable), std::end(TriangleRasterizerTable), saved);
    std::fill(std::begin(TriangleRasterizerTable), std::end(TriangleRasterizerTable), nullptr);

    Surface surface(kRasterFormat8888, 2, 2);
    RasterVertex corners[3];
    SinglePixelTriangle(corners, 0, 0, 0xFFFFFFFF);
    const RasterColor white = {255, 255, 255, 255};
    DispatchTriangleRasterizer(false, true, false, false, corners, surface.Bits(), surface.Pitch(), nullptr,
                               &white, 0x8888, false);
    EXPECT_EQ(surface.Get(0, 0), 0u);

    std::copy(std::begin(saved), std::end(saved), TriangleRasterizerTable);
}

// Every entry of the table, on random triangles, textures, colours and destinations, gives the
// same pixels as the plain reference. Corners, texel alphas and colours are drawn from values
// around every threshold, and texture coordinates reach a little past the texture's edges.
TEST(RasterizerTable, EveryEntryMatchesTheReference)
{
    InitTriangleRasterizerTable();
    MersenneTwister random(20240611);
    auto below = [&](uint32_t n) { return random.Next() % n; };
    auto pick = [&](std::initializer_list<uint32_t> values)
    { return *(values.begin() + below(uint32_t(values.size()))); };
    auto channel = [&]() {
        return below(3) == 0 ? pick({0, 1, 7, 8, 9, 127, 128, 239, 240, 241, 254, 255}) : below(256);
    };

    constexpr int kWidth = 23, kHeight = 19, kTriangles = 120;
    for (int index = 0; index < kRasterTableSize; ++index)
    {
        const int format = GroupFormat(index / 32);
        for (int n = 0; n < kTriangles; ++n)
        {
            Texture texture(1 + int(below(6)), 1 + int(below(5)), 0);
            for (uint32_t& t : texture.texels)
                t = channel() << 24 | (random.Next() & 0xFFFFFF);
            const RasterTexture record = texture.Record();
            const RasterColor color = {int32_t(channel()), int32_t(channel()), int32_t(channel()),
                                       int32_t(channel())};

            RasterVertex corners[3];
            for (RasterVertex& c : corners)
            {
                // Some corners on whole pixels, as from integer positions.
                c.x = int32_t(below(kWidth << 16));
                c.y = int32_t(below(kHeight << 16));
                if (below(4) == 0) c.x &= ~0xFFFF;
                if (below(4) == 0) c.y &= ~0xFFFF;
                // Or a hair right of a whole pixel, under a corner a few 1/65536 to its side:
                // an edge nearly upright, where rounding strays furthest from the corners.
                if (&c == &corners[1] && below(2) == 0)
                {
                    c.x = (corners[0].x & ~0xFFFF) + int32_t(below(64));
                    corners[0].x = std::clamp(c.x + int32_t(below(600)) - 300, 0, (kWidth << 16) - 1);
                }
                c.a = int32_t(channel() << 16);
                c.r = int32_t(channel() << 16);
                c.g = int32_t(channel() << 16);
                c.b = int32_t(channel() << 16);
                c.u = int32_t(below(uint32_t(texture.width + 2) << 16)) - 0x10000;
                c.v = int32_t(below(uint32_t(texture.height + 2) << 16)) - 0x10000;
            }

            // Ordinary triangles only; slivers thinner than a twentieth of a pixel overflow the
            // set-up's arithmetic (where the strip driver tests take them up).
            if (Thickness(corners) < 0.05)
            {
                --n;
                continue;
            }

            // A pitch that is not a whole number of pixels drops the remainder.
            const int pixelBytes = format == kRasterFormat565 || format == kRasterFormat555 ? 2 : 4;
            Surface table(format, kWidth, kHeight, kWidth * pixelBytes + int(below(uint32_t(pixelBytes))));
            for (uint32_t& w : table.Words())
                w = below(2) ? random.Next() << 1 ^ random.Next()
                             : pick({0, 0xFFFFFFFF, 0xFF000000, 0x80808080});
            Surface reference = table;

            TriangleRasterizerTable[index](corners, table.Bits(), table.Pitch(), &record, &color);
            ReferenceRasterize(index, corners, reference.Bits(), reference.Pitch(), record, color);
            ASSERT_EQ(table.Words(), reference.Words()) << "table entry " << index << ", triangle " << n;
        }
    }
}

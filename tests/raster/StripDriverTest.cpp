#include "raster/TriangleRasterizer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Kavo;

TEST(StripDriver, FewerThanThreeVerticesDrawNothing)
{
    InitTriangleRasterizerTable();
    std::vector<uint32_t> pixels(16, 0x12345678);
    TriVertex strip[2] = {{0, 0, 0, 0, 0xFFFFFFFF}, {4, 4, 0, 0, 0xFFFFFFFF}};
    DrawClippedTriangleStrip(Rect(0, 0, 4, 4), Color::White, strip, 2, nullptr, pixels.data(), 16, 0x8888,
                             false, true);
    for (uint32_t p : pixels)
        EXPECT_EQ(p, 0x12345678u);
}

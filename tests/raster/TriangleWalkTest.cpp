// Which pixels a triangle covers: pixel centres at whole coordinates, a top-left fill rule.

#include "RasterTestSupport.h"

#include "raster/TriangleFillers.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kavo;
using namespace Kavo::Testing;

namespace
{

constexpr RasterColor kWhite = {255, 255, 255, 255};

RasterVertex Corner(double x, double y, uint32_t argb = 0xFFFFFFFF)
{
    return {int32_t(x * 65536),
            int32_t(y * 65536),
            int32_t((argb >> 24) & 0xFF) << 16,
            int32_t((argb >> 16) & 0xFF) << 16,
            int32_t((argb >> 8) & 0xFF) << 16,
            int32_t(argb & 0xFF) << 16,
            0,
            0};
}

// The 8 x 8 destination after drawing opaque white over black, one text row per pixel row.
std::string Coverage(const RasterVertex (&corners)[3])
{
    Surface surface(kRasterFormat8888, 8, 8);
    surface.Fill(0xFF000000);
    Rasterize8888Gouraud(corners, surface.Bits(), surface.Pitch(), nullptr, &kWhite);
    std::string picture;
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
            picture += surface.Get(x, y) == 0xFFFFFFFF ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

} // namespace

TEST(TriangleWalk, CoversPixelCentresWithATopLeftRule)
{
    struct CoverageCase
    {
        const char* what;
        RasterVertex corners[3];
        const char* picture;
    };
    const CoverageCase cases[] = {
        {"right angle: the corner pixel, not the far corners or the slanted edge",
         {Corner(2, 2), Corner(6, 2), Corner(2, 6)},
         "........\n"
         "........\n"
         "..####..\n"
         "..###...\n"
         "..##....\n"
         "..#.....\n"
         "........\n"
         "........\n"},
        {"flat top",
         {Corner(1, 1), Corner(5, 1), Corner(3, 4)},
         "........\n"
         ".####...\n"
         "..###...\n"
         "...#....\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"},
        {"flat bottom: the lone top corner's row has no width",
         {Corner(3, 1), Corner(1, 4), Corner(5, 4)},
         "........\n"
         "........\n"
         "...#....\n"
         "..###...\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"},
        {"corners in the same order drawn either way round",
         {Corner(5, 4), Corner(3, 1), Corner(1, 4)},
         "........\n"
         "........\n"
         "...#....\n"
         "..###...\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"},
        {"all corners between rows 3.25 and 3.75",
         {Corner(1, 3.25), Corner(6, 3.5), Corner(2, 3.75)},
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"},
        {"middle corner on the long edge",
         {Corner(1, 1), Corner(3, 3), Corner(5, 5)},
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"
         "........\n"},
    };
    for (const CoverageCase& c : cases)
        EXPECT_EQ(Coverage(c.corners), c.picture) << c.what;
}

// Two triangles that share an edge, drawn at alpha 128 over black: every pixel of the quad is
// blended exactly once, none twice and none skipped (each row of a convex quad is one run).
TEST(TriangleWalk, SharedEdgesAreDrawnOnce)
{
    struct Quad
    {
        double x[4], y[4]; // corners in order around the quad
    };
    const Quad quads[] = {
        {{1, 7, 8, 2}, {1, 2, 8, 7}},
        {{0.3, 6.7, 7.9, 1.2}, {0.6, 0.2, 7.3, 7.8}},
        {{3.5, 7.5, 4.5, 0.5}, {0.5, 3.5, 7.5, 4.5}},
        {{2.25, 5.75, 5.75, 2.25}, {0.1, 0.1, 7.9, 7.9}},
    };
    for (const Quad& q : quads)
    {
        Surface surface(kRasterFormat8888, 8, 8);
        surface.Fill(0xFF000000);
        const RasterVertex first[3] = {Corner(q.x[0], q.y[0], 0x80FFFFFF), Corner(q.x[1], q.y[1], 0x80FFFFFF),
                                       Corner(q.x[2], q.y[2], 0x80FFFFFF)};
        const RasterVertex second[3] = {Corner(q.x[0], q.y[0], 0x80FFFFFF),
                                        Corner(q.x[2], q.y[2], 0x80FFFFFF),
                                        Corner(q.x[3], q.y[3], 0x80FFFFFF)};
        Rasterize8888Gouraud(first, surface.Bits(), surface.Pitch(), nullptr, &kWhite);
        Rasterize8888Gouraud(second, surface.Bits(), surface.Pitch(), nullptr, &kWhite);
        for (int y = 0; y < 8; ++y)
        {
            std::string row;
            for (int x = 0; x < 8; ++x)
            {
                const uint32_t p = surface.Get(x, y);
                ASSERT_TRUE(p == 0xFF000000 || p == 0xFF7F7F7F)
                    << "pixel " << x << ", " << y << " drawn twice";
                row += p == 0xFF7F7F7F ? '#' : '.';
            }
            const size_t first = row.find('#');
            const size_t last = row.rfind('#');
            if (first == std::string::npos) continue;
            EXPECT_EQ(row.find('.', first), last == 7 ? std::string::npos : last + 1)
                << "a gap in row " << y << ": " << row;
        }
    }
}

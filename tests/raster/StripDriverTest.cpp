#include "RasterTestSupport.h"

#include "base/MersenneTwister.h"
#include "raster/TriangleRasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Kavo;
using namespace Kavo::Testing;

namespace
{

RasterSourceImage Source(const Texture& texture, bool hasTrans = false, bool hasAlpha = false)
{
    return {texture.width, texture.height, texture.texels.data(), hasTrans, hasAlpha};
}

void Draw(Surface& surface, const Rect& clip, const Color& color, const std::vector<TriVertex>& strip,
          const RasterSourceImage* source, bool smoothing, bool vertexColors)
{
    DrawClippedTriangleStrip(clip, color, strip.data(), int(strip.size()), source, surface.Bits(),
                             surface.Pitch(), surface.Format(), smoothing, vertexColors);
}

// Every pixel outside clip still holds fill.
void ExpectUntouchedOutside(const Surface& surface, const Rect& clip, uint32_t fill, const char* what)
{
    for (int y = 0; y < surface.Height(); ++y)
    {
        for (int x = 0; x < surface.Width(); ++x)
        {
            if (clip.Contains(x, y)) continue;
            ASSERT_EQ(surface.Get(x, y), fill) << what << ": pixel " << x << ", " << y << " outside the clip";
        }
    }
}

} // namespace

TEST(StripDriver, FewerThanThreeVerticesDrawNothing)
{
    InitTriangleRasterizerTable();
    Surface surface(kRasterFormat8888, 4, 4);
    Draw(surface, Rect(0, 0, 4, 4), Color::White, {{0, 0, 0, 0, 0xFFFFFFFF}, {4, 4, 0, 0, 0xFFFFFFFF}},
         nullptr, false, true);
    EXPECT_EQ(surface.Words(), Surface(kRasterFormat8888, 4, 4).Words());
}

// Each vertex after the first two makes a triangle with the two before it: five vertices draw
// (V0, V1, V2), (V1, V3, V2) and (V2, V3, V4). At alpha 128 a pixel drawn twice would show.
TEST(StripDriver, StripOfFiveIsThreeTriangles)
{
    InitTriangleRasterizerTable();
    const uint32_t c = 0x80FFFFFF;
    const std::vector<TriVertex> v = {
        {1, 1, 0, 0, c}, {2, 9, 0, 0, c}, {6, 0, 0, 0, c}, {8, 10, 0, 0, c}, {13, 2, 0, 0, c}};
    const Rect clip(0, 0, 16, 12);
    Surface strip(kRasterFormat8888, 16, 12);
    strip.Fill(0xFF000000);
    Surface separate = strip;
    Draw(strip, clip, Color::White, v, nullptr, false, true);
    Draw(separate, clip, Color::White, {v[0], v[1], v[2]}, nullptr, false, true);
    Draw(separate, clip, Color::White, {v[1], v[3], v[2]}, nullptr, false, true);
    Draw(separate, clip, Color::White, {v[2], v[3], v[4]}, nullptr, false, true);
    EXPECT_EQ(strip.Words(), separate.Words());
    for (uint32_t p : strip.Words())
        EXPECT_TRUE(p == 0xFF000000 || p == 0xFF7F7F7F);
}

// A quad larger than the clip rectangle fills it but for its last column and row, which lie on
// the clipped quad's right and bottom edges.
TEST(StripDriver, QuadIsClippedToTheRectangle)
{
    InitTriangleRasterizerTable();
    const Rect clip(2, 1, 5, 4);
    Surface surface(kRasterFormat888, 10, 8);
    const std::vector<TriVertex> quad = {{-3, -2, 0, 0, 0xFFFFFFFF},
                                         {12, -2, 0, 0, 0xFFFFFFFF},
                                         {-3, 9, 0, 0, 0xFFFFFFFF},
                                         {12, 9, 0, 0, 0xFFFFFFFF}};
    Draw(surface, clip, Color::White, quad, nullptr, false, true);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(surface.Get(x, y), x >= 2 && x <= 5 && y >= 1 && y <= 3 ? 0xFFFFFFFFu : 0u)
                << x << ", " << y;
}

// u and v are fractions of the texture's size: a 2 x 2 texture over a 4 x 4 quad gives each
// texel a 2 x 2 block when point-sampled.
TEST(StripDriver, TextureCoordinatesSpanTheTexture)
{
    InitTriangleRasterizerTable();
    Texture texture(2, 2, 0);
    texture.texels = {0xFF110000, 0xFF002200, 0xFF000033, 0xFF444444};
    const RasterSourceImage source = Source(texture);
    Surface surface(kRasterFormat8888, 5, 5);
    const std::vector<TriVertex> quad = {{0, 0, 0, 0}, {4, 0, 1, 0}, {0, 4, 0, 1}, {4, 4, 1, 1}};
    Draw(surface, Rect(0, 0, 5, 5), Color::White, quad, &source, false, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(surface.Get(x, y), texture.texels[(y / 2) * 2 + x / 2]) << x << ", " << y;
}

// The options a strip is drawn with: white is no colour (alpha 254 is a colour), a texture
// flagged with transparent or partly transparent texels blends, and so does smoothing; vertex
// colours count only when asked for.
TEST(StripDriver, OptionsComeFromColourTextureAndFlags)
{
    InitTriangleRasterizerTable();
    struct OptionCase
    {
        const char* what;
        Color color;
        uint32_t texel; // 0: untextured
        bool hasTrans, hasAlpha, smoothing, vertexColors;
        uint32_t expected;
    };
    const OptionCase cases[] = {
        {"white does not modulate", Color::White, 0xFFFFFFFF, false, false, false, false, 0xFFFFFFFF},
        {"alpha 254 modulates", Color(255, 255, 255, 254), 0xFFFFFFFF, false, false, false, false,
         0xFFFEFEFE},
        {"unflagged transparent texel is written", Color::White, 0x00123456, false, false, false, false,
         0xFF123456},
        {"transparent texels skip", Color::White, 0x00123456, true, false, false, false, 0xFF0000FF},
        {"partly transparent texels blend", Color::White, 0x80FFFFFF, false, true, false, false, 0xFF7F7FFE},
        {"smoothing blends and filters", Color::White, 0x00123456, false, false, true, false, 0xFF0000FF},
        {"vertex colours", Color::White, 0xFFFFFFFF, false, false, false, true, 0xFF3F7FBE},
        {"no texture, no vertex colours: nothing", Color::White, 0, false, false, false, false, 0xFF0000FF},
        {"no texture, vertex colours", Color::White, 0, false, false, false, true, 0xFF4080BF},
    };
    for (const OptionCase& c : cases)
    {
        const Texture texture(1, 1, c.texel);
        const RasterSourceImage source = Source(texture, c.hasTrans, c.hasAlpha);
        Surface surface(kRasterFormat8888, 3, 3);
        surface.Fill(0xFF0000FF);
        const uint32_t vc = 0xFF4080BF;
        Draw(surface, Rect(0, 0, 3, 3), c.color,
             {{0, 0, 0.5f, 0.5f, vc}, {3, 0, 0.5f, 0.5f, vc}, {0, 3, 0.5f, 0.5f, vc}},
             c.texel ? &source : nullptr, c.smoothing, c.vertexColors);
        EXPECT_EQ(surface.Get(0, 0), c.expected) << c.what;
    }
}

// A triangle cut into a polygon of several corners is drawn as a fan; with vertex colours and a
// constant colour every fan triangle starts from the same corner colours.
TEST(StripDriver, FanTrianglesShareTheirCornerColours)
{
    InitTriangleRasterizerTable();
    const Rect clip(2, 2, 12, 9);
    Surface surface(kRasterFormat8888, 16, 12);
    const uint32_t c = 0xFFFFFFFF;
    Draw(surface, clip, Color(200, 100, 50, 255), {{-1, 5, 0, 0, c}, {9, -3, 0, 0, c}, {18, 14, 0, 0, c}},
         nullptr, false, true);
    EXPECT_EQ(surface.Get(8, 6), 0xFFC76331u);
    for (uint32_t p : surface.Words())
        EXPECT_TRUE(p == 0 || p == 0xFFC76331u);
}

namespace
{

// The option sets the degenerate cases are drawn with.
struct DrawOptions
{
    const char* what;
    bool textured, hasAlpha, smoothing, vertexColors;
    Color color;
};

const DrawOptions kOptions[] = {
    {"vertex colours", false, false, false, true, Color::White},
    {"vertex colours times a colour", false, false, false, true, Color(100, 200, 50, 128)},
    {"texture", true, false, false, false, Color::White},
    {"texture times a colour", true, false, false, false, Color(90, 80, 70, 60)},
    {"blended texture, vertex colours", true, true, false, true, Color::White},
    {"smoothed texture, vertex colours, colour", true, true, true, true, Color(255, 0, 255, 200)},
};

} // namespace

// Slivers thinner than a row or narrower than a pixel overflow the slopes of the fixed-point
// walk, and corners far outside lose their crossings to rounding. None of them writes outside
// the clip rectangle, in any format, with any options.
TEST(StripDriver, SliversStayInsideTheClip)
{
    InitTriangleRasterizerTable();
    MersenneTwister random(7);
    auto uniform = [&](float low, float high)
    { return low + (high - low) * float(random.Next() % 1000001) / 1e6f; };

    // A few 1/65536 of a pixel above and below row 13 (16.16 positions are truncated).
    const float above = 13 - 3 / 65536.0f, below = 13 + 3 / 65536.0f;
    std::vector<std::vector<TriVertex>> triangles = {
        {{10.3f, above}, {29.7f, below}, {11, 13}},
        {{-15, above}, {50, 13}, {45, below}},
        {{8.5f, 9.0f}, {27.5f, 21.0f}, {18.0f, 15.000001f}},
        {{-1e6f, 10}, {1e6f, 10.00001f}, {0, 9.99999f}},
        {{1e30f, 12}, {-1e30f, 13}, {15, 1e30f}},
        {{3e38f, -3e38f}, {-3e38f, 3e38f}, {12, 12}},
        {{-3e38f, 10}, {3e38f, 10.5f}, {20, 11}},
    };
    for (int n = 0; n < 300; ++n)
    {
        const float ax = uniform(-20, 60), ay = uniform(-20, 50), bx = uniform(-20, 60),
                    by = uniform(-20, 50);
        const float t = uniform(0, 1), offset = uniform(-1e-3f, 1e-3f);
        const float row = float(int(uniform(-2, 30)));
        const float up = uniform(1, 40) / 65536.0f, down = uniform(1, 40) / 65536.0f;
        switch (n % 3)
        {
        case 0: // a hair off the line through two corners
            triangles.push_back(
                {{ax, ay}, {bx, by}, {ax + (bx - ax) * t + offset, ay + (by - ay) * t - offset}});
            break;
        case 1: // all three corners within a hair of a row boundary
            triangles.push_back(
                {{ax, row - up}, {bx, row + down}, {uniform(-20, 60), row + (down - up) * t}});
            break;
        default: // one half a hair high, the other tall
            triangles.push_back({{ax, row - up}, {bx, row + down}, {uniform(-20, 60), by}});
            break;
        }
    }

    const Rect clip(8, 6, 20, 16);
    Texture texture(4, 4, 0);
    for (uint32_t& texel : texture.texels)
        texel = random.Next() << 1 ^ random.Next();
    for (int group = 0; group < 4; ++group)
    {
        for (const DrawOptions& o : kOptions)
        {
            const RasterSourceImage source = Source(texture, false, o.hasAlpha);
            Surface surface(GroupFormat(group), 40, 32);
            surface.Fill(0x5A5A5A5A);
            const uint32_t fill = surface.Get(0, 0);
            for (std::vector<TriVertex> triangle : triangles)
            {
                for (TriVertex& c : triangle)
                {
                    c.u = uniform(-0.5f, 1.5f);
                    c.v = uniform(-0.5f, 1.5f);
                    c.color = random.Next() << 1 ^ random.Next();
                }
                Draw(surface, clip, o.color, triangle, o.textured ? &source : nullptr, o.smoothing,
                     o.vertexColors);
            }
            ExpectUntouchedOutside(surface, clip, fill, o.what);
        }
    }
}

// A corner whose position is not a finite number has no place: its triangle is dropped, and the
// strip's other triangles are drawn. Texture coordinates that are not numbers read some texel.
TEST(StripDriver, CornersThatAreNotNumbersDropTheirTriangle)
{
    InitTriangleRasterizerTable();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Rect clip(2, 2, 12, 10);
    const Texture texture(2, 2, 0xFF336699);
    const RasterSourceImage source = Source(texture);
    for (float bad : {nan, inf, -inf})
    {
        for (int corner = 0; corner < 3; ++corner)
        {
            for (int axis = 0; axis < 2; ++axis)
            {
                for (int group = 0; group < 4; ++group)
                {
                    for (const DrawOptions& o : kOptions)
                    {
                        Surface surface(GroupFormat(group), 16, 14);
                        // The second triangle (V1, V3, V2) lies wholly in the clip's lower half.
                        std::vector<TriVertex> strip = {{3, 3, 0, 0, 0xFFFFFFFF},
                                                        {13, 6, 1, 0, 0xFFFFFFFF},
                                                        {3, 8, 0, 1, 0xFFFFFFFF},
                                                        {13, 11, 1, 1, 0xFFFFFFFF}};
                        (axis ? strip[corner].y : strip[corner].x) = bad;
                        if (corner == 0) strip[3].u = nan;
                        Draw(surface, clip, o.color, strip, o.textured ? &source : nullptr, o.smoothing,
                             o.vertexColors);
                        ExpectUntouchedOutside(surface, clip, 0, o.what);
                        for (int y = 2; y < 5; ++y)
                            ASSERT_EQ(surface.Get(8, y), 0u) << o.what << ": the first triangle is drawn";
                        if (corner == 0)
                        {
                            EXPECT_NE(surface.Get(9, 9), 0u) << o.what << ": the second is not";
                        }
                    }
                }
            }
        }
    }
}

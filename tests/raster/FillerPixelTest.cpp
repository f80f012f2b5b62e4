// Exact pixels of every filler family in every destination format, one covered pixel at a time.

#include "RasterTestSupport.h"

#include "raster/RasterizerTable.h"
#include "raster/TriangleRasterizer.h"

#include <gtest/gtest.h>

using namespace Kavo;
using namespace Kavo::Testing;

namespace
{

// Table groups: 0 is 0x8888, 32 is 0x888, 64 is 0x565, 96 is 0x555.
enum : int
{
    k8888 = 0,
    k888 = 32,
    k565 = 64,
    k555 = 96,
    kGouraud = 4,
    kGouraudColor = 6,
    kTexPoint = 16,
    kTexBilinear = 17,
    kTexPointColor = 18,
    kTexBilinearColor = 19,
    kTexPointVertex = 20,
    kTexBilinearVertex = 21,
    kTexPointVertexColor = 22,
    kTexBilinearVertexColor = 23,
    kTexPointBlend = 24,
    kTexBilinearBlend = 25,
    kTexPointBlendColor = 26,
    kTexBilinearBlendColor = 27,
    kTexPointBlendVertex = 28,
    kTexBilinearBlendVertex = 29,
    kTexPointBlendVertexColor = 30,
    kTexBilinearBlendVertexColor = 31,
};

constexpr RasterColor kWhite = {255, 255, 255, 255};

struct PixelCase
{
    const char* what;
    int index;
    uint32_t dest;
    uint32_t texel; // fills the whole texture
    uint32_t expected;
    uint32_t vertex = 0xFFFFFFFF; // every corner's colour, 0xAARRGGBB
    RasterColor color = kWhite;   // a, r, g, b
    int texWidth = 1;
    int texHeight = 1;
    int32_t u = 0x8000; // the centre of texel (0, 0)
    int32_t v = 0x8000;
};

// Draws a triangle that covers pixel (0, 0) alone and returns that pixel; the other pixels of
// the 2 x 2 destination must not change.
uint32_t DrawPixel(const PixelCase& c)
{
    const int format = GroupFormat(c.index / 32);
    Surface surface(format, 2, 2);
    surface.Fill(c.dest);
    const Texture texture(c.texWidth, c.texHeight, c.texel);
    const RasterTexture record = texture.Record();
    RasterVertex corners[3];
    SinglePixelTriangle(corners, c.u, c.v, c.vertex);
    TriangleRasterizerTable[c.index](corners, surface.Bits(), surface.Pitch(), &record, &c.color);
    EXPECT_EQ(surface.Get(1, 0), c.dest) << c.what;
    EXPECT_EQ(surface.Get(0, 1), c.dest) << c.what;
    EXPECT_EQ(surface.Get(1, 1), c.dest) << c.what;
    return surface.Get(0, 0);
}

void CheckCases(std::initializer_list<PixelCase> cases)
{
    InitTriangleRasterizerTable();
    for (const PixelCase& c : cases)
        EXPECT_EQ(DrawPixel(c), c.expected) << c.what << std::hex << " (got 0x" << DrawPixel(c) << ")";
}

} // namespace

TEST(FillerPixels, UntexturedVertexColors)
{
    CheckCases({
        {"opaque corners write the colour", k8888 + kGouraud, 0x12345678, 0, 0xFF102030, 0xFF102030},
        {"alpha 8 leaves the pixel", k8888 + kGouraud, 0x12345678, 0, 0x12345678, 0x08FFFFFF},
        {"alpha 240 blends", k8888 + kGouraud, 0xFF000000, 0, 0xFFEFEFEF, 0xF0FFFFFF},
        {"alpha 128 over alpha 0 keeps 127", k8888 + kGouraud, 0x00000000, 0, 0x7FFEFEFE, 0x80FFFFFF},
        {"alpha 128 over alpha 255 keeps 255", k8888 + kGouraud, 0xFF000000, 0, 0xFF7F7F7F, 0x80FFFFFF},
        {"0x888 white over black", k888 + kGouraud, 0xFF000000, 0, 0xFF7F7F7F, 0x80FFFFFF},
        {"0x888 white over white", k888 + kGouraud, 0x00FFFFFF, 0, 0xFFFDFDFD, 0x80FFFFFF},
        {"colour scales the corners",
         k8888 + kGouraudColor,
         0,
         0,
         0xFFFE00FE,
         0xFFFFFFFF,
         {255, 255, 0, 255}},
        {"0x565 opaque", k565 + kGouraud, 0x0000, 0, 0xFFFF},
        {"0x565 white at 128 over black", k565 + kGouraud, 0x0000, 0, 0x7BEF, 0x80FFFFFF},
        {"0x555 opaque clears bit 15", k555 + kGouraud, 0xFFFF, 0, 0x7FFF},
        {"0x555 black at 128 over white", k555 + kGouraud, 0xFFFF, 0, 0x39CE, 0x80000000},
    });
}

TEST(FillerPixels, TexturedPlainAndColour)
{
    CheckCases({
        {"bilinear white at a texel centre", k8888 + kTexBilinear, 0, 0xFFFFFFFF, 0xFFFDFDFD},
        {"0x888 shares the 32-bit filler", k888 + kTexBilinear, 0, 0xFFFFFFFF, 0xFFFDFDFD},
        {"bilinear white between four centres", k8888 + kTexBilinear, 0, 0xFFFFFFFF, 0xFFFBFBFB, 0xFFFFFFFF,
         kWhite, 2, 2, 0x10000, 0x10000},
        {"0x565 bilinear centre", k565 + kTexBilinear, 0, 0xFFFFFFFF, 0xFFFF},
        {"0x555 bilinear centre", k555 + kTexBilinear, 0x8000, 0xFFFFFFFF, 0x7FFF},
        {"0x565 bilinear between centres", k565 + kTexBilinear, 0, 0xFFFFFFFF, 0xFFDF, 0xFFFFFFFF, kWhite, 2,
         2, 0x10000, 0x10000},
        {"point writes a transparent texel opaque", k8888 + kTexPoint, 0, 0x00123456, 0xFF123456},
        {"bilinear of transparent texels is black", k8888 + kTexBilinear, 0, 0x00123456, 0xFF000000},
        {"a row past the texture reads black", k8888 + kTexPoint, 0x12345678, 0xFFFFFFFF, 0xFF000000,
         0xFFFFFFFF, kWhite, 1, 1, 0x8000, 0x18000},
        {"0x565 row past the texture", k565 + kTexPoint, 0x1234, 0xFFFFFFFF, 0x0000, 0xFFFFFFFF, kWhite, 1, 1,
         0x8000, 0x18000},
        {"colour alpha 241 is opaque",
         k8888 + kTexPointColor,
         0,
         0xFFFFFFFF,
         0xFFFEFEFE,
         0,
         {241, 255, 255, 255}},
        {"colour alpha 240 blends by 239",
         k8888 + kTexPointColor,
         0xFF000000,
         0xFFFFFFFF,
         0xFFEDEDED,
         0,
         {240, 255, 255, 255}},
        {"colour alpha 0 still rewrites",
         k8888 + kTexPointColor,
         0xFFFFFFFF,
         0xFFFFFFFF,
         0xFEFEFEFE,
         0,
         {0, 255, 255, 255}},
        {"0x888 colour alpha 0",
         k888 + kTexPointColor,
         0xFFFFFFFF,
         0xFFFFFFFF,
         0xFFFEFEFE,
         0,
         {0, 255, 255, 255}},
        {"0x565 colour alpha 0", k565 + kTexPointColor, 0xFFFF, 0xFFFFFFFF, 0xF7BE, 0, {0, 255, 255, 255}},
        {"0x555 colour alpha 0", k555 + kTexPointColor, 0x7FFF, 0xFFFFFFFF, 0x7BDE, 0, {0, 255, 255, 255}},
        // Bilinear: the filtered 253 times K, then times K_a, also when written opaque.
        {"bilinear colour is scaled by its alpha when opaque",
         k8888 + kTexBilinearColor,
         0,
         0xFFFFFFFF,
         0xFF7DFBFB,
         0,
         {255, 128, 255, 255}},
        {"0x565 bilinear colour alpha 128 over white",
         k565 + kTexBilinearColor,
         0xFFFF,
         0xFFFFFFFF,
         0xF7DE,
         0,
         {128, 255, 255, 255}},
        {"colour alpha 128 over nothing",
         k8888 + kTexPointColor,
         0,
         0xFFFFFFFF,
         0x7EFDFDFD,
         0,
         {128, 255, 255, 255}},
    });
}

TEST(FillerPixels, TexturedVertexColors)
{
    CheckCases({
        {"white times white is 254", k8888 + kTexPointVertex, 0, 0xFFFFFFFF, 0xFFFEFEFE},
        {"bilinear premultiplies by the vertex alpha", k8888 + kTexBilinearVertex, 0, 0xFFFFFFFF, 0xFFFBFBFB},
        {"a transparent texel is drawn with its colour", k8888 + kTexPointVertex, 0, 0x00123456, 0xFF113355},
        {"0x888 vertex alpha 128 over black", k888 + kTexPointVertex, 0xFF000000, 0xFFFFFFFF, 0xFF7E7E7E,
         0x80FFFFFF},
        {"vertex alpha 128 over black", k8888 + kTexPointVertex, 0xFF000000, 0xFFFFFFFF, 0xFF7E7E7E,
         0x80FFFFFF},
        {"vertex alpha 128 over nothing", k8888 + kTexPointVertex, 0, 0xFFFFFFFF, 0x7EFDFDFD, 0x80FFFFFF},
        {"0x888 vertex alpha 0", k888 + kTexPointVertex, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFEFEFE, 0x00FFFFFF},
        {"0x565 vertex alpha 0", k565 + kTexPointVertex, 0xFFFF, 0xFFFFFFFF, 0xF7BE, 0x00FFFFFF},
        {"0x555 vertex alpha 0", k555 + kTexPointVertex, 0x7FFF, 0xFFFFFFFF, 0x7BDE, 0x00FFFFFF},
        {"0x8888 vertex alpha 0", k8888 + kTexPointVertex, 0xFFFFFFFF, 0xFFFFFFFF, 0xFEFEFEFE, 0x00FFFFFF},
        {"the colour enters twice",
         k888 + kTexPointVertexColor,
         0xFF000000,
         0xFFFFFFFF,
         0xFF0F0F0F,
         0xFFFFFFFF,
         {128, 128, 128, 128}},
        {"0x555 opaque keeps bit 15 clear", k555 + kTexPointVertex, 0xFFFF, 0xFFFFFFFF, 0x7FFF},
        // Factors: alpha and red 63, green and blue 253. The filtered 253 becomes 62 (red) and
        // 250, premultiplied by 63 to 15 and 61; alpha 62.
        {"bilinear, the colour entering twice",
         k8888 + kTexBilinearVertexColor,
         0xFF000000,
         0xFFFFFFFF,
         0xFF0F3D3D,
         0xFFFFFFFF,
         {128, 128, 255, 255}},
    });
}

TEST(FillerPixels, TexturedBlend)
{
    CheckCases({
        {"texel alpha 8 is skipped", k8888 + kTexPointBlend, 0x12345678, 0x08FFFFFF, 0x12345678},
        {"texel alpha 9 blends", k8888 + kTexPointBlend, 0xFF000000, 0x09FFFFFF, 0xFF080808},
        {"texel alpha 240 is opaque", k8888 + kTexPointBlend, 0, 0xF0123456, 0xFF123456},
        {"white at 128 over nothing", k8888 + kTexPointBlend, 0, 0x80FFFFFF, 0x7FFEFEFE},
        {"white at 128 over black", k8888 + kTexPointBlend, 0xFF000000, 0x80FFFFFF, 0xFF7F7F7F},
        {"black at 128 over white", k8888 + kTexPointBlend, 0xFFFFFFFF, 0x80000000, 0xFF7F7F7F},
        {"red over half-transparent blue", k8888 + kTexPointBlend, 0x800000FF, 0x80FF0000, 0xBFA90054},
        {"0x888 white over black", k888 + kTexPointBlend, 0xFF000000, 0x80FFFFFF, 0xFF7F7F7F},
        {"0x888 ignores the destination alpha", k888 + kTexPointBlend, 0x00FFFFFF, 0x80000000, 0xFF7E7E7E},
        {"0x565 black over white", k565 + kTexPointBlend, 0xFFFF, 0x80000000, 0x73AE},
        {"0x565 white over black", k565 + kTexPointBlend, 0x0000, 0x80FFFFFF, 0x7BEF},
        {"0x565 opaque white", k565 + kTexPointBlend, 0x0000, 0xF0FFFFFF, 0xFFFF},
        {"0x555 black over white", k555 + kTexPointBlend, 0x7FFF, 0x80000000, 0x39CE},
        {"0x555 white over white clears bit 15", k555 + kTexPointBlend, 0xFFFF, 0x80FFFFFF, 0x77BD},
        {"0x555 opaque white", k555 + kTexPointBlend, 0x0000, 0xF0FFFFFF, 0x7FFF},
        {"colour alpha 128",
         k8888 + kTexPointBlendColor,
         0xFF000000,
         0xFFFFFFFF,
         0xFF7E7E7E,
         0,
         {128, 255, 255, 255}},
        {"colour alpha 0 is not skipped",
         k8888 + kTexPointBlendColor,
         0x64FF8040,
         0xC8FFFFFF,
         0x63FD8040,
         0,
         {0, 255, 255, 255}},
        // Filtered 126 of alpha 127; alpha (200 x 127) >> 8 = 99; red and blue 97, green 49.
        {"0x888 bilinear colour over white",
         k888 + kTexBilinearBlendColor,
         0xFFFFFFFF,
         0x80FFFFFF,
         0xFFFCCCFC,
         0,
         {200, 255, 128, 255}},
        {"0x888 colour alpha 0",
         k888 + kTexPointBlendColor,
         0xFFFFFFFF,
         0xC8FFFFFF,
         0xFFFEFEFE,
         0,
         {0, 255, 255, 255}},
    });
}

TEST(FillerPixels, TexturedBlendVertexColors)
{
    CheckCases({
        {"white vertices darken one step", k8888 + kTexPointBlendVertex, 0, 0xFF804020, 0xFF7F3F1F},
        {"texel alpha 241 is opaque", k8888 + kTexPointBlendVertex, 0, 0xF1FFFFFF, 0xFFFEFEFE},
        {"texel alpha 240 blends by 239", k8888 + kTexPointBlendVertex, 0xFF000000, 0xF0FFFFFF, 0xFFEDEDED},
        {"texel alpha 8 is skipped", k8888 + kTexPointBlendVertex, 0x12345678, 0x08FFFFFF, 0x12345678},
        {"texel alpha 9 under vertex alpha 0 rewrites", k8888 + kTexPointBlendVertex, 0xFFFFFFFF, 0x09FFFFFF,
         0xFEFEFEFE, 0x00FFFFFF},
        {"0x888 vertex alpha 0", k888 + kTexPointBlendVertex, 0xFFFFFFFF, 0xC8FFFFFF, 0xFFFEFEFE, 0x00FFFFFF},
        {"vertex alpha 0 over half-transparent white", k8888 + kTexPointBlendVertex, 0x80FFFFFF, 0xC8FFFFFF,
         0x7FFEFEFE, 0x00FFFFFF},
        {"0x565 vertex alpha 0", k565 + kTexPointBlendVertex, 0xFFFF, 0xC8FFFFFF, 0xF7BE, 0x00FFFFFF},
        {"0x555 vertex alpha 0", k555 + kTexPointBlendVertex, 0x7FFF, 0xC8FFFFFF, 0x7BDE, 0x00FFFFFF},
        {"0x555 bilinear opaque", k555 + kTexBilinearBlendVertex, 0x0000, 0xFFFFFFFF, 0x7FFF},
        {"outside the texture is skipped", k8888 + kTexPointBlendVertex, 0x12345678, 0xFFFFFFFF, 0x12345678,
         0xFFFFFFFF, kWhite, 1, 1, 0x8000, 0x18000},
        {"without blending it is written", k8888 + kTexPointVertex, 0x12345678, 0xFFFFFFFF, 0xFF000000,
         0xFFFFFFFF, kWhite, 1, 1, 0x8000, 0x18000},
        {"colour alpha 128 blends by 62",
         k8888 + kTexPointBlendVertexColor,
         0xFF000000,
         0xFFFFFFFF,
         0xFF3D3D3D,
         0xFFFFFFFF,
         {128, 255, 255, 255}},
        // 61 premultiplied by the factor 63 and alpha 62 over nothing: outA 62, (256 x 61) / 62.
        {"bilinear colour alpha 128 over nothing",
         k8888 + kTexBilinearBlendVertexColor,
         0,
         0xFFFFFFFF,
         0x3DFBFBFB,
         0xFFFFFFFF,
         {128, 255, 255, 255}},
    });
}

// Texture addressing: only the linear index is bounded, so the filter's right neighbour of a
// row's last texel is the next row's first, the left neighbour of a row's first texel is the
// previous row's last, and a u just below 0 is column 65535.
TEST(FillerPixels, TexelsAreAddressedByTheirLinearIndex)
{
    InitTriangleRasterizerTable();
    // Opaque black but for one white texel: texel 2 (the first of row 1) or texel 1 (the last of
    // row 0); and all white.
    Texture whiteAt2(2, 2, 0xFF000000);
    whiteAt2.texels[2] = 0xFFFFFFFF;
    Texture whiteAt1(2, 2, 0xFF000000);
    whiteAt1.texels[1] = 0xFFFFFFFF;
    const Texture white(2, 2, 0xFFFFFFFF);
    // One texel wide and 65537 high, so that column 65535 of row 0 is texel 65535.
    Texture tall(1, 65537, 0xFF000000);
    tall.texels[65535] = 0xFF123456;

    struct AddressCase
    {
        const char* what;
        const Texture& texture;
        int index;
        int32_t u, v;
        uint32_t expected;
    };
    const AddressCase cases[] = {
        // Half-way past the last centre of row 0: the right neighbour (texel 2) weighs half.
        {"right neighbour in the next row", whiteAt2, k8888 + kTexBilinear, 0x20000, 0x8000, 0xFF7E7E7E},
        // A quarter texel into row 1: the left neighbour (texel 1) weighs a quarter.
        {"left neighbour in the previous row", whiteAt1, k8888 + kTexBilinear, 0x4000, 0x18000, 0xFF3E3E3E},
        // A quarter texel into row 0: the left neighbour lies before the texture and weighs nothing.
        {"left of the first texel", white, k8888 + kTexBilinear, 0x4000, 0x8000, 0xFFBEBEBE},
        {"u just below 0 reads column 65535", tall, k8888 + kTexPoint, -1, 0, 0xFF123456},
    };
    for (const AddressCase& c : cases)
    {
        const RasterTexture record = c.texture.Record();
        Surface surface(kRasterFormat8888, 2, 2);
        RasterVertex corners[3];
        SinglePixelTriangle(corners, c.u, c.v, 0xFFFFFFFF);
        TriangleRasterizerTable[c.index](corners, surface.Bits(), surface.Pitch(), &record, &kWhite);
        EXPECT_EQ(surface.Get(0, 0), c.expected) << c.what;
    }
}

// The composite over a destination with its own alpha has no value where neither side has any
// alpha, and can come out a step above 255 where the source is premultiplied by a little more
// than the alpha it blends with. Such pixels stay as they are, and such channels stop at 255.
TEST(FillerPixels, CompositeOverTransparentPixelsStaysInRange)
{
    CheckCases({
        {"colour alpha 0 over alpha 0 leaves the pixel",
         k8888 + kTexPointBlendColor,
         0x00123456,
         0xC8FFFFFF,
         0x00123456,
         0,
         {0, 255, 255, 255}},
        {"vertex alpha 0 over alpha 0 leaves the pixel", k8888 + kTexPointVertex, 0x00123456, 0xFFFFFFFF,
         0x00123456, 0x00FFFFFF},
        {"bilinear vertex alpha 64 over alpha 0 stops at 255", k8888 + kTexBilinearBlendVertex, 0x00000000,
         0xFFFFFFFF, 0x3EFFFFFF, 0x40FFFFFF},
    });
}

// An interpolated alpha that rounding carried a little below 0 counts as transparent.
TEST(FillerPixels, UntexturedAlphaBelowZeroLeavesThePixel)
{
    InitTriangleRasterizerTable();
    for (int group = 0; group < 4; ++group)
    {
        Surface surface(GroupFormat(group), 2, 2);
        surface.Fill(0x1234);
        RasterVertex corners[3];
        SinglePixelTriangle(corners, 0, 0, 0x00FFFFFF);
        for (RasterVertex& c : corners)
            c.a = -1;
        TriangleRasterizerTable[32 * group + kGouraud](corners, surface.Bits(), surface.Pitch(), nullptr,
                                                       &kWhite);
        EXPECT_EQ(surface.Get(0, 0), 0x1234u) << "group " << group;
    }
}

#include "graphics/MemoryImage.h"
#include "raster/TriangleRasterizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace Kavo;

class MatrixBlits : public ::testing::Test
{
protected:
    MemoryImage src;
    std::vector<uint32_t> texels;
    void SetUp() override
    {
        InitTriangleRasterizerTable();
        texels.resize(16);
        for (int i = 0; i < 16; ++i)
            texels[size_t(i)] = 0xFF000000 | uint32_t(i * 15) << 16 | uint32_t(255 - i * 15) << 8 | 0x40;
        src.SetBits(texels.data(), 4, 4);
    }
    static uint32_t At(MemoryImage& image, int x, int y) { return image.GetBits()[y * image.width + x]; }
};

TEST_F(MatrixBlits, PlacesTheSourceAboutItsCentre)
{
    struct Case
    {
        const char* what;
        float scale;
        int left, top, size; // the covered block
    } cases[] = {
        {"identity", 1.0f, 4, 4, 4},
        {"scaled by 2", 2.0f, 2, 2, 8},
    };
    for (const Case& c : cases)
    {
        MemoryImage dest;
        dest.Create(12, 12);
        Matrix3 m;
        m.Scale(c.scale, c.scale);
        dest.BltMatrix(&src, 6, 6, m, Rect(0, 0, 12, 12), Color::White, 0, Rect(0, 0, 4, 4), false);
        EXPECT_TRUE(src.drawn);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
            {
                bool inside = x >= c.left && x < c.left + c.size && y >= c.top && y < c.top + c.size;
                int scale = int(c.scale);
                uint32_t want = inside ? texels[size_t((y - c.top) / scale * 4 + (x - c.left) / scale)] : 0;
                EXPECT_EQ(At(dest, x, y), want) << c.what << " " << x << "," << y;
            }
    }
}

TEST_F(MatrixBlits, ClipAndImageBoundsHold)
{
    // Clipped to a 2 x 2 corner of the block.
    MemoryImage dest;
    dest.Create(12, 12);
    Matrix3 m;
    dest.BltMatrix(&src, 6, 6, m, Rect(6, 6, 10, 10), Color::White, 0, Rect(0, 0, 4, 4), false);
    int touched = 0;
    for (int i = 0; i < 144; ++i)
        touched += dest.GetBits()[i] != 0;
    EXPECT_EQ(touched, 4);
    EXPECT_EQ(At(dest, 6, 6), texels[10]);

    // A clip larger than the image, the quad hanging over its corner: nothing outside is written.
    MemoryImage small;
    small.Create(3, 3);
    m.Scale(4, 4);
    small.BltMatrix(&src, 0, 0, m, Rect(-100, -100, 1000, 1000), Color::White, 0, Rect(0, 0, 4, 4), true);
    EXPECT_EQ(small.GetBits()[9], MemoryImage::kGuardWord);
    EXPECT_NE(At(small, 0, 0), 0u);
}

TEST_F(MatrixBlits, ForcedOpaqueDestinationsStayOpaque)
{
    std::vector<uint32_t> translucent(16, 0x80FF0000);
    MemoryImage glass;
    glass.SetBits(translucent.data(), 4, 4);
    std::vector<uint32_t> black(144, 0xFF000000);
    for (bool forced : {false, true})
    {
        MemoryImage dest;
        dest.SetBits(black.data(), 12, 12);
        if (forced) dest.SetImageMode(false, false);
        Matrix3 m;
        dest.BltMatrix(&glass, 6, 6, m, Rect(0, 0, 12, 12), Color::White, 0, Rect(0, 0, 4, 4), true);
        // At a texel centre the filter weighs the texel (65534 x 128) >> 16 = 127 and nothing
        // else: red (255 x 127) >> 8 = 126 over black, which stays opaque.
        EXPECT_EQ(At(dest, 5, 5), 0xFF7E0000u) << forced;
    }
}

TEST_F(MatrixBlits, TrianglesWithVertexColours)
{
    std::vector<uint32_t> white(16, 0xFFFFFFFF);
    MemoryImage paper;
    paper.SetBits(white.data(), 4, 4);
    // Two triangles covering 0..8 x 0..8, moved by (2, 2).
    auto quad = [](uint32_t colour)
    {
        std::vector<TriVertex> v = {{0, 0, 0, 0, colour}, {8, 0, 1, 0, colour}, {0, 8, 0, 1, colour},
                                    {8, 0, 1, 0, colour}, {8, 8, 1, 1, colour}, {0, 8, 0, 1, colour}};
        return v;
    };
    MemoryImage plain;
    plain.Create(12, 12);
    std::vector<TriVertex> uncoloured = quad(0);
    plain.BltTrianglesTex(&paper, uncoloured.data(), 2, Rect(0, 0, 12, 12), Color::White, 0, 2, 2, false);
    EXPECT_EQ(At(plain, 5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(At(plain, 1, 1), 0u);
    EXPECT_EQ(At(plain, 11, 11), 0u);

    MemoryImage tinted;
    tinted.Create(12, 12);
    std::vector<TriVertex> red = quad(0xFFFF0000);
    tinted.BltTrianglesTex(&paper, red.data(), 2, Rect(0, 0, 12, 12), Color::White, 0, 2, 2, false);
    // White times the red vertex colour: red (255 x 255) >> 8, green and blue 0, and an alpha
    // of (255 x 255) >> 8 = 254 is written opaque.
    EXPECT_EQ(At(tinted, 5, 5), 0xFFFE0000u);

    // A source that is not a software image draws nothing.
    Image foreign;
    MemoryImage none;
    none.Create(12, 12);
    none.BltTrianglesTex(&foreign, red.data(), 2, Rect(0, 0, 12, 12), Color::White, 0, 0, 0, false);
    none.BltMatrix(&foreign, 6, 6, Matrix3(), Rect(0, 0, 12, 12), Color::White, 0, Rect(0, 0, 4, 4), false);
    EXPECT_EQ(At(none, 5, 5), 0u);
}

} // namespace

// A palettised image with alpha (as the resource loader makes of a small picture) keeps its
// alpha on every road: the 3D renderer, the display surfaces and a software image.
#include "tests/display/DisplayRig.h"

#include "display/D3DInterface.h"
#include "graphics/Graphics.h"

#include <algorithm>
#include <cstdlib>

namespace
{

using displaytest::DisplayRig;
using Kavo::Color;
using Kavo::DDImage;
using Kavo::Graphics;
using Kavo::Image;
using Kavo::MemoryImage;

constexpr uint32_t kBackground = 0xFF204060u;
constexpr int kX = 40, kY = 30;

// 5 x 5: the corners transparent, the centre opaque, the rest half covered.
uint32_t Pixel(int x, int y)
{
    bool corner = (x == 0 || x == 4) && (y == 0 || y == 4);
    if (corner) return 0x00000000u;
    if (x == 2 && y == 2) return 0xFFF0D080u;
    return 0x80806040u;
}

// Draws the image colourised with opaque white, rotated by 0, onto the background.
void DrawStar(Image* dest, Image* star)
{
    Graphics g(dest);
    g.SetColor(Color(0x20, 0x40, 0x60));
    g.FillRect(0, 0, 100, 80);
    g.SetColorizeImages(true);
    g.SetColor(Color(255, 255, 255, 255));
    g.DrawImageRotated(star, kX, kY, 0.0);
}

int Difference(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {0, 8, 16})
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

// exact: the renderer's blend, colour x texel / 255 and source-alpha blending, to the byte; the
// software roads' fixed-point colouring and bilinear blits may lose two steps.
void ExpectStar(const std::string& road, const std::vector<uint32_t>& pixels, int width, bool exact)
{
    auto at = [&](int x, int y) { return pixels[size_t(kY + y) * size_t(width) + size_t(kX + x)]; };
    const int slack = exact ? 0 : 2;
    for (auto [x, y] : {std::pair{0, 0}, {4, 0}, {0, 4}, {4, 4}})
        EXPECT_LE(Difference(at(x, y), kBackground), slack)
            << road << ": corner " << x << "," << y << ": " << std::hex << at(x, y);
    EXPECT_LE(Difference(at(2, 2), 0xFFF0D080u), slack) << road << ": centre " << std::hex << at(2, 2);
    // Half of 80 60 40 over 20 40 60: 50 50 50, within a step of rounding of the alpha 128.
    EXPECT_LE(Difference(at(1, 2), 0xFF505050u), 1 + slack) << road << ": half " << std::hex << at(1, 2);
}

std::unique_ptr<DDImage> MakeStar(Kavo::DDInterface* display)
{
    auto star = std::make_unique<DDImage>(display);
    std::vector<uint32_t> bits(25);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            bits[size_t(y) * 5 + size_t(x)] = Pixel(x, y);
    star->SetBits(bits.data(), 5, 5, true);
    star->mWantSurface = true;
    EXPECT_TRUE(star->Palletize());
    EXPECT_TRUE(star->IsPalettized());
    return star;
}

TEST(PalettizedImage, DrawnRotatedAndColourisedKeepsItsAlphaOnEveryRoad)
{
    for (bool threeD : {true, false})
    {
        DisplayRig rig(platform::PixelFormat::Rgb32(), threeD);
        ASSERT_TRUE(rig.Display()->mInitialized);
        ASSERT_EQ(rig.Display()->mIs3D, threeD);
        std::unique_ptr<DDImage> star = MakeStar(rig.Display());
        const std::string road = threeD ? "3D" : "surface";
        DrawStar(rig.Screen(), star.get());
        if (threeD) rig.Display()->mD3DInterface->Flush();
        ExpectStar(road, displaytest::ReadSurface(rig.Display()->mDrawSurface.get()), rig.Display()->mWidth,
                   threeD);

        MemoryImage memory(&rig.app);
        memory.Create(100, 80);
        DrawStar(&memory, star.get());
        const uint32_t* bits = memory.GetBits();
        ExpectStar(road + " software image", std::vector<uint32_t>(bits, bits + 100 * 80), 100, false);
    }
}

} // namespace

#include "graphics/MemoryImage.h"
#include "graphics/NativeDisplay.h"
#include "tests/graphics/ImagePixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace Kavo;
using GraphicsTest::Pixels;

TEST(MemoryImage, CreateMakesZeroPixelsWithGuard)
{
    MemoryImage image;
    image.Create(4, 4);
    EXPECT_TRUE(image.hasTrans);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(Pixels(image), std::vector<uint32_t>(16, 0));
    EXPECT_EQ(image.GetBits()[16], MemoryImage::kGuardWord);

    MemoryImage huge;
    huge.Create(1 << 20, 1 << 20); // refused rather than allocated
    EXPECT_EQ(huge.width, 0);
    EXPECT_EQ(huge.height, 0);
    MemoryImage negative;
    negative.Create(-3, 5);
    EXPECT_EQ(negative.width * negative.height, 0);
}

TEST(MemoryImage, CommitBitsAndForcedMode)
{
    struct Case
    {
        std::vector<uint32_t> pixels;
        bool trans, alpha;
    } cases[] = {
        {{0x00000000, 0xFF123456}, true, false},
        {{0xFF000000, 0xFFFFFFFF}, false, false},
        {{0x80FFFFFF, 0xFF000000}, false, true},
        {{0x00000000, 0x01000000}, true, true},
    };
    for (const Case& c : cases)
    {
        MemoryImage image;
        image.SetBits(c.pixels.data(), 2, 1);
        EXPECT_EQ(image.hasTrans, c.trans);
        EXPECT_EQ(image.hasAlpha, c.alpha);
    }

    MemoryImage forced;
    forced.SetImageMode(false, false);
    uint32_t translucent[2] = {0x00000000, 0x80000000};
    forced.SetBits(translucent, 2, 1);
    EXPECT_FALSE(forced.hasTrans);
    EXPECT_FALSE(forced.hasAlpha);
}

TEST(MemoryImage, RunLengthData)
{
    // opaque x3, transparent x2; then partial, opaque, partial, partial, black (for additive).
    uint32_t pixels[10] = {0xFF000001, 0xFF000002, 0xFF000003, 0x00000000, 0x00000000,
                           0x80000000, 0xFFFFFFFF, 0x40FFFFFF, 0x40FFFFFF, 0xFF000000};
    MemoryImage image;
    image.SetBits(pixels, 5, 2);
    const uint8_t* rl = image.GetRLAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(rl, rl + 10), (std::vector<uint8_t>{3, 2, 1, 2, 1, 1, 1, 2, 1, 1}));
    NativeDisplay display;
    display.SetLayout8888();
    const uint8_t* add = image.GetRLAdditiveData(&display);
    // Row 0: not black x3, black x2; row 1: black (0x80000000 premultiplies to black), not black x3, black.
    EXPECT_EQ(std::vector<uint8_t>(add, add + 10), (std::vector<uint8_t>{3, 2, 1, 2, 1, 1, 3, 2, 1, 1}));

    // A run of 300 caps at 255, then counts down.
    std::vector<uint32_t> wide(300, 0xFFFFFFFF);
    MemoryImage long_;
    long_.SetBits(wide.data(), 300, 1);
    const uint8_t* runs = long_.GetRLAlphaData();
    EXPECT_EQ(runs[0], 255);
    EXPECT_EQ(runs[45], 255);
    EXPECT_EQ(runs[46], 254);
    EXPECT_EQ(runs[299], 1);

    // Changing the pixels drops the cached forms.
    image.FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 255), 0);
    EXPECT_FALSE(image.rlAlphaData);
}

TEST(MemoryImage, NativeDataRoundTrip)
{
    NativeDisplay display;
    display.SetLayout8888();
    uint32_t pixels[3] = {0x80C80000, 0xFF102030, 0x00FFFFFF};
    MemoryImage image;
    image.SetBits(pixels, 3, 1);
    const uint32_t* native = image.GetNativeAlphaData(&display);
    EXPECT_EQ((native[0] >> 16) & 0xFF, 100u); // (200 x 129) >> 8
    EXPECT_EQ(native[0] >> 24, 0x80u);
    EXPECT_EQ(native[1], 0xFF102030u);
    EXPECT_EQ(native[2], 0x00000000u);

    // Only the native form left: the bits come back from it, colours of alpha 0 as 0.
    image.PurgeBits();
    EXPECT_FALSE(image.bits);
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0x80C60000, 0xFF102030, 0x00000000}));
}

TEST(MemoryImage, PalettizeAndCopies)
{
    std::vector<uint32_t> many(257);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = 0xFF000000 | uint32_t(i);
    MemoryImage tooMany;
    tooMany.SetBits(many.data(), 257, 1);
    EXPECT_FALSE(tooMany.Palletize());
    EXPECT_EQ(Pixels(tooMany), many);
    EXPECT_FALSE(tooMany.wantPal);

    std::vector<uint32_t> exactly(many.begin(), many.begin() + 256);
    MemoryImage full;
    full.SetBits(exactly.data(), 16, 16);
    EXPECT_TRUE(full.Palletize());

    uint32_t three[6] = {0xFF0000FF, 0x00000000, 0xFF0000FF, 0x80FF0000, 0x80FF0000, 0x00000000};
    MemoryImage image;
    image.SetBits(three, 3, 2);
    ASSERT_TRUE(image.Palletize());
    EXPECT_TRUE(image.IsPalettized());
    EXPECT_FALSE(image.bits);
    EXPECT_EQ(image.colorTable[0], 0xFF0000FFu); // order of first appearance
    EXPECT_EQ(image.colorTable[1], 0x00000000u);

    MemoryImage copy(image);
    EXPECT_TRUE(copy.IsPalettized());
    EXPECT_FALSE(copy.bits);
    EXPECT_EQ(Pixels(copy), std::vector<uint32_t>(three, three + 6));
    EXPECT_FALSE(copy.IsPalettized()); // GetBits turned it back into words
    EXPECT_EQ(Pixels(image), std::vector<uint32_t>(three, three + 6));
}

TEST(MemoryImage, ConvertSurfaces)
{
    uint16_t surface16[2] = {0xF800, 0x07E0}; // 5-6-5 red, green
    uint32_t out[2];
    ConvertSurface16ToARGB(out, 2, 1, surface16, 4, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(out[0], 0xFFF80000u);
    EXPECT_EQ(out[1], 0xFF00FC00u);

    uint32_t surface32[4] = {0x00123456, 0, 0x00ABCDEF, 0}; // pitch of two words
    ConvertSurface32ToARGB(out, 1, 2, surface32, 8, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(out[0], 0xFF123456u);
    EXPECT_EQ(out[1], 0xFFABCDEFu);
}

} // namespace

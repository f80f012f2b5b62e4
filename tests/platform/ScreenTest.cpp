#include "platform/display/Screen.h"
#include "platform/display/DisplaySetup.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace
{

using namespace platform;

// A screen image in a pixel format, with what it should show once presented.
struct Image
{
    int width, height;
    PixelFormat format;
    std::vector<uint8_t> bits;

    Image(int w, int h, const PixelFormat& f)
        : width(w), height(h), format(f), bits(size_t(w) * size_t(h) * 4)
    {
    }
    int Bytes() const { return format.bitCount / 8; }
    int Pitch() const { return width * Bytes(); }
    ScreenImage View() const { return ScreenImage{bits.data(), Pitch(), width, height, format}; }
    void Fill(const SurfaceRect& r, std::mt19937& random)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
            {
                uint32_t v = random();
                std::memcpy(&bits[size_t(y) * size_t(Pitch()) + size_t(x) * size_t(Bytes())], &v,
                            size_t(Bytes()));
            }
    }
    void CopyFrom(const Image& other, const SurfaceRect& r)
    {
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(&bits[size_t(y) * size_t(Pitch()) + size_t(r.left) * size_t(Bytes())],
                        &other.bits[size_t(y) * size_t(Pitch()) + size_t(r.left) * size_t(Bytes())],
                        size_t(r.Width()) * size_t(Bytes()));
    }
    // Opaque 0xAARRGGBB words of the image.
    std::vector<uint32_t> Argb() const
    {
        std::vector<uint32_t> out(size_t(width) * size_t(height));
        for (size_t i = 0; i < out.size(); ++i)
        {
            uint32_t v = 0;
            std::memcpy(&v, &bits[i * size_t(Bytes())], size_t(Bytes()));
            out[i] = 0xFF000000u | ChannelByte(v, format.redMask) << 16 |
                     ChannelByte(v, format.greenMask) << 8 | ChannelByte(v, format.blueMask);
        }
        return out;
    }
};

class WindowSurfaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(InitVideo(error)) << error;
    }
    void TearDown() override { ShutdownVideo(); }

    void OpenWindow(int width, int height, bool fullscreen)
    {
        std::string error;
        WindowOptions options;
        options.clientWidth = width;
        options.clientHeight = height;
        options.fullscreen = fullscreen;
        ASSERT_TRUE(CreateMainWindow(options, error)) << error;
        ShowMainWindow(true);
        ASSERT_TRUE(OpenScreen(ScreenRoad::WindowSurface, false, error)) << error;
    }

    std::vector<uint32_t> Shown(int& w, int& h)
    {
        std::vector<uint32_t> shown;
        EXPECT_TRUE(ReadShownScreen(shown, w, h));
        return shown;
    }
};

// On the window's own surface a sequence of partial presents shows exactly what was presented:
// in a window the image itself, byte for byte; in full screen (the dummy desktop is 1024 x 768)
// what a whole present of it shows, so the scaled rectangles join without seams. A change not
// presented is not shown, and no renderer is made.
TEST_F(WindowSurfaceTest, PartialPresentsShowWhatAWholePresentWould)
{
    const struct
    {
        int width, height;
        bool fullscreen;
        PixelFormat format;
        const char* name;
    } cases[] = {
        {800, 600, false, PixelFormat::Rgb32(), "window, 32-bit"},
        {800, 600, false, PixelFormat::Rgb565(), "window, 565"},
        {800, 600, true, PixelFormat::Rgb32(), "full screen, 32-bit"},
        {800, 600, true, PixelFormat::Rgb565(), "full screen, 565"},
        {640, 400, true, PixelFormat::Bgr32(), "full screen with bars, 32-bit BGR"},
    };
    const SurfaceRect changes[] = {{0, 0, 40, 30},     {360, 250, 420, 330}, {390, 300, 500, 310},
                                   {0, 399, 640, 400}, {639, 0, 640, 400},   {100, 100, 101, 101},
                                   {5, 200, 300, 203}};
    for (const auto& c : cases)
    {
        const int renderersBefore = RenderersMade();
        std::mt19937 random(11);
        Image image(c.width, c.height, c.format), presented(c.width, c.height, c.format);
        image.Fill(SurfaceRect{0, 0, c.width, c.height}, random);
        presented = image;
        OpenWindow(c.width, c.height, c.fullscreen);
        ASSERT_TRUE(PresentScreen(image.View(), {})) << c.name; // the first present shows it whole
        for (const SurfaceRect& r : changes)
        {
            image.Fill(r, random);
            presented.CopyFrom(image, r);
            ASSERT_TRUE(PresentScreen(image.View(), {r})) << c.name;
        }
        // Changed, not presented: not shown.
        image.Fill(SurfaceRect{200, 50, 260, 90}, random);
        ASSERT_TRUE(PresentScreen(image.View(), {SurfaceRect{0, 0, 1, 1}})) << c.name;
        presented.CopyFrom(image, SurfaceRect{0, 0, 1, 1});

        int w = 0, h = 0;
        std::vector<uint32_t> shown = Shown(w, h);
        if (!c.fullscreen)
        {
            ASSERT_EQ(w, c.width) << c.name;
            EXPECT_TRUE(shown == presented.Argb()) << c.name;
        }
        else
        {
            ASSERT_EQ(w, 1024) << c.name;
            // The same image shown whole by a window of its own.
            DestroyMainWindow();
            OpenWindow(c.width, c.height, true);
            ASSERT_TRUE(PresentScreen(presented.View(), {})) << c.name;
            int w2 = 0, h2 = 0;
            std::vector<uint32_t> whole = Shown(w2, h2);
            ASSERT_EQ(w2, w) << c.name;
            size_t differing = 0;
            for (size_t i = 0; i < shown.size(); ++i)
                differing += shown[i] != whole[i];
            EXPECT_EQ(differing, 0u) << c.name;
            // Bars above and below a wider picture stay black.
            if (c.width * 768 != c.height * 1024)
            {
                EXPECT_EQ(shown[0], 0xFF000000u) << c.name;
                EXPECT_EQ(shown[size_t(767) * 1024 + 512], 0xFF000000u) << c.name;
            }
        }
        EXPECT_FALSE(ScreenHasRenderer()) << c.name;
        EXPECT_EQ(RenderersMade(), renderersBefore) << c.name;
        DestroyMainWindow();
    }
}

} // namespace

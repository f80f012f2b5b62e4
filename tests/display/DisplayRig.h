#pragma once

// A headless application with its display in a chosen desktop format, with 3D on or off, and
// helpers that read a surface back as 0xAARRGGBB words.
#include "tests/app/AppTestSupport.h"

#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "platform/display/DisplaySetup.h"
#include "platform/display/DisplaySurface.h"
#include "raster/TriangleRasterizer.h"

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace displaytest
{

struct NamedFormat
{
    const char* name;
    platform::PixelFormat format;
};

// The desktop formats the display draws into: the two packed 16-bit layouts, a 16-bit layout of
// other masks (blue highest), and 32-bit RGB and BGR.
inline const std::vector<NamedFormat>& SurfaceFormats()
{
    static const std::vector<NamedFormat> formats = {
        {"565", platform::PixelFormat::Rgb565()},
        {"555", platform::PixelFormat::Rgb555()},
        {"16-bit BGR", platform::PixelFormat{platform::kPixelRgb, 16, 0x001F, 0x07E0, 0xF800, 0}},
        {"32-bit RGB", platform::PixelFormat::Rgb32()},
        {"32-bit BGR", platform::PixelFormat::Bgr32()},
    };
    return formats;
}

// The surface's pixels as opaque 0xAARRGGBB words (locked and unlocked here).
inline std::vector<uint32_t> ReadSurface(platform::DisplaySurface* surface)
{
    std::vector<uint32_t> out;
    platform::SurfaceLock l;
    if (!surface || surface->Lock(l, platform::kLockWait | platform::kLockReadOnly) < 0) return out;
    out.resize(size_t(l.width) * size_t(l.height));
    for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x)
        {
            const uint8_t* p =
                l.bits + size_t(y) * size_t(l.pitch) + size_t(x) * size_t(l.format.bitCount / 8);
            uint32_t v = 0;
            std::memcpy(&v, p, size_t(l.format.bitCount / 8));
            out[size_t(y) * size_t(l.width) + size_t(x)] = 0xFF000000u |
                                                           platform::ChannelByte(v, l.format.redMask) << 16 |
                                                           platform::ChannelByte(v, l.format.greenMask) << 8 |
                                                           platform::ChannelByte(v, l.format.blueMask);
        }
    surface->Unlock();
    return out;
}

// A display in the desktop format, 3D on or off (by the player's stored choice). The setup is
// put back when the rig goes.
class DisplayRig
{
public:
    DisplayRig(const platform::PixelFormat& desktop, bool threeD)
    {
        Kavo::InitTriangleRasterizerTable();
        platform::GetDisplaySetup().desktopFormat = desktop;
        app.RegistryWriteBoolean("Is3D", threeD);
        app.Initialize();
    }
    ~DisplayRig() { platform::ResetDisplaySetup(); }

    Kavo::DDInterface* Display() { return app.mDDInterface; }
    Kavo::DDImage* Screen() { return app.mDDInterface->GetScreenImage(); }

    platform::FakeClock clock;
    apptest::TestApp app;
};

// A display whose blits fail is found lost by present(app) (a frame, or a present of its
// own); with the blits working again, the next frames initialise it again and the widgets draw
// on its new screen image.
inline void ExpectTheDisplayComesBackAfterFailedBlits(const std::function<void(apptest::TestApp&)>& present)
{
    apptest::TestApp app;
    app.Initialize();
    int inits = app.mDDInterface->mInitCount;
    platform::GetDisplaySetup().faults.blt = true;
    present(app);
    EXPECT_TRUE(apptest::TestApp::sRecoveringDisplay);
    platform::GetDisplaySetup().faults.blt = false;
    app.mForceDraw = true;
    app.RunUpdates(3);
    EXPECT_FALSE(apptest::TestApp::sRecoveringDisplay);
    EXPECT_GT(app.mDDInterface->mInitCount, inits);
    EXPECT_EQ(app.mWidgetManager->mScreenImage, app.mDDInterface->GetScreenImage());
}

} // namespace displaytest

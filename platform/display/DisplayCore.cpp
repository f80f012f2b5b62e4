#include "platform/display/DisplayCore.h"

#include "platform/display/DisplaySetup.h"

#include <atomic>
#include <bit>
#include <cstring>
#include <mutex>
#include <set>

namespace platform
{

namespace detail
{

namespace
{

struct SurfaceRegistry
{
    std::mutex lock;
    std::set<DisplaySurface*> surfaces;
};

SurfaceRegistry& Registry()
{
    static SurfaceRegistry registry;
    return registry;
}

std::atomic<int> gLockedSurfaces{0};
std::atomic<int64_t> gVideoBytes{0};

} // namespace

PixelConverter::PixelConverter(const PixelFormat& format, const DisplayPalette* palette)
    : mFormat(format), mPalette(palette), mRed(format.redMask), mGreen(format.greenMask),
      mBlue(format.blueMask), mAlpha((format.flags & kPixelAlphaPixels) ? format.alphaMask : 0),
      mBytes(format.BytesPerPixel())
{
}

uint32_t PixelConverter::ToArgb(uint32_t raw) const
{
    if (mFormat.flags & kPixelPaletteIndexed8)
        return mPalette ? mPalette->Entries()[raw & 0xFF] : 0xFF000000u | (raw & 0xFF) * 0x010101u;
    uint32_t a = mAlpha.bits ? mAlpha.Byte(raw) : 255;
    return (a << 24) | (mRed.Byte(raw) << 16) | (mGreen.Byte(raw) << 8) | mBlue.Byte(raw);
}

uint32_t PixelConverter::FromArgb(uint32_t argb) const
{
    if (mFormat.flags & kPixelPaletteIndexed8) return 0; // nothing is converted to an index
    return mRed.Put(argb >> 16) | mGreen.Put(argb >> 8) | mBlue.Put(argb) | mAlpha.Put(argb >> 24);
}

uint32_t PixelConverter::Load(const uint8_t* p) const
{
    switch (mBytes)
    {
    case 1:
        return p[0];
    case 2:
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3:
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    default:
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void PixelConverter::Store(uint8_t* p, uint32_t raw) const
{
    switch (mBytes)
    {
    case 1:
        p[0] = uint8_t(raw);
        break;
    case 2:
    {
        uint16_t v = uint16_t(raw);
        std::memcpy(p, &v, 2);
        break;
    }
    case 3:
        p[0] = uint8_t(raw);
        p[1] = uint8_t(raw >> 8);
        p[2] = uint8_t(raw >> 16);
        break;
    default:
        std::memcpy(p, &raw, 4);
        break;
    }
}

bool OnMainThread()
{
    Desktop& d = GetDesktop();
    return d.mainThread != 0 && SDL_ThreadID() == d.mainThread;
}

void RegisterSurface(DisplaySurface* surface)
{
    std::lock_guard<std::mutex> guard(Registry().lock);
    Registry().surfaces.insert(surface);
}

void UnregisterSurface(DisplaySurface* surface)
{
    std::lock_guard<std::mutex> guard(Registry().lock);
    Registry().surfaces.erase(surface);
}

void AddLockedSurfaces(int delta)
{
    gLockedSurfaces += delta;
}

uint64_t VideoBytesInUse()
{
    int64_t bytes = gVideoBytes;
    return bytes > 0 ? uint64_t(bytes) : 0;
}

void AddVideoBytes(int64_t delta)
{
    gVideoBytes += delta;
}

} // namespace detail

uint32_t ChannelByte(uint32_t pixel, uint32_t mask)
{
    return PixelChannel(mask).Byte(pixel);
}

// ---------------------------------------------------------------- setup and counters

DisplaySetup& GetDisplaySetup()
{
    static DisplaySetup setup;
    return setup;
}

void ResetDisplaySetup()
{
    GetDisplaySetup() = DisplaySetup();
}

void LoseDisplaySurfaces()
{
    std::lock_guard<std::mutex> guard(detail::Registry().lock);
    for (DisplaySurface* surface : detail::Registry().surfaces)
        if (DisplaySurface::Access::IsVideo(*surface)) DisplaySurface::Access::SetLost(*surface);
}

int LiveDisplaySurfaces()
{
    std::lock_guard<std::mutex> guard(detail::Registry().lock);
    return int(detail::Registry().surfaces.size());
}

int LockedDisplaySurfaces()
{
    return detail::gLockedSurfaces;
}

int RenderersMade()
{
    return detail::GetDesktop().renderersMade;
}

// ---------------------------------------------------------------- result names

std::string DisplayResultName(DisplayResult result)
{
    struct Name
    {
        DisplayResult code;
        const char* name;
    };
    static const Name names[] = {
        {kDisplayOk, "DD_OK"},
        {kErrGeneric, "DDERR_GENERIC"},
        {kErrUnsupported, "DDERR_UNSUPPORTED"},
        {kErrInvalidParams, "DDERR_INVALIDPARAMS"},
        {kErrOutOfMemory, "E_OUTOFMEMORY"},
        {kErrInvalidMode, "DDERR_INVALIDMODE"},
        {kErrInvalidPixelFormat, "DDERR_INVALIDPIXELFORMAT"},
        {kErrInvalidRect, "DDERR_INVALIDRECT"},
        {kErrNoExclusiveMode, "DDERR_NOEXCLUSIVEMODE"},
        {kErrOutOfVideoMemory, "DDERR_OUTOFVIDEOMEMORY"},
        {kErrSurfaceBusy, "DDERR_SURFACEBUSY"},
        {kErrSurfaceLost, "DDERR_SURFACELOST"},
        {kErrVerticalBlankInProgress, "DDERR_VERTICALBLANKINPROGRESS"},
        {kErrWasStillDrawing, "DDERR_WASSTILLDRAWING"},
        {kErrNotLocked, "DDERR_NOTLOCKED"},
        {kErrUnsupportedMode, "DDERR_UNSUPPORTEDMODE"},
        {kErrInvalidDevice, "D3DERR_INVALID_DEVICE"},
        {kErrInitFailed, "D3DERR_INITFAILED"},
        {kErrSceneInScene, "D3DERR_SCENE_IN_SCENE"},
        {kErrSceneNotInScene, "D3DERR_SCENE_NOT_IN_SCENE"},
        {kErrSceneEndFailed, "D3DERR_SCENE_END_FAILED"},
    };
    for (const Name& n : names)
        if (n.code == result) return n.name;
    return std::string();
}

} // namespace platform

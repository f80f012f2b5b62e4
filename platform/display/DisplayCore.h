#pragma once

// Internal to the platform layer: what the display module's classes share (pixel conversion,
// the live surfaces, the renderer's textures of a surface).
#include "platform/display/Device3D.h"
#include "platform/display/DisplayPalette.h"
#include "platform/display/DisplaySurface.h"
#include "platform/display/PixelChannel.h"
#include "platform/window/SdlDesktop.h"

#include <cstdint>
#include <memory>

namespace platform
{

namespace detail
{

// Conversion of pixels between a format and 0xAARRGGBB words.
class PixelConverter
{
public:
    PixelConverter(const PixelFormat& format, const DisplayPalette* palette);
    uint32_t ToArgb(uint32_t raw) const;
    uint32_t FromArgb(uint32_t argb) const;
    // The raw pixel at p (8, 16, 24 or 32 bits).
    uint32_t Load(const uint8_t* p) const;
    void Store(uint8_t* p, uint32_t raw) const;
    int Bytes() const { return mBytes; }

private:
    PixelFormat mFormat;
    const DisplayPalette* mPalette;
    PixelChannel mRed, mGreen, mBlue, mAlpha;
    int mBytes;
};

bool OnMainThread();
// The display's shared state: the live surfaces (for the counters and for losing them all).
void RegisterSurface(DisplaySurface* surface);
void UnregisterSurface(DisplaySurface* surface);
void AddLockedSurfaces(int delta);
// Bytes of video memory in use.
uint64_t VideoBytesInUse();
void AddVideoBytes(int64_t delta);

} // namespace detail

struct DisplaySurface::Access
{
    // A surface of the resolved description (size and format set), its pixels zeroed.
    static std::shared_ptr<DisplaySurface> Make(const SurfaceDesc& desc);
    // Makes the render target's texture; false without a renderer.
    static bool MakeRenderTarget(DisplaySurface& surface);
    // The pixels in main memory hold the picture (read back from the renderer when needed).
    static DisplayResult MakeCpuValid(DisplaySurface& surface);
    // The render target's texture holds the picture, ready to draw into.
    static DisplayResult MakeGpuValid(DisplaySurface& surface);
    // The renderer's texture of a texture surface (uploaded when it changed); opaque: every
    // alpha 255. Null when it cannot be made.
    static SDL_Texture* TextureToSample(DisplaySurface& surface, bool opaque);
    // The render target was drawn into by the renderer (the rectangle, or all of it).
    static void GpuDrawn(DisplaySurface& surface, const SurfaceRect* where = nullptr);
    // Whether the picture is with the renderer only (a render target drawn by it since it was
    // last read back).
    static bool OnGpu(const DisplaySurface& surface)
    {
        return surface.mDesc.renderTarget && !surface.mCpuValid;
    }
    // The primary and its back buffer: what was drawn since the last show or flip.
    static void TrackChanges(DisplaySurface& surface);
    static void MarkChanged(DisplaySurface& surface, const SurfaceRect& rect);
    static void MarkAllChanged(DisplaySurface& surface);
    static std::vector<SurfaceRect> TakeChanged(DisplaySurface& surface);
    static SDL_Texture* Texture(DisplaySurface& surface) { return surface.mTexture; }
    static int TextureWidth(const DisplaySurface& surface) { return surface.mTextureWidth; }
    static int TextureHeight(const DisplaySurface& surface) { return surface.mTextureHeight; }
    static bool IsVideo(const DisplaySurface& surface);
    static void SetLost(DisplaySurface& surface) { surface.mLost = true; }
    static const uint8_t* Pixels(const DisplaySurface& surface) { return surface.mPixels.data(); }
    static int Pitch(const DisplaySurface& surface) { return surface.mPitch; }
    static void SetBackBuffer(DisplaySurface& s, std::shared_ptr<DisplaySurface> back)
    {
        s.mBackBuffer = std::move(back);
    }
};

struct Device3D::Access
{
    static DisplayResult Make(std::shared_ptr<DisplaySurface> target, std::unique_ptr<Device3D>& out);
};

} // namespace platform

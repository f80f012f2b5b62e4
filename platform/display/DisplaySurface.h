#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct SDL_Texture;

// A surface of the display: pixels with a pitch in one pixel format. System-memory surfaces,
// the primary (what the screen shows) and textures live in main memory; a render target lives
// with the renderer as well and is read back when locked. Made by DirectDisplay::CreateSurface
// and shared by its holders (the surface goes when the last holder lets go).
//
// Locks and blits between main-memory surfaces may run on any thread (under the caller's
// lock); whatever reaches the renderer runs on the main thread only and is refused elsewhere
// with kErrWasStillDrawing. Every operation of a lost surface fails with kErrSurfaceLost.
namespace platform
{

class DisplayPalette;
class DirectDisplay;
class Device3D;

class DisplaySurface
{
public:
    ~DisplaySurface();
    DisplaySurface(const DisplaySurface&) = delete;
    DisplaySurface& operator=(const DisplaySurface&) = delete;

    // The description with the size and pixel format in force.
    const SurfaceDesc& Desc() const { return mDesc; }
    int Width() const { return mDesc.width; }
    int Height() const { return mDesc.height; }
    const PixelFormat& Format() const { return mDesc.format; }

    // Locks the whole surface for the caller's reads and writes (kLockReadOnly: reads only).
    // Fails with kErrSurfaceBusy while it is locked already. The pixels stay valid until Unlock.
    DisplayResult Lock(SurfaceLock& out, uint32_t flags);
    // kErrNotLocked when the surface is not locked.
    DisplayResult Unlock();
    bool IsLocked() const { return mLocked; }

    // Copies sourceRect of source (null: all of it) to destRect of this surface (null: all of
    // it), stretched by nearest pixels when the sizes differ and converted when the formats do.
    // With kBltKeySrc and a source colour key, source pixels equal to the key are skipped.
    // Rectangles must lie inside their surfaces (kErrInvalidRect), except on the primary with
    // a clipper, where the part outside the screen is cut off. Neither surface may be locked.
    DisplayResult Blt(const SurfaceRect* destRect, DisplaySurface* source, const SurfaceRect* sourceRect,
                      uint32_t flags);
    // The primary with a back buffer shows the back buffer's picture: the parts of it drawn
    // since the last flip are copied to the front, and the back buffer keeps its picture (what a
    // flip leaves in it is undefined for the caller).
    DisplayResult Flip();

    // The source colour key, a pixel value in this surface's format.
    DisplayResult SetColorKey(uint32_t key);
    bool GetColorKey(uint32_t& key) const;

    // The primary's back buffer (null for other surfaces).
    std::shared_ptr<DisplaySurface> GetBackBuffer() const { return mBackBuffer; }
    // The palette of an 8-bit surface.
    DisplayResult SetPalette(std::shared_ptr<DisplayPalette> palette);
    std::shared_ptr<DisplayPalette> GetPalette() const { return mPalette; }
    // A clipper bound to the main window: blits onto the primary are cut to the screen.
    void SetClipper(bool clipToWindow) { mClipped = clipToWindow; }

    bool IsLost() const { return mLost; }
    // Makes a lost surface usable again; its pixels are undefined (here: kept).
    DisplayResult Restore();

    // Internal to the display module.
    struct Access;

private:
    friend struct Access;
    DisplaySurface() = default;

    SurfaceDesc mDesc;
    std::vector<uint8_t> mPixels; // height rows of mPitch bytes
    int mPitch = 0;
    bool mLocked = false;
    bool mLockReadOnly = false;
    bool mLost = false;
    bool mHasKey = false;
    uint32_t mKey = 0;
    bool mClipped = false;
    std::shared_ptr<DisplaySurface> mBackBuffer;
    std::shared_ptr<DisplayPalette> mPalette;
    // The primary and its back buffer note the rectangles drawn since they were last shown
    // (the primary) or flipped (the back buffer); too many become the whole surface.
    bool mTracksChanges = false;
    std::mutex mChangedLock;
    std::vector<SurfaceRect> mChanged;
    bool mChangedWhole = false;
    // With the renderer: the render target's texture, or a texture's upload.
    SDL_Texture* mTexture = nullptr;
    int mTextureWidth = 0; // the upload's size (a texel wider and higher on some renderers)
    int mTextureHeight = 0;
    uint64_t mTextureGeneration = 0;
    bool mCpuValid = true;              // mPixels hold the picture
    bool mGpuValid = false;             // mTexture holds the picture
    SDL_Texture* mOpaqueTwin = nullptr; // a texture's upload with every alpha 255
    bool mOpaqueTwinValid = false;
};

} // namespace platform

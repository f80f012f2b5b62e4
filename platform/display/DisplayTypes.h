#pragma once

#include <cstdint>
#include <string>

// The types of the display module (DirectDisplay, DisplaySurface, DisplayPalette, Device3D):
// result codes, pixel formats, surface descriptions and rectangles. The result codes and the
// pixel-format flags keep their Windows values: error texts, the 3D test's verdict and the
// software images' pixel layouts depend on them.
namespace platform
{

// Zero is success, a negative value a failure.
using DisplayResult = int32_t;

constexpr DisplayResult DisplayHResult(uint32_t code)
{
    return DisplayResult(0x88760000u + code);
}

constexpr DisplayResult kDisplayOk = 0;
constexpr DisplayResult kErrGeneric = DisplayResult(0x80004005u);          // "DDERR_GENERIC"
constexpr DisplayResult kErrUnsupported = DisplayResult(0x80004001u);      // "DDERR_UNSUPPORTED"
constexpr DisplayResult kErrInvalidParams = DisplayResult(0x80070057u);    // "DDERR_INVALIDPARAMS"
constexpr DisplayResult kErrOutOfMemory = DisplayResult(0x8007000Eu);      // "E_OUTOFMEMORY"
constexpr DisplayResult kErrInvalidMode = DisplayHResult(120);             // "DDERR_INVALIDMODE"
constexpr DisplayResult kErrInvalidPixelFormat = DisplayHResult(145);      // "DDERR_INVALIDPIXELFORMAT"
constexpr DisplayResult kErrInvalidRect = DisplayHResult(150);             // "DDERR_INVALIDRECT"
constexpr DisplayResult kErrNoExclusiveMode = DisplayHResult(225);         // "DDERR_NOEXCLUSIVEMODE"
constexpr DisplayResult kErrOutOfVideoMemory = DisplayHResult(380);        // "DDERR_OUTOFVIDEOMEMORY"
constexpr DisplayResult kErrSurfaceBusy = DisplayHResult(430);             // "DDERR_SURFACEBUSY"
constexpr DisplayResult kErrSurfaceLost = DisplayHResult(450);             // "DDERR_SURFACELOST"
constexpr DisplayResult kErrVerticalBlankInProgress = DisplayHResult(537); // "DDERR_VERTICALBLANKINPROGRESS"
constexpr DisplayResult kErrWasStillDrawing = DisplayHResult(540);         // "DDERR_WASSTILLDRAWING"
constexpr DisplayResult kErrNotLocked = DisplayHResult(584);               // "DDERR_NOTLOCKED"
constexpr DisplayResult kErrUnsupportedMode = DisplayHResult(590);         // "DDERR_UNSUPPORTEDMODE"
constexpr DisplayResult kErrInvalidDevice = DisplayHResult(705);           // "D3DERR_INVALID_DEVICE"
constexpr DisplayResult kErrInitFailed = DisplayHResult(706);              // "D3DERR_INITFAILED"
constexpr DisplayResult kErrSceneInScene = DisplayHResult(760);            // "D3DERR_SCENE_IN_SCENE"
constexpr DisplayResult kErrSceneNotInScene = DisplayHResult(761);         // "D3DERR_SCENE_NOT_IN_SCENE"
constexpr DisplayResult kErrSceneEndFailed = DisplayHResult(763);          // "D3DERR_SCENE_END_FAILED"

// The name of a result code of this module ("DDERR_SURFACELOST" ...); empty for other codes.
std::string DisplayResultName(DisplayResult result);

// Pixel-format flags.
constexpr uint32_t kPixelAlphaPixels = 0x1;
constexpr uint32_t kPixelPaletteIndexed8 = 0x20;
constexpr uint32_t kPixelRgb = 0x40;

struct PixelFormat
{
    uint32_t flags = kPixelRgb;
    int bitCount = 32;
    uint32_t redMask = 0xFF0000;
    uint32_t greenMask = 0xFF00;
    uint32_t blueMask = 0xFF;
    uint32_t alphaMask = 0;

    bool operator==(const PixelFormat& other) const = default;
    int BytesPerPixel() const { return (bitCount + 7) / 8; }

    // The formats the program names.
    static PixelFormat Rgb32() { return {}; }
    static PixelFormat Bgr32() { return {kPixelRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0}; }
    static PixelFormat Rgb565() { return {kPixelRgb, 16, 0xF800, 0x07E0, 0x001F, 0}; }
    static PixelFormat Rgb555() { return {kPixelRgb, 16, 0x7C00, 0x03E0, 0x001F, 0}; }
    static PixelFormat Argb8888()
    {
        return {kPixelRgb | kPixelAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    }
    static PixelFormat Argb4444() { return {kPixelRgb | kPixelAlphaPixels, 16, 0xF00, 0xF0, 0xF, 0xF000}; }
    static PixelFormat Palette8() { return {kPixelRgb | kPixelPaletteIndexed8, 8, 0, 0, 0, 0}; }
};

// The channel of a pixel under a contiguous mask as 0..255: the field's top bits, repeated into
// the low ones when the field is narrower than 8 bits.
uint32_t ChannelByte(uint32_t pixel, uint32_t mask);

// A rectangle as left, top, right and bottom (right and bottom outside it).
struct SurfaceRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return left >= right || top >= bottom; }
    // The part inside a surface of width x height.
    SurfaceRect ClippedTo(int width, int height) const
    {
        return SurfaceRect{left > 0 ? left : 0, top > 0 ? top : 0, right < width ? right : width,
                           bottom < height ? bottom : height};
    }
};

enum class SurfaceMemory
{
    System, // main memory: never lost
    Video,  // the display's memory: lost with the display mode or the device
};

struct SurfaceDesc
{
    int width = 0; // ignored for the primary, which takes the screen's size
    int height = 0;
    bool primary = false;
    int backBuffers = 0;       // the primary's flipping chain: 0 or 1
    bool renderTarget = false; // the 3D device may draw into it
    bool texture = false;      // the 3D device may sample it (managed: never lost)
    SurfaceMemory memory = SurfaceMemory::System;
    bool hasFormat = false; // without one the surface takes the primary's format
    PixelFormat format;
};

// What a lock hands out: the pixel (0, 0) and the distance between rows in bytes.
struct SurfaceLock
{
    uint8_t* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
};

// Lock flags.
constexpr uint32_t kLockWait = 0x1;
constexpr uint32_t kLockReadOnly = 0x10;
constexpr uint32_t kLockWriteOnly = 0x20;

// Blit flags.
constexpr uint32_t kBltKeySrc = 0x8000;
constexpr uint32_t kBltWait = 0x1000000;

// The display adapter's identity, as the 3D test reads it.
struct AdapterIdentity
{
    uint8_t guid[16] = {};
    std::string driver;      // the driver's file (its date tells the driver's age)
    std::string description; // the adapter's name
    // The system offers a graphics device to draw with; without one a renderer can only
    // rasterise in software.
    bool hasRenderDevice = true;
    // Once the renderer is described: SDL's name of it ("opengl", "software" ...) and whether it
    // reports drawing with the graphics hardware.
    std::string renderer;
    bool accelerated = true;
};

} // namespace platform

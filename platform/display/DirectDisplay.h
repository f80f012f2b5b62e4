#pragma once

#include "platform/display/DisplayTypes.h"
#include "platform/window/Messages.h"

#include <cstdint>
#include <memory>

// The display object: the screen in a window or in a display mode of its own, the surfaces,
// palettes and the 3D device, the monitor's timing and the adapter's identity. The primary
// surface is what the screen shows; it is shown on the main thread, at each flip and each
// PresentPending (a change made on another thread waits for the next one).
namespace platform
{

class Device3D;
class DisplayPalette;
class DisplaySurface;

class DirectDisplay
{
public:
    // A display object; fails (kErrGeneric) only without a desktop.
    static DisplayResult Create(std::shared_ptr<DirectDisplay>& out);
    ~DirectDisplay();
    DirectDisplay(const DirectDisplay&) = delete;
    DirectDisplay& operator=(const DirectDisplay&) = delete;

    // Binds the display to the main window: shared with the desktop, or owning it in full
    // screen (where display modes may be set). Accelerated: the screen is shown through the
    // renderer the 3D device draws with, made now (vertical sync where the driver offers it);
    // otherwise straight from main memory through the window's own surface, and no renderer is
    // kept (nor made: the system's 3D libraries stay unloaded).
    DisplayResult SetCooperativeLevel(WindowId window, bool exclusiveFullScreen, bool vsync,
                                      bool accelerated);
    // Full screen only: the screen becomes width x height at bits per pixel (16 or 32), shown
    // scaled to the desktop. kErrUnsupportedMode when refused, kErrNoExclusiveMode in a window.
    DisplayResult SetDisplayMode(int width, int height, int bits);
    DisplayResult RestoreDisplayMode();
    // The screen's size and pixel format: the display mode's, or the window's and the
    // desktop's format.
    int ScreenWidth() const { return mScreenWidth; }
    int ScreenHeight() const { return mScreenHeight; }
    PixelFormat ScreenFormat() const { return mScreenFormat; }
    // The desktop's pixel format.
    static PixelFormat DesktopFormat();

    // A surface per the description. The primary (one per display) takes the screen's size
    // and format; others without a format take the primary's (the screen's). Failures:
    // kErrInvalidParams (no size, a size too large), kErrInvalidPixelFormat (a format other than
    // 16 or 32 bits, or a texture format the device does not sample), kErrOutOfVideoMemory
    // (no room, or a render target without a renderer).
    DisplayResult CreateSurface(const SurfaceDesc& desc, std::shared_ptr<DisplaySurface>& out);
    DisplayResult CreatePalette(const uint32_t* entries, bool withAlpha,
                                std::shared_ptr<DisplayPalette>& out);
    // The 3D device drawing into a render-target surface.
    DisplayResult CreateDevice(std::shared_ptr<DisplaySurface> target, std::unique_ptr<Device3D>& out);

    // Video memory in bytes: all of it and what is free.
    DisplayResult GetAvailableVidMem(uint32_t& total, uint32_t& free) const;
    // The adapter as it is known without a renderer: the GUID, driver and description of the
    // desktop layer and the kernel's render devices (none: everything would draw in software).
    DisplayResult GetDeviceIdentifier(AdapterIdentity& out) const;
    // Completes the identity with what draws: the renderer (made now when there is none, on the
    // main thread), whether it reports acceleration, and the description of what is behind it
    // (OpenGL's renderer string). The GUID stays. An identity a test set up stands as it is.
    DisplayResult DescribeRenderer(AdapterIdentity& identity);
    // The monitor's refresh rate in hertz; kErrUnsupported when it is not known.
    DisplayResult GetMonitorFrequency(int& hertz) const;
    // The row the monitor shows now; kErrVerticalBlankInProgress in its vertical blank.
    DisplayResult GetScanLine(int& line) const;
    // Returns at the start of the next vertical blank.
    DisplayResult WaitForVerticalBlank() const;
    // Shows the desktop's own surface (before a system dialog in full screen).
    DisplayResult FlipToGDISurface();

    // Main thread: shows the parts of the primary that changed since they were last shown.
    void PresentPending();
    // Main thread, through the renderer: shows a surface of the screen's size whole, straight
    // from the renderer's texture when it is a render target drawn by the renderer (no read-back,
    // no copy into the primary).
    DisplayResult PresentSurface(DisplaySurface& surface);
    // The renderer's name ("opengl", "software" ...), empty without one.
    std::string RendererName() const;
    // Whether the screen shows through a renderer (the accelerated road) or the window's surface.
    bool PresentsThroughRenderer() const;

    struct Access;

private:
    friend struct Access;
    DirectDisplay() = default;

    WindowId mWindow = kNoWindow;
    bool mExclusive = false;
    bool mModeSet = false;
    int mScreenWidth = 0;
    int mScreenHeight = 0;
    PixelFormat mScreenFormat;
    std::weak_ptr<DisplaySurface> mPrimary;
    uint64_t mVideoBytes = 0; // held by this display's video-memory surfaces
};

} // namespace platform

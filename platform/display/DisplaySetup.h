#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>
#include <optional>

// What a test (or a headless run) sets up of the display module: the desktop's pixel format,
// the video memory and identity the adapter reports, and faults the next calls meet; and the
// counters a test reads to see that nothing leaked. Set up on the main thread, between frames.
namespace platform
{

struct DisplayFaults
{
    bool createSurface = false; // CreateSurface fails with kErrOutOfVideoMemory
    bool lock = false;          // Lock fails with kErrSurfaceBusy
    bool blt = false;           // Blt and PresentSurface fail with kErrGeneric
    bool flip = false;          // Flip fails with kErrSurfaceLost
    bool createDevice = false;  // CreateDevice fails with kErrInvalidDevice
    bool refuseMode = false;    // SetDisplayMode and exclusive mode fail with kErrUnsupportedMode
    bool drawPrimitive = false; // the 3D device's draws fail with kErrGeneric
};

struct DisplaySetup
{
    // The desktop's pixel format; unset: the desktop's own (32-bit RGB on this system).
    std::optional<PixelFormat> desktopFormat;
    // The 16-bit format a 16-bit display mode takes (5-6-5 unless a test asks for another).
    PixelFormat mode16Format = PixelFormat::Rgb565();
    // The video memory the adapter reports, in bytes.
    uint32_t videoMemory = 256u << 20;
    // The identity the adapter reports; unset: made from the renderer SDL chose.
    std::optional<AdapterIdentity> identity;
    // The refresh rate the monitor reports; unset: the desktop's (0 when it gives none).
    std::optional<int> refreshRate;
    DisplayFaults faults;
};

// The setup in force; tests change it and restore it with ResetDisplaySetup.
DisplaySetup& GetDisplaySetup();
void ResetDisplaySetup();

// Every video-memory surface and the primary are lost (as when another program takes the
// display); their next use reports kErrSurfaceLost until they are restored or made anew.
void LoseDisplaySurfaces();

// Counters: surfaces alive, surfaces locked now, and renderers made since the program started
// (each loads the system's 3D libraries when it is an OpenGL one).
int LiveDisplaySurfaces();
int LockedDisplaySurfaces();
int RenderersMade();

} // namespace platform

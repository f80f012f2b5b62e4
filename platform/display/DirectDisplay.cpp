#include "platform/display/DirectDisplay.h"

#include "platform/display/Device3D.h"
#include "platform/display/DisplayCore.h"
#include "platform/display/DisplayPalette.h"
#include "platform/display/DisplaySetup.h"
#include "platform/display/DisplaySurface.h"
#include "platform/display/Screen.h"
#include "platform/system/Clock.h"
#include "platform/window/Window.h"

#include <dirent.h>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace platform
{

using detail::PixelConverter;

namespace
{

constexpr int kMaxSurfaceSide = 16384;

bool IsDisplayFormat(const PixelFormat& f)
{
    return (f.bitCount == 16 || f.bitCount == 32) && (f.flags & kPixelRgb) &&
           !(f.flags & kPixelPaletteIndexed8) && f.redMask && f.greenMask && f.blueMask;
}

bool IsTextureFormat(const PixelFormat& f)
{
    return f == PixelFormat::Argb8888() || f == PixelFormat::Argb4444() || f == PixelFormat::Rgb565() ||
           f == PixelFormat::Palette8();
}

// The GUID of an adapter is made from its name: the same adapter keeps it from run to run.
void NameToGuid(const std::string& name, uint8_t guid[16])
{
    uint64_t h1 = 1469598103934665603ull, h2 = 1099511628211ull;
    for (unsigned char c : name)
    {
        h1 = (h1 ^ c) * 1099511628211ull;
        h2 = (h2 + c) * 6364136223846793005ull + 1442695040888963407ull;
    }
    std::memcpy(guid, &h1, 8);
    std::memcpy(guid + 8, &h2, 8);
}

// The kernel's render devices ("10de:1c82 nvidia"), read from the system's device tables; a
// device without readable details is named by its node. None on a machine without graphics
// hardware of its own (or without its driver).
std::vector<std::string> RenderDevices()
{
    std::vector<std::string> out;
    auto read = [](const std::string& path)
    {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "r"))
        {
            char line[256];
            if (std::fgets(line, sizeof line, f)) text = line;
            std::fclose(f);
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        if (text.rfind("0x", 0) == 0) text = text.substr(2);
        return text;
    };
    if (DIR* dir = opendir("/dev/dri"))
    {
        std::vector<std::string> nodes;
        while (dirent* e = readdir(dir))
            if (std::strncmp(e->d_name, "renderD", 7) == 0) nodes.push_back(e->d_name);
        closedir(dir);
        std::sort(nodes.begin(), nodes.end());
        for (const std::string& node : nodes)
        {
            std::string base = "/sys/class/drm/" + node + "/device/";
            std::string vendor = read(base + "vendor"), device = read(base + "device");
            char driver[PATH_MAX] = {};
            ssize_t n = readlink((base + "driver").c_str(), driver, sizeof driver - 1);
            std::string name = n > 0 ? std::string(driver, size_t(n)) : std::string();
            name = name.substr(name.find_last_of('/') + 1);
            out.push_back(vendor.empty() ? node : vendor + ":" + device + (name.empty() ? "" : " " + name));
        }
    }
    // A driver that draws without the kernel's render nodes.
    if (access("/dev/nvidia0", F_OK) == 0) out.push_back("nvidia0");
    return out;
}

// The name of the adapter behind an OpenGL renderer, read with the renderer's context current.
std::string GlRendererString()
{
    using GetString = const unsigned char* (*)(unsigned int);
    auto glGetStringFn = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!glGetStringFn || !SDL_GL_GetCurrentContext()) return std::string();
    const unsigned char* text = glGetStringFn(0x1F01); // the renderer's name
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

// A surface's pixels in main memory as the screen shows them.
ScreenImage ImageOf(const DisplaySurface& surface)
{
    ScreenImage image;
    image.bits = DisplaySurface::Access::Pixels(surface);
    image.pitch = DisplaySurface::Access::Pitch(surface);
    image.width = surface.Width();
    image.height = surface.Height();
    image.format = surface.Format();
    return image;
}

} // namespace

DisplayResult DirectDisplay::Create(std::shared_ptr<DirectDisplay>& out)
{
    out.reset();
    if (!detail::GetDesktop().videoUp) return kErrGeneric;
    out.reset(new DirectDisplay());
    out->mScreenFormat = DesktopFormat();
    return kDisplayOk;
}

DirectDisplay::~DirectDisplay() = default;

PixelFormat DirectDisplay::DesktopFormat()
{
    if (GetDisplaySetup().desktopFormat) return *GetDisplaySetup().desktopFormat;
    SDL_DisplayMode mode;
    if (detail::GetDesktop().videoUp && SDL_GetDesktopDisplayMode(0, &mode) == 0)
    {
        int bpp = 0;
        Uint32 r = 0, g = 0, b = 0, a = 0;
        if (SDL_PixelFormatEnumToMasks(mode.format, &bpp, &r, &g, &b, &a) && (bpp == 16 || bpp == 15))
            return PixelFormat{kPixelRgb, 16, r, g, b, 0};
        if (bpp == 32 && r == 0xFF && b == 0xFF0000) return PixelFormat::Bgr32();
    }
    return PixelFormat::Rgb32(); // 24-bit desktops keep their pixels in 32 bits
}

DisplayResult DirectDisplay::SetCooperativeLevel(WindowId window, bool exclusiveFullScreen, bool vsync,
                                                 bool accelerated)
{
    if (window == kNoWindow || !MainWindowExists()) return kErrInvalidParams;
    if (exclusiveFullScreen && GetDisplaySetup().faults.refuseMode) return kErrUnsupportedMode;
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    std::string error;
    if (!OpenScreen(accelerated ? ScreenRoad::Renderer : ScreenRoad::WindowSurface, vsync, error))
        return kErrGeneric;
    mWindow = window;
    mExclusive = exclusiveFullScreen;
    if (!mModeSet || !exclusiveFullScreen)
    {
        SDL_Window* w = detail::GetDesktop().window;
        SDL_GetWindowSize(w, &mScreenWidth, &mScreenHeight);
        mScreenFormat = DesktopFormat();
        mModeSet = false;
    }
    return kDisplayOk;
}

DisplayResult DirectDisplay::SetDisplayMode(int width, int height, int bits)
{
    if (!mExclusive) return kErrNoExclusiveMode;
    if (GetDisplaySetup().faults.refuseMode) return kErrUnsupportedMode;
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return kErrInvalidMode;
    if (bits != 16 && bits != 32) return kErrUnsupportedMode;
    mScreenWidth = width;
    mScreenHeight = height;
    if (bits == 16)
    {
        mScreenFormat = GetDisplaySetup().mode16Format;
    }
    else
    {
        PixelFormat desktop = DesktopFormat();
        mScreenFormat = desktop.bitCount == 32 ? desktop : PixelFormat::Rgb32();
    }
    mModeSet = true;
    return kDisplayOk;
}

DisplayResult DirectDisplay::RestoreDisplayMode()
{
    mModeSet = false;
    mScreenFormat = DesktopFormat();
    return kDisplayOk;
}

DisplayResult DirectDisplay::CreateSurface(const SurfaceDesc& descIn, std::shared_ptr<DisplaySurface>& out)
{
    out.reset();
    const DisplaySetup& setup = GetDisplaySetup();
    if (setup.faults.createSurface) return kErrOutOfVideoMemory;
    SurfaceDesc desc = descIn;
    if (desc.primary)
    {
        if (mWindow == kNoWindow) return kErrInvalidParams;
        if (mPrimary.lock()) return kErrInvalidParams; // one primary per display
        desc.width = mScreenWidth;
        desc.height = mScreenHeight;
        desc.format = mScreenFormat;
        desc.hasFormat = true;
    }
    else if (!desc.hasFormat)
    {
        desc.format = mScreenFormat;
        desc.hasFormat = true;
    }
    if (desc.width <= 0 || desc.height <= 0 || desc.width > kMaxSurfaceSide || desc.height > kMaxSurfaceSide)
        return kErrInvalidParams;
    if (desc.texture ? !IsTextureFormat(desc.format) : !IsDisplayFormat(desc.format))
        return kErrInvalidPixelFormat;
    bool video = !desc.texture && (desc.memory == SurfaceMemory::Video || desc.primary || desc.renderTarget);
    uint64_t bytes = uint64_t(desc.width) * uint64_t(desc.height) * uint64_t(desc.format.BytesPerPixel());
    if (video && detail::VideoBytesInUse() + bytes > setup.videoMemory) return kErrOutOfVideoMemory;

    std::shared_ptr<DisplaySurface> surface = DisplaySurface::Access::Make(desc);
    if (desc.renderTarget && !DisplaySurface::Access::MakeRenderTarget(*surface)) return kErrOutOfVideoMemory;
    if (desc.primary)
    {
        if (desc.backBuffers > 0)
        {
            SurfaceDesc back = desc;
            back.primary = false;
            back.backBuffers = 0;
            std::shared_ptr<DisplaySurface> backBuffer = DisplaySurface::Access::Make(back);
            if (back.renderTarget && !DisplaySurface::Access::MakeRenderTarget(*backBuffer))
                return kErrOutOfVideoMemory;
            DisplaySurface::Access::TrackChanges(*backBuffer);
            DisplaySurface::Access::SetBackBuffer(*surface, backBuffer);
        }
        mPrimary = surface;
        DisplaySurface::Access::TrackChanges(*surface);
    }
    out = surface;
    return kDisplayOk;
}

DisplayResult DirectDisplay::CreatePalette(const uint32_t* entries, bool withAlpha,
                                           std::shared_ptr<DisplayPalette>& out)
{
    out = std::make_shared<DisplayPalette>(entries, withAlpha);
    return kDisplayOk;
}

DisplayResult DirectDisplay::GetAvailableVidMem(uint32_t& total, uint32_t& free) const
{
    total = GetDisplaySetup().videoMemory;
    uint64_t used = detail::VideoBytesInUse();
    free = used >= total ? 0 : uint32_t(total - used);
    return kDisplayOk;
}

DisplayResult DirectDisplay::GetDeviceIdentifier(AdapterIdentity& out) const
{
    if (GetDisplaySetup().identity)
    {
        out = *GetDisplaySetup().identity;
        return kDisplayOk;
    }
    out = AdapterIdentity();
    // Known without a renderer (which would load the 3D libraries): the desktop layer and the
    // graphics devices the kernel offers to draw with.
    const char* video = SDL_GetCurrentVideoDriver();
    std::vector<std::string> devices = RenderDevices();
    std::string list;
    for (const std::string& device : devices)
        list += (list.empty() ? "" : ", ") + device;
    out.hasRenderDevice = !devices.empty();
    out.description = std::string(video ? video : "no video") + " display, " +
                      (devices.empty() ? std::string("no render device") : "render device " + list);
    // The driver is the library that draws: SDL's own file.
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&SDL_CreateRenderer), &info) && info.dli_fname)
        out.driver = info.dli_fname;
    NameToGuid(out.description, out.guid);
    return kDisplayOk;
}

DisplayResult DirectDisplay::DescribeRenderer(AdapterIdentity& identity)
{
    if (GetDisplaySetup().identity) return kDisplayOk; // a test's adapter stands as it is
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    std::string error;
    if (!ScreenHasRenderer() && (!MainWindowExists() || !OpenScreen(ScreenRoad::Renderer, false, error)))
        return kErrGeneric;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(detail::GetDesktop().renderer, &info) != 0) return kErrGeneric;
    identity.renderer = info.name ? info.name : "";
    identity.accelerated = (info.flags & SDL_RENDERER_ACCELERATED) != 0;
    std::string adapter = identity.renderer == "opengl" || identity.renderer == "opengles2"
                              ? GlRendererString()
                              : std::string();
    const char* video = SDL_GetCurrentVideoDriver();
    identity.description = (adapter.empty() ? "SDL " + identity.renderer + " renderer" : adapter) + " (" +
                           (video ? video : "no video") + ")";
    return kDisplayOk;
}

DisplayResult DirectDisplay::GetMonitorFrequency(int& hertz) const
{
    if (GetDisplaySetup().refreshRate)
        hertz = *GetDisplaySetup().refreshRate;
    else
        hertz = GetDesktopRefreshRate();
    return hertz > 0 ? kDisplayOk : kErrUnsupported;
}

DisplayResult DirectDisplay::GetScanLine(int& line) const
{
    int hertz = 0;
    if (GetMonitorFrequency(hertz) < 0) hertz = 60;
    uint64_t frequency = Clock::Get().CounterFrequency();
    uint64_t period = frequency / uint64_t(hertz);
    if (period == 0) period = 1;
    uint64_t phase = Clock::Get().Counter() % period;
    // The last twentieth of a refresh is the vertical blank.
    uint64_t visible = period - period / 20;
    if (phase >= visible)
    {
        line = 0;
        return kErrVerticalBlankInProgress;
    }
    line = int(phase * uint64_t(std::max(mScreenHeight, 1)) / visible);
    return kDisplayOk;
}

DisplayResult DirectDisplay::WaitForVerticalBlank() const
{
    int hertz = 0;
    if (GetMonitorFrequency(hertz) < 0) hertz = 60;
    uint32_t period = uint32_t(1000 / hertz);
    uint32_t now = Clock::Get().Ticks();
    uint32_t wait = period - now % std::max<uint32_t>(period, 1);
    if (wait > 0 && wait <= period) Clock::Get().Sleep(wait);
    return kDisplayOk;
}

DisplayResult DirectDisplay::FlipToGDISurface()
{
    PresentPending();
    return kDisplayOk;
}

void DirectDisplay::PresentPending()
{
    if (!detail::OnMainThread()) return;
    std::shared_ptr<DisplaySurface> primary = mPrimary.lock();
    if (!primary || primary->IsLost() || primary->IsLocked()) return;
    std::vector<SurfaceRect> changed = DisplaySurface::Access::TakeChanged(*primary);
    if (changed.empty()) return;
    // A picture with the renderer is shown from its texture, never read back.
    if (DisplaySurface::Access::OnGpu(*primary) && ScreenHasRenderer())
    {
        PresentScreenTexture(DisplaySurface::Access::Texture(*primary), primary->Width(), primary->Height());
        return;
    }
    PresentScreen(ImageOf(*primary), changed);
}

DisplayResult DirectDisplay::PresentSurface(DisplaySurface& surface)
{
    if (GetDisplaySetup().faults.blt) return kErrGeneric; // it is the frame's blit to the screen
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    if (surface.IsLost()) return kErrSurfaceLost;
    if (surface.IsLocked()) return kErrSurfaceBusy;
    if (!ScreenHasRenderer()) return kErrGeneric;
    if (surface.Desc().renderTarget)
    {
        DisplayResult hr = DisplaySurface::Access::MakeGpuValid(surface);
        if (hr < 0) return hr;
        return PresentScreenTexture(DisplaySurface::Access::Texture(surface), surface.Width(),
                                    surface.Height())
                   ? kDisplayOk
                   : kErrGeneric;
    }
    const SurfaceRect whole{0, 0, surface.Width(), surface.Height()};
    return PresentScreen(ImageOf(surface), {whole}) ? kDisplayOk : kErrGeneric;
}

std::string DirectDisplay::RendererName() const
{
    return ScreenRendererName();
}

bool DirectDisplay::PresentsThroughRenderer() const
{
    return ScreenHasRenderer();
}

DisplayResult DirectDisplay::CreateDevice(std::shared_ptr<DisplaySurface> target,
                                          std::unique_ptr<Device3D>& out)
{
    out.reset();
    if (GetDisplaySetup().faults.createDevice) return kErrInvalidDevice;
    if (!target || !target->Desc().renderTarget || !detail::OnMainThread()) return kErrInvalidDevice;
    SDL_Renderer* r = detail::GetDesktop().renderer;
    if (!r || !SDL_RenderTargetSupported(r)) return kErrInvalidDevice;
    return Device3D::Access::Make(std::move(target), out);
}

} // namespace platform

#include "platform/window/DesktopIdle.h"

#include "platform/window/SdlDesktop.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace platform
{

namespace
{

std::function<bool(ScreenSaverState&)> gSource;

// The X server's screen saver: its time-out from the server's settings, its state and the idle
// time from the screen saver extension.
bool QueryX11(ScreenSaverState& state)
{
    SDL_Window* window = detail::GetDesktop().window;
    if (!window) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* display = info.info.x11.display;
    int eventBase = 0, errorBase = 0;
    if (!display || !XScreenSaverQueryExtension(display, &eventBase, &errorBase)) return false;
    XScreenSaverInfo* saver = XScreenSaverAllocInfo();
    if (!saver) return false;
    bool ok = XScreenSaverQueryInfo(display, DefaultRootWindow(display), saver) != 0;
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    if (ok)
    {
        XGetScreenSaver(display, &timeout, &interval, &blanking, &exposures);
        state.timeoutSeconds = timeout;
        state.active = timeout > 0 && saver->state != ScreenSaverDisabled;
        state.running = saver->state == ScreenSaverOn;
        state.idleMs = uint32_t(saver->idle);
    }
    XFree(saver);
    return ok;
}

} // namespace

bool GetScreenSaverState(ScreenSaverState& state)
{
    if (gSource) return gSource(state);
    return detail::GetDesktop().videoUp && QueryX11(state);
}

void SetScreenSaverStateSource(std::function<bool(ScreenSaverState&)> source)
{
    gSource = std::move(source);
}

} // namespace platform

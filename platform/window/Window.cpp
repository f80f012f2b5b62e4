#include "platform/window/Window.h"

#include "platform/display/Screen.h"
#include "platform/files/TextEncoding.h"
#include "platform/window/Messages.h"
#include "platform/window/PrivateDesktop.h"
#include "platform/window/SdlDesktop.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform
{

struct CursorData
{
    SDL_Cursor* cursor = nullptr;
    bool system = false;
};

namespace detail
{

Desktop& GetDesktop()
{
    static Desktop desktop;
    return desktop;
}

bool OnVideoThread()
{
    Desktop& d = GetDesktop();
    return d.mainThread != 0 && SDL_ThreadID() == d.mainThread;
}

void WindowToGame(int& x, int& y)
{
    // The renderer's logical size has already mapped the event to the screen image; mapping it
    // again would shrink every position by the scale once more. What is left is the bars.
    Desktop& d = GetDesktop();
    if (!d.fullscreen || d.screenWidth <= 0 || d.screenHeight <= 0) return;
    if (!d.renderer)
    {
        // As the renderer maps them: from the image's corner, divided by the scale, truncated.
        if (d.viewportScale <= 0.0f) return;
        x = int(float(x - d.viewport.x) / d.viewportScale);
        y = int(float(y - d.viewport.y) / d.viewportScale);
    }
    x = std::clamp(x, 0, d.screenWidth - 1);
    y = std::clamp(y, 0, d.screenHeight - 1);
}

} // namespace detail

using detail::GetDesktop;

namespace
{

// The main window's X11 window, for hiding it from another thread. A renderer may make the
// window anew below the same SDL window: it is taken again when the window is shown.
void NoteX11Window()
{
    detail::Desktop& d = GetDesktop();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    d.x11Window = d.window && SDL_GetWindowWMInfo(d.window, &info) && info.subsystem == SDL_SYSWM_X11
                      ? info.info.x11.window
                      : 0;
}

std::mutex gAnswererLock;
MessageBoxAnswerer gAnswerer;
std::function<bool(const std::string&)> gURLOpener;
CursorData gSystemCursors[10];

int DisplayOfWindow()
{
    SDL_Window* window = GetDesktop().window;
    int index = window ? SDL_GetWindowDisplayIndex(window) : 0;
    return index < 0 ? 0 : index;
}

// The mode of the desktop the main window is on; false while the video is down.
bool DesktopMode(SDL_DisplayMode& mode)
{
    return GetDesktop().videoUp && SDL_GetDesktopDisplayMode(DisplayOfWindow(), &mode) == 0;
}

} // namespace

bool InitVideo(std::string& error)
{
    detail::Desktop& d = GetDesktop();
    if (d.videoUp) return true;
    auto fail = [&](const std::string& why)
    {
        d.videoError = why;
        error = GetVideoError();
        return false;
    };
    // Without a desktop to show on, the desktop layer would fall back to drawing off screen;
    // the program reports the missing display instead. A driver chosen on purpose (tests use
    // the dummy one) is taken as it is.
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    bool explicitDriver = chosen && *chosen;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!explicitDriver && !(x11 && *x11) && !(wayland && *wayland))
        return fail("neither DISPLAY nor WAYLAND_DISPLAY is set");
    // SIGINT and SIGTERM become a close through the program's own handler, whatever their
    // disposition at the start: SDL's would leave them ignored when they came so.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    CatchCloseSignals();
    // A window's own surface is memory the program draws into; left to itself the desktop
    // layer would show it through an OpenGL texture, loading the 3D libraries for a copy.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return fail(SDL_GetError());
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!explicitDriver && driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy"))
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return fail("the desktop could not be reached");
    }
    d.videoUp = true;
    d.mainThread = SDL_ThreadID();
    d.keysDown.reset();
    d.keyModifiers = 0;
    return true;
}

bool DisplayNameIsRemote(const std::string& display)
{
    size_t colon = display.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string host = display.substr(0, colon);
    if (host.find('/') != std::string::npos) return false; // a socket's path
    return host != "unix";
}

bool DesktopIsRemote()
{
    const char* display = std::getenv("DISPLAY");
    return display && DisplayNameIsRemote(display);
}

bool VideoAvailable()
{
    return GetDesktop().videoUp;
}

std::string GetVideoError()
{
    detail::Desktop& d = GetDesktop();
    return d.videoUp ? std::string() : "No display available (" + d.videoError + ")";
}

void ShutdownVideo()
{
    detail::Desktop& d = GetDesktop();
    if (!d.videoUp) return;
    DestroyMainWindow();
    for (CursorData& c : gSystemCursors)
    {
        if (c.cursor) SDL_FreeCursor(c.cursor);
        c.cursor = nullptr;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    d.videoUp = false;
    d.keysDown.reset();
    d.keyModifiers = 0;
}

void GetDesktopSize(int& width, int& height)
{
    width = height = 0;
    SDL_DisplayMode mode;
    if (DesktopMode(mode))
    {
        width = mode.w;
        height = mode.h;
    }
}

int GetDesktopBitsPerPixel()
{
    SDL_DisplayMode mode;
    if (!DesktopMode(mode)) return 0;
    int bits = int(SDL_BITSPERPIXEL(mode.format));
    return bits == 24 ? 32 : bits; // a 24-bit desktop stores its pixels in 32 bits
}

int GetDesktopRefreshRate()
{
    SDL_DisplayMode mode;
    if (!DesktopMode(mode)) return 0;
    return mode.refresh_rate;
}

void GetWorkArea(int& x, int& y, int& width, int& height)
{
    x = y = width = height = 0;
    SDL_Rect r;
    if (GetDesktop().videoUp && SDL_GetDisplayUsableBounds(DisplayOfWindow(), &r) == 0)
    {
        x = r.x;
        y = r.y;
        width = r.w;
        height = r.h;
    }
}

bool CreateMainWindow(const WindowOptions& options, std::string& error)
{
    detail::Desktop& d = GetDesktop();
    if (!d.videoUp)
    {
        error = GetVideoError();
        return false;
    }
    int displayIndex = DisplayOfWindow(); // the new window goes where the old one was
    DestroyMainWindow();
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Desktops offer the maximise button only to a window whose size may change.
    if (options.maximizable && !options.fullscreen) flags |= SDL_WINDOW_RESIZABLE;
    int x = options.placed ? options.x : int(SDL_WINDOWPOS_CENTERED);
    int y = options.placed ? options.y : int(SDL_WINDOWPOS_CENTERED);
    int width = options.clientWidth, height = options.clientHeight;
    SDL_Rect display;
    if (options.fullscreen && SDL_GetDisplayBounds(displayIndex, &display) == 0)
    {
        // Full screen is made covering the display: a desktop without a window manager leaves a
        // window where and as large as it was made, and takes no clicks past that size.
        x = display.x;
        y = display.y;
        width = display.w;
        height = display.h;
    }
    d.window = SDL_CreateWindow(Cp1252ToUtf8(options.title).c_str(), x, y, width, height, flags);
    if (!d.window)
    {
        error = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return false;
    }
    NoteX11Window();
    d.fullscreen = options.fullscreen;
    d.clientWidth = options.clientWidth;
    d.clientHeight = options.clientHeight;
    d.mouseInside = false;
    if (options.iconPixels && options.iconWidth > 0 && options.iconHeight > 0)
    {
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(options.iconPixels), options.iconWidth, options.iconHeight, 32,
            options.iconWidth * 4, SDL_PIXELFORMAT_ARGB8888);
        if (icon)
        {
            SDL_SetWindowIcon(d.window, icon); // the desktop keeps its own copy
            SDL_FreeSurface(icon);
        }
    }
    return true;
}

void DestroyMainWindow()
{
    detail::Desktop& d = GetDesktop();
    CloseScreen(); // the screen's renderer and texture belong to the window
    d.x11Window = 0;
    if (d.window) SDL_DestroyWindow(d.window);
    d.window = nullptr;
    d.fullscreen = false;
    d.mouseInside = false;
}

bool MainWindowExists()
{
    return GetDesktop().window != nullptr;
}

bool MainWindowIsFullscreen()
{
    return GetDesktop().window && GetDesktop().fullscreen;
}

bool MainWindowCanMaximize()
{
    SDL_Window* window = GetDesktop().window;
    return window && !GetDesktop().fullscreen && (SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE);
}

void ShowMainWindow(bool show)
{
    if (!detail::OnVideoThread())
    {
        // A crash reported on another thread: the main thread may be stopped inside SDL.
        if (!show) PrivateDesktop::HideMainWindow();
        return;
    }
    SDL_Window* window = GetDesktop().window;
    if (!window) return;
    if (show)
    {
        NoteX11Window();
        SDL_ShowWindow(window);
    }
    else
        SDL_HideWindow(window);
}

void RaiseMainWindow()
{
    SDL_Window* window = GetDesktop().window;
    if (!window) return;
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}

bool MainWindowIsMinimized()
{
    SDL_Window* window = GetDesktop().window;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

bool MainWindowHasFocus()
{
    SDL_Window* window = GetDesktop().window;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS);
}

void SetMainWindowTitle(const std::string& title)
{
    if (SDL_Window* window = GetDesktop().window) SDL_SetWindowTitle(window, Cp1252ToUtf8(title).c_str());
}

bool GetMainWindowPosition(int& x, int& y)
{
    SDL_Window* window = GetDesktop().window;
    if (!window || GetDesktop().fullscreen) return false;
    SDL_GetWindowPosition(window, &x, &y);
    return true;
}

void MoveMainWindow(int x, int y, int clientWidth, int clientHeight)
{
    SDL_Window* window = GetDesktop().window;
    if (!window || GetDesktop().fullscreen) return;
    SDL_SetWindowSize(window, clientWidth, clientHeight);
    SDL_SetWindowPosition(window, x, y);
}

void GetWindowBorders(int& left, int& top, int& right, int& bottom)
{
    left = top = right = bottom = 0;
    if (SDL_Window* window = GetDesktop().window)
        SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right);
}

CursorHandle GetSystemCursor(SystemCursor kind)
{
    static const SDL_SystemCursor kinds[] = {SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,
                                             SDL_SYSTEM_CURSOR_NO,       SDL_SYSTEM_CURSOR_SIZEALL,
                                             SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZENS,
                                             SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZEWE,
                                             SDL_SYSTEM_CURSOR_WAIT,     SDL_SYSTEM_CURSOR_HAND};
    CursorData& data = gSystemCursors[int(kind)];
    if (!data.cursor && GetDesktop().videoUp && detail::OnVideoThread())
        data.cursor = SDL_CreateSystemCursor(kinds[int(kind)]);
    data.system = true;
    return &data;
}

CursorHandle CreateMaskCursor(const uint8_t* andMask, const uint8_t* xorMask, int width, int height, int hotX,
                              int hotY)
{
    // The desktop layer's masks: mask 1 draws, data chooses black (1) or white (0); mask 0
    // with data 1 inverts. So mask = NOT and, data = NOT (and XOR xor).
    size_t bytes = size_t(width / 8) * size_t(height);
    std::vector<uint8_t> data(bytes), mask(bytes);
    for (size_t i = 0; i < bytes; ++i)
    {
        mask[i] = uint8_t(~andMask[i]);
        data[i] = uint8_t(~(andMask[i] ^ xorMask[i]));
    }
    CursorData* cursor = new CursorData;
    if (GetDesktop().videoUp)
        cursor->cursor = SDL_CreateCursor(data.data(), mask.data(), width, height, hotX, hotY);
    return cursor;
}

void DestroyCursor(CursorHandle cursor)
{
    if (!cursor || cursor->system) return;
    if (cursor->cursor) SDL_FreeCursor(cursor->cursor);
    delete cursor;
}

void SetCursor(CursorHandle cursor)
{
    if (!GetDesktop().videoUp || !detail::OnVideoThread()) return;
    if (!cursor || !cursor->cursor)
    {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_SetCursor(cursor->cursor);
    SDL_ShowCursor(SDL_ENABLE);
}

bool LastMousePosition(int& x, int& y)
{
    detail::Desktop& d = GetDesktop();
    x = d.mouseX;
    y = d.mouseY;
    return d.mouseInside;
}

bool PointerKnownOnlyFromMoves()
{
    const char* driver = GetDesktop().videoUp ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
}

void SetMouseCapture(bool capture)
{
    if (GetDesktop().window) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

bool SetClipboardText(const std::string& text)
{
    // Off the main thread (a crash report) the crash windows hold the text on the clipboard.
    return GetDesktop().videoUp && detail::OnVideoThread() &&
           SDL_SetClipboardText(Cp1252ToUtf8(text).c_str()) == 0;
}

bool GetClipboardText(std::string& text)
{
    text.clear();
    if (!GetDesktop().videoUp || !SDL_HasClipboardText()) return false;
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return false;
    text = Utf8ToCp1252(utf8);
    SDL_free(utf8);
    return true;
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    std::lock_guard<std::mutex> guard(gAnswererLock);
    gAnswerer = std::move(answerer);
}

int MessageBox(const std::string& text, const std::string& title, unsigned flags)
{
    {
        std::lock_guard<std::mutex> guard(gAnswererLock);
        if (gAnswerer) return gAnswerer(text, title, flags);
    }
    bool yesNo = (flags & 0xF) == MB_YESNO;
    bool okCancel = (flags & 0xF) == MB_OKCANCEL;
    if (GetDesktop().videoUp)
    {
        std::string utf8Text = Cp1252ToUtf8(text), utf8Title = Cp1252ToUtf8(title);
        SDL_MessageBoxButtonData buttons[2];
        int count = 1;
        if (yesNo)
        {
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
            buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
            count = 2;
        }
        else if (okCancel)
        {
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
            buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
            count = 2;
        }
        else
        {
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                          IDOK, "OK"};
        }
        unsigned icon = flags & 0xF0;
        Uint32 kind = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
                      : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                               : SDL_MESSAGEBOX_INFORMATION;
        SDL_MessageBoxData box = {
            kind, GetDesktop().window, utf8Title.c_str(), utf8Text.c_str(), count, buttons, nullptr};
        int answer = 0;
        if (SDL_ShowMessageBox(&box, &answer) == 0 && answer > 0) return answer;
    }
    // No box can show: the player still learns what happened on the terminal.
    std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(title).c_str(), Cp1252ToUtf8(text).c_str());
    return yesNo ? IDYES : IDOK;
}

void AllowScreenSaver(bool allow)
{
    if (!GetDesktop().videoUp) return;
    if (allow)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

bool ScreenSaverAllowed()
{
    return GetDesktop().videoUp && SDL_IsScreenSaverEnabled();
}

void SetURLOpener(std::function<bool(const std::string& url)> opener)
{
    std::lock_guard<std::mutex> guard(gAnswererLock);
    gURLOpener = std::move(opener);
}

bool OpenURL(const std::string& url)
{
    {
        std::lock_guard<std::mutex> guard(gAnswererLock);
        if (gURLOpener) return gURLOpener(url);
    }
    return GetDesktop().videoUp && SDL_OpenURL(url.c_str()) == 0;
}

} // namespace platform

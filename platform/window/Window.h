#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The desktop: the program's one main window (windowed or full screen), cursors, mouse
// capture, clipboard text, blocking message boxes, URL opening, desktop size and work area.
// Every call is for the main thread, except LastMousePosition. Text is Windows-1252.
namespace platform
{

// Brings the desktop layer up; idempotent. False with a reason when there is no display
// (then no window can be made, and message boxes go to stderr).
bool InitVideo(std::string& error);
bool VideoAvailable();
// Why InitVideo failed ("No display available (...)"); empty while the video is up.
std::string GetVideoError();
// Closes every window and the desktop layer.
void ShutdownVideo();

// Desktop size in pixels and its bits per pixel; 0 before InitVideo succeeded.
void GetDesktopSize(int& width, int& height);
int GetDesktopBitsPerPixel();
// The refresh rate of the main window's display (or the first display) in Hz; 0 when unknown.
int GetDesktopRefreshRate();
// The part of the desktop not taken by panels.
void GetWorkArea(int& x, int& y, int& width, int& height);
// True when the desktop is reached over the network: an X display named with a host before its
// number ("host:0", or "localhost:10.0" as a remote shell forwards one). A display of this
// machine (":0", "unix:0", a socket path) is local, and so is a desktop without a DISPLAY (a
// Wayland one, or none). Any thread; needs no InitVideo.
bool DesktopIsRemote();
bool DisplayNameIsRemote(const std::string& display);

struct WindowOptions
{
    std::string title;
    int clientWidth = 640;
    int clientHeight = 480;
    bool fullscreen = false;
    // Window position of the client area's top-left; centred when not given.
    bool placed = false;
    int x = 0;
    int y = 0;
    // A window offers the desktop's maximise button; its size stays the client size (a drag of
    // its border is undone), and a maximise arrives as WM_SIZE SIZE_MAXIMIZED.
    bool maximizable = false;
    // The window's icon: iconWidth x iconHeight pixels 0xAARRGGBB, row by row; none when empty.
    const uint32_t* iconPixels = nullptr;
    int iconWidth = 0;
    int iconHeight = 0;
};

// Makes the main window (replacing an existing one), hidden until ShowMainWindow.
// False with a reason when it cannot be made.
bool CreateMainWindow(const WindowOptions& options, std::string& error);
void DestroyMainWindow();
bool MainWindowExists();
bool MainWindowIsFullscreen();
// Whether the window offers the desktop's maximise button.
bool MainWindowCanMaximize();
void ShowMainWindow(bool show);
// Brings the window to the front and gives it the keyboard; restores it when minimised.
void RaiseMainWindow();
bool MainWindowIsMinimized();
bool MainWindowHasFocus();
void SetMainWindowTitle(const std::string& title);
// Position of the client area on the desktop (x, y) while windowed.
bool GetMainWindowPosition(int& x, int& y);
// Moves the windowed main window's client area to (x, y) and gives it that size.
void MoveMainWindow(int x, int y, int clientWidth, int clientHeight);
// Size of the window frame around the client area (left, top, right, bottom).
void GetWindowBorders(int& left, int& top, int& right, int& bottom);

// Cursors. A system cursor by kind, or one made from 1-bit masks as the desktop of the
// framework's data defines them: per pixel, AND 0 XOR 0 black, AND 0 XOR 1 white, AND 1 XOR 0
// transparent, AND 1 XOR 1 inverted; rows of width / 8 bytes, most significant bit first.
enum class SystemCursor
{
    Arrow,
    IBeam,
    No,
    SizeAll,
    SizeNESW,
    SizeNS,
    SizeNWSE,
    SizeWE,
    Wait,
    Hand,
};
struct CursorData;
using CursorHandle = CursorData*;
CursorHandle GetSystemCursor(SystemCursor kind);
CursorHandle CreateMaskCursor(const uint8_t* andMask, const uint8_t* xorMask, int width, int height, int hotX,
                              int hotY);
void DestroyCursor(CursorHandle cursor);
// Shows this cursor over the window; nullptr hides the cursor.
void SetCursor(CursorHandle cursor);

// The cursor position in the main window's client area (game coordinates); false when the
// cursor is not over the window. Any thread: the last position the message pump saw.
bool LastMousePosition(int& x, int& y);
// True when the desktop tells where the pointer is only with the first move it reports over a
// new window (an X or Wayland desktop: a window made under a resting pointer hears of it so);
// false on the headless desktop, whose pointer is where its events put it (at first 0, 0).
bool PointerKnownOnlyFromMoves();
// Keeps mouse events coming while a button is held outside the window.
void SetMouseCapture(bool capture);

// Clipboard text, Windows-1252 inside. SetClipboardText is false when the desktop refused it;
// GetClipboardText is false when the clipboard holds no text.
bool SetClipboardText(const std::string& text);
bool GetClipboardText(std::string& text);

// Message boxes. flags and results use the framework's numbers below.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// Blocks until answered. Without a display the box goes to stderr as "title: text" and the
// first button's answer is returned (IDOK or IDYES), unless an answerer is installed.
int MessageBox(const std::string& text, const std::string& title, unsigned flags);
// Installs an answerer that replaces every box (tests); an empty function removes it.
using MessageBoxAnswerer =
    std::function<int(const std::string& text, const std::string& title, unsigned flags)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// The desktop's screen saver (and its display power saving) may start while the program runs,
// or is held off; held off until allowed. Without a display there is nothing to allow.
void AllowScreenSaver(bool allow);
bool ScreenSaverAllowed();

// Opens a web page in the desktop's browser; false when that could not be started.
bool OpenURL(const std::string& url);
// Installs an opener that replaces the browser (tests); an empty function removes it.
void SetURLOpener(std::function<bool(const std::string& url)> opener);

} // namespace platform

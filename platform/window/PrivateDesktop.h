#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The desktop reached over a connection of its own: plain windows that show a picture the
// caller draws (0xAARRGGBB pixels) and report keys, the pointer and closing. It shares nothing
// with the main window (no SDL, no lock of the rest of the program), so any one thread may use
// it, also while the main thread is stopped somewhere inside the desktop layer: the crash
// windows run on it. One object is used by one thread at a time. X11 only (a Wayland desktop
// reaches it through its X server); without one, Connect fails.
namespace platform
{

class PrivateDesktop
{
public:
    struct Area
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    enum class EventKind
    {
        None,
        Key,        // a key pressed: key is its virtual-key code (VK_RETURN, VK_ESCAPE, VK_TAB, the
                    // arrows, ...) or 0, character what it types (Windows-1252, 32 or above) or 0
        ButtonDown, // button 1 left, 2 middle, 3 right; x, y in the window
        ButtonUp,
        PointerMove, // x, y in the window, while a button is held
        Wheel,       // wheel: notches away from the user (positive) or towards
        CloseAsked,  // the desktop's close button of the window
        Exposed,     // the window must be shown again (ShowPicture)
    };
    struct Event
    {
        EventKind kind = EventKind::None;
        int window = 0;
        int key = 0;
        char character = 0;
        bool shift = false;
        bool ctrl = false;
        int button = 0;
        int x = 0;
        int y = 0;
        int wheel = 0;
    };

    // Hides the program's main window from any thread, over a connection of its own (the
    // main thread may be stopped inside the desktop layer).
    static void HideMainWindow();

    // True when a desktop is named (DISPLAY) and the program was not told to run headless
    // (SDL_VIDEODRIVER dummy or offscreen, as the tests do). Connect may still fail.
    static bool Available();

    PrivateDesktop();
    ~PrivateDesktop(); // closes every window and the connection
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // Opens the connection; false when the desktop cannot be reached (nothing else works then).
    bool Connect();

    // The part of the screen not taken by the desktop's panels (the whole screen without a
    // window manager that says so).
    Area WorkArea() const;

    // A window with a title (Windows-1252) whose client area is area, shown above the others
    // and given the keyboard. Returns its id (1 or more), 0 when it cannot be made.
    int OpenWindow(const std::string& title, const Area& area);
    void CloseWindow(int window);
    // Shows width x height pixels, pitch pixels a row, as the window's client area.
    void ShowPicture(int window, const uint32_t* pixels, int width, int height, int pitch);

    // The next event of any window, waiting at most waitMs (real time) for one; false when
    // none came. Requests for the clipboard are answered here and are not events.
    bool NextEvent(Event& event, uint32_t waitMs);

    // The desktop's clipboard holds this text while a window of this connection is open.
    void OfferClipboardText(const std::string& text);

    struct Impl;

private:
    std::unique_ptr<Impl> mImpl;
};

} // namespace platform

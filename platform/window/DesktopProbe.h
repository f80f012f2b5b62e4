#pragma once

#include <cstdint>
#include <memory>
#include <string>

// What a test sees of the desktop over a connection of its own: the windows shown, by their
// titles, where they lie, and keys and clicks made as the player makes them. With the desktop's
// test extension (XTEST) the input goes where the desktop sends the player's own: keys to the
// window that has the keyboard; without it, keys are sent straight to the newest window shown.
namespace platform
{

class DesktopProbe
{
public:
    struct Shown
    {
        std::string title;
        uint64_t id = 0;
        int x = 0; // the client area on the screen
        int y = 0;
        int width = 0;
        int height = 0;
    };

    DesktopProbe();
    ~DesktopProbe();
    DesktopProbe(const DesktopProbe&) = delete;
    DesktopProbe& operator=(const DesktopProbe&) = delete;

    // False when no desktop can be reached.
    bool Connect();
    bool HasTestExtension() const;
    void ScreenSize(int& width, int& height) const;

    // Waits up to waitMs (real time) for a shown window of that title (Windows-1252).
    bool WaitForWindow(const std::string& title, Shown& found, uint32_t waitMs);
    // Waits up to waitMs for no window of that title to be shown.
    bool WaitUntilGone(const std::string& title, uint32_t waitMs);

    // A key (a virtual-key code: VK_RETURN, VK_ESCAPE, VK_TAB, ...) pressed and let go, with
    // Shift or Ctrl held.
    void PressKey(int virtualKey, bool shift = false, bool ctrl = false);
    // Characters typed (letters, digits, blanks and the punctuation of the keyboard).
    void Type(const std::string& text);
    // The left button pressed and let go at a point of the screen.
    void Click(int x, int y);
    // The pointer moved to a point of the screen.
    void MovePointer(int x, int y);

    struct Impl;

private:
    std::unique_ptr<Impl> mImpl;
};

} // namespace platform

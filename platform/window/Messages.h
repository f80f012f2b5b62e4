#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Window messages: the desktop's events turned into messages numbered as the framework's
// window procedure expects (WM_KEYDOWN = 0x100 ...), with virtual-key codes, 8-bit
// Windows-1252 characters, click counts as double-click messages (left and right button;
// the middle button only presses), wheel deltas of 120 per notch, activation, minimise, move,
// close, timers and posted private messages. SIGINT and SIGTERM arrive as a close of the main
// window (CatchCloseSignals).
namespace platform
{

// Windows. The main window and an invisible helper that only receives posted messages.
using WindowId = uint32_t;
constexpr WindowId kNoWindow = 0;
constexpr WindowId kMainWindow = 1;
constexpr WindowId kInvisibleWindow = 2;

// Message numbers.
constexpr uint32_t WM_CREATE = 0x0001; // the application's window procedure hears of a new main window
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ENABLE = 0x000A;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUERYOPEN = 0x0013;
constexpr uint32_t WM_SYSCOLORCHANGE = 0x0015;
constexpr uint32_t WM_ENDSESSION = 0x0016;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCHAR = 0x0106;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_USER = 0x0400;

// WM_SIZE kinds (wParam).
constexpr uint32_t SIZE_RESTORED = 0;
constexpr uint32_t SIZE_MINIMIZED = 1;
constexpr uint32_t SIZE_MAXIMIZED = 2;
// WM_SYSCOMMAND commands (wParam).
constexpr uint32_t SC_NEXTWINDOW = 0xF040;
constexpr uint32_t SC_PREVWINDOW = 0xF050;
constexpr uint32_t SC_CLOSE = 0xF060;
constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;

// Mouse message wParam flags.
constexpr uint32_t MK_LBUTTON = 0x01;
constexpr uint32_t MK_RBUTTON = 0x02;
constexpr uint32_t MK_SHIFT = 0x04;
constexpr uint32_t MK_CONTROL = 0x08;
constexpr uint32_t MK_MBUTTON = 0x10;

constexpr int WHEEL_DELTA = 120;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A', '0').
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60; // to VK_NUMPAD9 = 0x69
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70; // to VK_F24 = 0x87
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F8 = 0x77;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_OEM_1 = 0xBA;      // ;:
constexpr int VK_OEM_PLUS = 0xBB;   // =+
constexpr int VK_OEM_COMMA = 0xBC;  // ,<
constexpr int VK_OEM_MINUS = 0xBD;  // -_
constexpr int VK_OEM_PERIOD = 0xBE; // .>
constexpr int VK_OEM_2 = 0xBF;      // /?
constexpr int VK_OEM_3 = 0xC0;      // `~
constexpr int VK_OEM_4 = 0xDB;      // [{
constexpr int VK_OEM_5 = 0xDC;      // backslash |
constexpr int VK_OEM_6 = 0xDD;      // ]}
constexpr int VK_OEM_7 = 0xDE;      // '"

struct Message
{
    WindowId window = kNoWindow;
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    uint32_t time = 0; // tick count when it was made
    int x = 0;         // cursor position in the main window's client area when it was made
    int y = 0;
};

// Packs two 16-bit halves as mouse and size messages do: low = x or width, high = y or height.
constexpr int64_t MakeLParam(int low, int high)
{
    return int64_t(uint32_t(uint16_t(low)) | (uint32_t(uint16_t(high)) << 16));
}
// The signed halves of a packed pair.
constexpr int LowWord(int64_t value)
{
    return int16_t(uint16_t(value & 0xFFFF));
}
constexpr int HighWord(int64_t value)
{
    return int16_t(uint16_t((value >> 16) & 0xFFFF));
}

// From now on SIGINT and SIGTERM come as a WM_CLOSE of the main window, also when the program
// was started with them ignored (a script's job in the background is); a second one ends the
// program at once. InitVideo calls it.
void CatchCloseSignals();

// Takes the next message: posted messages and desktop events first in arrival order, then a
// due timer. False when none is waiting. Main thread only.
bool PeekMessage(Message& message);
// Blocks until a desktop event arrives or ms milliseconds have passed; returns at once when a
// message already waits. Under a test's clock, or without a shown main window, it sleeps ms
// on the clock instead. Main thread.
void WaitForMessage(uint32_t ms);
// Queues a message for PeekMessage; any thread.
void PostMessage(WindowId window, uint32_t message, uint64_t wParam = 0, int64_t lParam = 0);
// A message number of its own for a name, 0xC000 or above; the same name gives the same number.
uint32_t RegisterWindowMessage(std::string_view name);

// Sends WM_TIMER (wParam = id) to the window each time interval ms have passed, at most one
// waiting at a time. Setting an id again restarts it.
void SetTimer(WindowId window, uint32_t id, uint32_t intervalMs);
void KillTimer(WindowId window, uint32_t id);

// Tick count of the last keyboard or mouse event taken from the desktop (0 before any).
uint32_t LastInputTicks();

// Synthetic desktop events for tests: each goes through the same translation as a real one.
// Main thread; the video module must be up (InitVideo).
namespace synthetic
{
// keyName: a key name as the desktop layer knows it ("A", "Return", "Left Alt", "F4", "Keypad 7").
void Key(bool down, std::string_view keyName, bool repeat = false);
// UTF-8 text typed by the player.
void Text(std::string_view utf8);
// button: 1 left, 2 middle, 3 right; clicks: 1 single, 2 double, ...
void MouseButton(int button, bool down, int clicks, int x, int y);
void MouseMove(int x, int y);
// Notches away from the player (positive) or towards (negative).
void Wheel(int notches);
enum class WindowEvent
{
    FocusGained,
    FocusLost,
    Minimized,
    Restored,
    Maximized,
    Moved,
    Close,
    Exposed,
    Quit, // what SIGINT and SIGTERM produce
};
void Window(WindowEvent event, int x = 0, int y = 0);
} // namespace synthetic

} // namespace platform

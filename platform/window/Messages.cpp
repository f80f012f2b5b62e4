#include "platform/window/Messages.h"

#include "platform/files/AsciiCase.h"
#include "platform/files/TextEncoding.h"
#include "platform/system/Clock.h"
#include "platform/system/SystemClock.h"
#include "platform/window/SdlDesktop.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace platform
{

namespace
{

struct Timer
{
    WindowId window;
    uint32_t id;
    uint32_t interval;
    uint32_t last;
};

std::mutex gPostedLock;
std::deque<Message> gPosted; // messages from any thread, guarded
std::deque<Message> gQueue;  // translated desktop events, main thread only
std::vector<Timer> gTimers;
std::map<std::string, uint32_t> gRegistered;
uint32_t gNextRegistered = 0xC000;
uint32_t gLastInput = 0;

// SIGINT and SIGTERM: the handler only notes them; PeekMessage turns a note into a close.
std::atomic<bool> gCloseSignalled{false};
std::atomic<int> gCloseSignals{0};

void OnCloseSignal(int signal)
{
    if (gCloseSignals.fetch_add(1) > 0)
    {
        // The second one ends the program at once, as if never caught.
        struct sigaction action = {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
        raise(signal);
        return;
    }
    gCloseSignalled = true;
}

// Asking SDL for the desktop's events costs a dozen calls to the display server even when
// nothing came. Where the main window is an X11 one, SDL is asked only when the connection has
// something to read or Xlib holds events not yet taken, and besides at least every
// kFullPumpInterval for SDL's own timed work (focus changes, quit signals); elsewhere at most
// once a kCheckInterval, which the loop's several looks between two waits share.
using SteadyClock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kFullPumpInterval{50};
constexpr std::chrono::milliseconds kCheckInterval{1};
SteadyClock::time_point gLastPump;  // when SDL last took the desktop's events
SteadyClock::time_point gLastCheck; // when the connection was last found quiet

// The virtual-key code of a desktop key; 0 for keys the framework has no code for.
int VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + int(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + int(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + int(key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return VK_F1 + 12 + int(key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + int(key - SDLK_KP_1);
    switch (key)
    {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
    case SDLK_PLUS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

uint32_t MouseKeyFlags(Uint32 buttons, SDL_Keymod mods)
{
    uint32_t flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (mods & KMOD_SHIFT) flags |= MK_SHIFT;
    if (mods & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
}

// The X11 connection of a window; null for other desktops.
Display* XDisplayOf(SDL_Window* window)
{
    static SDL_Window* known = nullptr;
    static Uint32 knownId = 0;
    static Display* display = nullptr;
    if (window != known || SDL_GetWindowID(window) != knownId)
    {
        known = window;
        knownId = window ? SDL_GetWindowID(window) : 0;
        display = nullptr;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
            display = info.info.x11.display;
    }
    return display;
}

// The X11 symbol of a desktop key; 0 for one the framework has no code for.
KeySym X11Symbol(SDL_Keycode key)
{
    // Letters, digits and punctuation are their own Latin-1 symbols.
    if (key >= 0x20 && key < 0x7F) return KeySym(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return XK_F1 + KeySym(key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24) return XK_F13 + KeySym(key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return XK_KP_1 + KeySym(key - SDLK_KP_1);
    static const std::pair<SDL_Keycode, KeySym> kSymbols[] = {
        {SDLK_BACKSPACE, XK_BackSpace},
        {SDLK_TAB, XK_Tab},
        {SDLK_RETURN, XK_Return},
        {SDLK_KP_ENTER, XK_KP_Enter},
        {SDLK_LSHIFT, XK_Shift_L},
        {SDLK_RSHIFT, XK_Shift_R},
        {SDLK_LCTRL, XK_Control_L},
        {SDLK_RCTRL, XK_Control_R},
        {SDLK_LALT, XK_Alt_L},
        {SDLK_RALT, XK_Alt_R},
        {SDLK_PAUSE, XK_Pause},
        {SDLK_CAPSLOCK, XK_Caps_Lock},
        {SDLK_ESCAPE, XK_Escape},
        {SDLK_PAGEUP, XK_Prior},
        {SDLK_PAGEDOWN, XK_Next},
        {SDLK_END, XK_End},
        {SDLK_HOME, XK_Home},
        {SDLK_LEFT, XK_Left},
        {SDLK_UP, XK_Up},
        {SDLK_RIGHT, XK_Right},
        {SDLK_DOWN, XK_Down},
        {SDLK_PRINTSCREEN, XK_Print},
        {SDLK_INSERT, XK_Insert},
        {SDLK_DELETE, XK_Delete},
        {SDLK_LGUI, XK_Super_L},
        {SDLK_RGUI, XK_Super_R},
        {SDLK_APPLICATION, XK_Menu},
        {SDLK_KP_0, XK_KP_0},
        {SDLK_KP_MULTIPLY, XK_KP_Multiply},
        {SDLK_KP_PLUS, XK_KP_Add},
        {SDLK_KP_MINUS, XK_KP_Subtract},
        {SDLK_KP_PERIOD, XK_KP_Decimal},
        {SDLK_KP_DIVIDE, XK_KP_Divide},
        {SDLK_NUMLOCKCLEAR, XK_Num_Lock},
        {SDLK_SCROLLLOCK, XK_Scroll_Lock},
    };
    for (const auto& [sdl, x11] : kSymbols)
        if (sdl == key) return x11;
    return 0;
}

// Which keys are held down now. SDL's own state cannot say for a key held while the keyboard
// moved between windows: SDL lets every key go when one of its windows loses the keyboard (as
// the old window of a switch to or from full screen does, the key still held) and, when one
// gains it, presses again only the modifiers; the desktop's repeat of a key still held then
// comes as a fresh press. Where the main window is an X11 one, the X server's keyboard says
// it (a key let go after this look comes as a key-up to the window that has the keyboard);
// elsewhere SDL's state is all there is.
class HeldKeys
{
public:
    HeldKeys()
    {
        mDisplay = XDisplayOf(detail::GetDesktop().window);
        if (mDisplay) XQueryKeymap(mDisplay, mKeymap);
    }
    bool IsDown(SDL_Scancode scancode) const
    {
        KeySym symbol = mDisplay ? X11Symbol(SDL_GetKeyFromScancode(scancode)) : 0;
        KeyCode code = symbol ? XKeysymToKeycode(mDisplay, symbol) : 0;
        if (code == 0) return SDL_GetKeyboardState(nullptr)[scancode] != 0;
        return (mKeymap[code / 8] >> (code % 8)) & 1;
    }

private:
    Display* mDisplay = nullptr;
    char mKeymap[32] = {};
};

bool IsMainWindowEvent(Uint32 windowID)
{
    SDL_Window* window = detail::GetDesktop().window;
    return window && (windowID == 0 || windowID == SDL_GetWindowID(window));
}

void Queue(uint32_t message, uint64_t wParam, int64_t lParam, WindowId window = kMainWindow)
{
    detail::Desktop& d = detail::GetDesktop();
    gQueue.push_back(Message{window, message, wParam, lParam, Clock::Get().Ticks(), d.mouseX, d.mouseY});
}

void NoteMouse(int x, int y)
{
    detail::WindowToGame(x, y);
    detail::Desktop& d = detail::GetDesktop();
    d.mouseX = x;
    d.mouseY = y;
}

void Translate(const SDL_Event& e)
{
    detail::Desktop& d = detail::GetDesktop();
    switch (e.type)
    {
    case SDL_QUIT:
        Queue(WM_CLOSE, 0, 0);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        if (!IsMainWindowEvent(e.key.windowID)) break;
        gLastInput = Clock::Get().Ticks();
        d.keyModifiers = e.key.keysym.mod;
        int vk = VirtualKey(e.key.keysym.sym);
        bool down = e.type == SDL_KEYDOWN;
        bool alt = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
        bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
        if (vk == 0) break;
        // A key that is down already is pressed again only by the desktop's auto-repeat, also
        // when the desktop has forgotten it: replacing the window that had the keyboard (a
        // switch to or from full screen) lets its key-up go astray.
        bool repeat = down && (e.key.repeat || d.keysDown[size_t(vk)]);
        d.keysDown[size_t(vk)] = down;
        d.keyScancodes[vk] = e.key.keysym.scancode;
        // Keys with Alt held, and F10, are system keys.
        bool system = alt || vk == VK_F10;
        uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        int64_t lParam = 1;
        if (alt) lParam |= int64_t(1) << 29;
        if (repeat || !down) lParam |= int64_t(1) << 30;
        if (!down) lParam |= int64_t(1) << 31;
        Queue(message, uint64_t(vk), lParam);
        // Keys that type a control character do so as the framework's desktop did.
        if (down && !alt)
        {
            int ch = 0;
            if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)
                ch = vk;
            else if (ctrl && vk >= 'A' && vk <= 'Z')
                ch = vk - 'A' + 1;
            if (ch) Queue(WM_CHAR, uint64_t(ch), lParam);
        }
        break;
    }
    case SDL_TEXTINPUT:
    {
        if (!IsMainWindowEvent(e.text.windowID)) break;
        gLastInput = Clock::Get().Ticks();
        bool alt = (d.keyModifiers & KMOD_ALT) != 0;
        for (char c : Utf8ToCp1252(e.text.text))
            Queue(alt ? WM_SYSCHAR : WM_CHAR, uint64_t(uint8_t(c)), 1);
        break;
    }
    case SDL_MOUSEMOTION:
    {
        if (!IsMainWindowEvent(e.motion.windowID)) break;
        gLastInput = Clock::Get().Ticks();
        NoteMouse(e.motion.x, e.motion.y);
        d.mouseInside = true;
        Queue(WM_MOUSEMOVE, MouseKeyFlags(e.motion.state, SDL_GetModState()), MakeLParam(d.mouseX, d.mouseY));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        if (!IsMainWindowEvent(e.button.windowID)) break;
        gLastInput = Clock::Get().Ticks();
        NoteMouse(e.button.x, e.button.y);
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        // Every second click of a run is a double click, as the framework's desktop counts them.
        bool doubleClick = down && e.button.clicks >= 2 && e.button.clicks % 2 == 0;
        uint32_t message = 0;
        switch (e.button.button)
        {
        case SDL_BUTTON_LEFT:
            message = down ? (doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
            break;
        case SDL_BUTTON_RIGHT:
            message = down ? (doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
            break;
        case SDL_BUTTON_MIDDLE:
            // The framework takes no middle double clicks (neither live nor in a demo): every
            // middle press is a press.
            message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        default:
            return;
        }
        Queue(message, MouseKeyFlags(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState()),
              MakeLParam(d.mouseX, d.mouseY));
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        if (!IsMainWindowEvent(e.wheel.windowID)) break;
        gLastInput = Clock::Get().Ticks();
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches == 0) break;
        uint32_t flags = MouseKeyFlags(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState());
        uint64_t wParam = (uint64_t(uint16_t(int16_t(notches * WHEEL_DELTA))) << 16) | flags;
        Queue(WM_MOUSEWHEEL, wParam, MakeLParam(d.mouseX, d.mouseY));
        break;
    }
    case SDL_WINDOWEVENT:
    {
        if (!IsMainWindowEvent(e.window.windowID)) break;
        int w = d.screenWidth, h = d.screenHeight;
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        {
            // Keys let go while another window had the keyboard are up.
            const HeldKeys held;
            for (size_t vk = 0; vk < d.keysDown.size(); ++vk)
                if (d.keysDown[vk] && !held.IsDown(d.keyScancodes[vk])) d.keysDown[vk] = false;
            d.keyModifiers = uint16_t(SDL_GetModState());
            Queue(WM_ACTIVATEAPP, 1, 0);
            break;
        }
        case SDL_WINDOWEVENT_FOCUS_LOST:
            Queue(WM_ACTIVATEAPP, 0, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            Queue(WM_SIZE, SIZE_MINIMIZED, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            Queue(WM_SIZE, SIZE_RESTORED, MakeLParam(w, h));
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            Queue(WM_SIZE, SIZE_MAXIMIZED, MakeLParam(w, h));
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A window that may be maximised can also be dragged to another size: it goes back.
            if (!d.fullscreen && d.clientWidth > 0 &&
                !(SDL_GetWindowFlags(d.window) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN)) &&
                (e.window.data1 != d.clientWidth || e.window.data2 != d.clientHeight))
                SDL_SetWindowSize(d.window, d.clientWidth, d.clientHeight);
            break;
        case SDL_WINDOWEVENT_MOVED:
            Queue(WM_MOVE, 0, MakeLParam(e.window.data1, e.window.data2));
            break;
        case SDL_WINDOWEVENT_CLOSE:
            Queue(WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Queue(WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_ENTER:
            d.mouseInside = true;
            break;
        case SDL_WINDOWEVENT_LEAVE:
            d.mouseInside = false;
            break;
        default:
            break;
        }
        break;
    }
    case SDL_DISPLAYEVENT:
        Queue(WM_DISPLAYCHANGE, 0, 0);
        break;
    default:
        break;
    }
}

// The main window when it exists and shows.
SDL_Window* MainWindowIfShown()
{
    SDL_Window* window = detail::GetDesktop().videoUp ? detail::GetDesktop().window : nullptr;
    return window && !(SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) ? window : nullptr;
}

// Whether SDL holds an event (its end-of-poll marker aside).
bool SdlHasEvents()
{
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_POLLSENTINEL - 1) ||
           SDL_HasEvents(SDL_POLLSENTINEL + 1, SDL_LASTEVENT);
}

// Whether Xlib holds events not yet taken, or the connection has something to read within ms
// milliseconds.
bool ConnectionHasInput(Display* display, int ms)
{
    if (XEventsQueued(display, QueuedAlready) > 0) return true;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    return poll(&connection, 1, ms) > 0;
}

bool PumpDue()
{
    SteadyClock::time_point now = SteadyClock::now();
    if (now - gLastPump >= kFullPumpInterval) return true;
    if (now - gLastPump < kCheckInterval || now - gLastCheck < kCheckInterval) return false;
    Display* display = XDisplayOf(MainWindowIfShown());
    if (!display || ConnectionHasInput(display, 0)) return true;
    gLastCheck = now;
    return false;
}

} // namespace

void CatchCloseSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // a wait for the desktop is cut short
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool PeekMessage(Message& message)
{
    if (gCloseSignalled.exchange(false))
    {
        message = Message{kMainWindow, WM_CLOSE, 0, 0, Clock::Get().Ticks()};
        return true;
    }
    {
        std::lock_guard<std::mutex> guard(gPostedLock);
        if (!gPosted.empty())
        {
            message = gPosted.front();
            gPosted.pop_front();
            return true;
        }
    }
    if (gQueue.empty() && detail::GetDesktop().videoUp)
    {
        SDL_Event e;
        if (PumpDue())
        {
            gLastPump = SteadyClock::now();
            while (gQueue.empty() && SDL_PollEvent(&e))
                Translate(e);
        }
        else
        {
            // Nothing new from the server: only what SDL has queued already.
            while (gQueue.empty() && SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
                Translate(e);
        }
    }
    if (!gQueue.empty())
    {
        message = gQueue.front();
        gQueue.pop_front();
        return true;
    }
    // Timers only when nothing else waits.
    uint32_t now = Clock::Get().Ticks();
    for (Timer& t : gTimers)
    {
        if (now - t.last >= t.interval)
        {
            t.last = now;
            message = Message();
            message.window = t.window;
            message.message = WM_TIMER;
            message.wParam = t.id;
            message.time = now;
            message.x = detail::GetDesktop().mouseX;
            message.y = detail::GetDesktop().mouseY;
            return true;
        }
    }
    return false;
}

void WaitForMessage(uint32_t ms)
{
    Clock& clock = Clock::Get();
    SDL_Window* window = MainWindowIfShown();
    if (&clock != &SystemClock::Instance() || !window)
    {
        clock.Sleep(ms);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(gPostedLock);
        if (!gPosted.empty()) return;
    }
    if (!gQueue.empty() || ms == 0 || SdlHasEvents()) return;
    Display* display = XDisplayOf(window);
    if (!display)
    {
        // SDL waits on the desktop's connection; what arrives meanwhile is queued on return.
        SDL_WaitEventTimeout(nullptr, int(std::min<uint32_t>(ms, INT_MAX)));
        gLastPump = SteadyClock::now();
        return;
    }
    // What the program asked of the server goes out before it sleeps.
    XFlush(display);
    if (!ConnectionHasInput(display, int(std::min<uint32_t>(ms, INT_MAX)))) gLastCheck = SteadyClock::now();
}

void PostMessage(WindowId window, uint32_t message, uint64_t wParam, int64_t lParam)
{
    Message m{window, message, wParam, lParam, Clock::Get().Ticks()};
    std::lock_guard<std::mutex> guard(gPostedLock);
    gPosted.push_back(m);
}

uint32_t RegisterWindowMessage(std::string_view name)
{
    std::string folded = AsciiLowerCopy(name);
    std::lock_guard<std::mutex> guard(gPostedLock);
    auto it = gRegistered.find(folded);
    if (it != gRegistered.end()) return it->second;
    uint32_t number = gNextRegistered++;
    gRegistered[folded] = number;
    return number;
}

void SetTimer(WindowId window, uint32_t id, uint32_t intervalMs)
{
    KillTimer(window, id);
    gTimers.push_back({window, id, intervalMs ? intervalMs : 1, Clock::Get().Ticks()});
}

void KillTimer(WindowId window, uint32_t id)
{
    for (size_t i = 0; i < gTimers.size(); ++i)
    {
        if (gTimers[i].window == window && gTimers[i].id == id)
        {
            gTimers.erase(gTimers.begin() + long(i));
            return;
        }
    }
}

uint32_t LastInputTicks()
{
    return gLastInput;
}

namespace synthetic
{

namespace
{
Uint32 MainWindowID()
{
    SDL_Window* window = detail::GetDesktop().window;
    return window ? SDL_GetWindowID(window) : 0;
}
SDL_Keymod gMods = KMOD_NONE;
} // namespace

void Key(bool down, std::string_view keyName, bool repeat)
{
    SDL_Keycode key = SDL_GetKeyFromName(std::string(keyName).c_str());
    SDL_Keymod bit = KMOD_NONE;
    if (key == SDLK_LALT || key == SDLK_RALT) bit = KMOD_LALT;
    if (key == SDLK_LCTRL || key == SDLK_RCTRL) bit = KMOD_LCTRL;
    if (key == SDLK_LSHIFT || key == SDLK_RSHIFT) bit = KMOD_LSHIFT;
    if (bit != KMOD_NONE) gMods = SDL_Keymod(down ? (gMods | bit) : (gMods & ~bit));
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = MainWindowID();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = Uint16(gMods);
    SDL_PushEvent(&e);
}

void Text(std::string_view utf8)
{
    SDL_Event e = {};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = MainWindowID();
    size_t n = std::min(utf8.size(), sizeof e.text.text - 1);
    utf8.copy(e.text.text, n);
    e.text.text[n] = 0;
    SDL_PushEvent(&e);
}

void MouseButton(int button, bool down, int clicks, int x, int y)
{
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = MainWindowID();
    e.button.button = Uint8(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = Uint8(clicks);
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void MouseMove(int x, int y)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = MainWindowID();
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void Wheel(int notches)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = MainWindowID();
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

void Window(WindowEvent event, int x, int y)
{
    SDL_Event e = {};
    if (event == WindowEvent::Quit)
    {
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
        return;
    }
    static const SDL_WindowEventID ids[] = {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST,
                                            SDL_WINDOWEVENT_MINIMIZED,    SDL_WINDOWEVENT_RESTORED,
                                            SDL_WINDOWEVENT_MAXIMIZED,    SDL_WINDOWEVENT_MOVED,
                                            SDL_WINDOWEVENT_CLOSE,        SDL_WINDOWEVENT_EXPOSED};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = MainWindowID();
    e.window.event = Uint8(ids[int(event)]);
    e.window.data1 = x;
    e.window.data2 = y;
    SDL_PushEvent(&e);
}

} // namespace synthetic

} // namespace platform

#include "platform/window/DesktopProbe.h"

#include "platform/window/X11Key.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dlfcn.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace platform
{

namespace
{

using FakeKey = int (*)(Display*, unsigned int, Bool, unsigned long);
using FakeButton = int (*)(Display*, unsigned int, Bool, unsigned long);
using FakeMotion = int (*)(Display*, int, int, int, unsigned long);

KeySym KeySymOf(int virtualKey)
{
    for (const detail::X11Key& key : detail::kX11Keys)
        if (key.virtualKey == virtualKey) return key.sym;
    return NoSymbol;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

struct DesktopProbe::Impl
{
    Display* display = nullptr;
    void* library = nullptr;
    FakeKey fakeKey = nullptr;
    FakeButton fakeButton = nullptr;
    FakeMotion fakeMotion = nullptr;
    Window lastFound = 0;
    Atom netName = 0, utf8 = 0;

    ~Impl()
    {
        if (display) XCloseDisplay(display);
        if (library) dlclose(library);
    }

    // The window's title: its UTF-8 one (the desktop layer's windows have only that), else the
    // plain one.
    bool Title(Window window, std::string& title)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                               &data) == Success &&
            data && format == 8)
        {
            title.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
            return true;
        }
        if (data) XFree(data);
        char* name = nullptr;
        if (!XFetchName(display, window, &name) || !name) return false;
        title = name;
        XFree(name);
        return true;
    }

    // Every shown window with a title, below the root (a window manager's frames included).
    void Collect(Window window, std::vector<Shown>& out)
    {
        XWindowAttributes attributes;
        std::string title;
        if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
            Title(window, title))
        {
            Shown shown;
            shown.title = title;
            shown.id = window;
            Window child = 0;
            XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &shown.x, &shown.y,
                                  &child);
            shown.width = attributes.width;
            shown.height = attributes.height;
            out.push_back(shown);
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
        for (unsigned int i = 0; i < count; ++i)
            Collect(children[i], out);
        if (children) XFree(children);
    }

    bool Find(const std::string& title, Shown& found)
    {
        std::vector<Shown> shown;
        Collect(DefaultRootWindow(display), shown);
        for (const Shown& s : shown)
            if (s.title == title)
            {
                found = s;
                return true;
            }
        return false;
    }

    bool WaitFor(const std::function<bool()>& condition, uint32_t waitMs)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;)
        {
            if (condition()) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Key(KeySym sym, bool shift, bool ctrl)
    {
        KeyCode code = XKeysymToKeycode(display, sym);
        if (!code) return;
        KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L),
                ctrlCode = XKeysymToKeycode(display, XK_Control_L);
        if (fakeKey)
        {
            if (ctrl) fakeKey(display, ctrlCode, True, 0);
            if (shift) fakeKey(display, shiftCode, True, 0);
            fakeKey(display, code, True, 0);
            fakeKey(display, code, False, 0);
            if (shift) fakeKey(display, shiftCode, False, 0);
            if (ctrl) fakeKey(display, ctrlCode, False, 0);
        }
        else if (lastFound)
        {
            XEvent e = {};
            e.xkey.type = KeyPress;
            e.xkey.display = display;
            e.xkey.window = lastFound;
            e.xkey.root = DefaultRootWindow(display);
            e.xkey.keycode = code;
            e.xkey.state = (shift ? ShiftMask : 0) | (ctrl ? ControlMask : 0);
            e.xkey.same_screen = True;
            XSendEvent(display, lastFound, True, KeyPressMask, &e);
            e.xkey.type = KeyRelease;
            XSendEvent(display, lastFound, True, KeyReleaseMask, &e);
        }
        XSync(display, False);
    }
};

DesktopProbe::DesktopProbe() : mImpl(std::make_unique<Impl>()) {}

DesktopProbe::~DesktopProbe() = default;

bool DesktopProbe::Connect()
{
    Impl& d = *mImpl;
    if (d.display) return true;
    d.display = XOpenDisplay(nullptr);
    if (!d.display) return false;
    XSetErrorHandler(&IgnoreErrors);
    d.netName = XInternAtom(d.display, "_NET_WM_NAME", False);
    d.utf8 = XInternAtom(d.display, "UTF8_STRING", False);
    d.library = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
    int event = 0, error = 0, major = 0, minor = 0;
    if (d.library)
    {
        using Query = Bool (*)(Display*, int*, int*, int*, int*);
        auto query = reinterpret_cast<Query>(dlsym(d.library, "XTestQueryExtension"));
        if (query && query(d.display, &event, &error, &major, &minor))
        {
            d.fakeKey = reinterpret_cast<FakeKey>(dlsym(d.library, "XTestFakeKeyEvent"));
            d.fakeButton = reinterpret_cast<FakeButton>(dlsym(d.library, "XTestFakeButtonEvent"));
            d.fakeMotion = reinterpret_cast<FakeMotion>(dlsym(d.library, "XTestFakeMotionEvent"));
        }
    }
    return true;
}

bool DesktopProbe::HasTestExtension() const
{
    return mImpl->fakeKey && mImpl->fakeButton && mImpl->fakeMotion;
}

void DesktopProbe::ScreenSize(int& width, int& height) const
{
    width = height = 0;
    if (!mImpl->display) return;
    width = DisplayWidth(mImpl->display, DefaultScreen(mImpl->display));
    height = DisplayHeight(mImpl->display, DefaultScreen(mImpl->display));
}

bool DesktopProbe::WaitForWindow(const std::string& title, Shown& found, uint32_t waitMs)
{
    Impl& d = *mImpl;
    if (!d.display) return false;
    bool ok = d.WaitFor([&] { return d.Find(title, found); }, waitMs);
    if (ok) d.lastFound = Window(found.id);
    return ok;
}

bool DesktopProbe::WaitUntilGone(const std::string& title, uint32_t waitMs)
{
    Impl& d = *mImpl;
    if (!d.display) return false;
    Shown ignored;
    return d.WaitFor([&] { return !d.Find(title, ignored); }, waitMs);
}

void DesktopProbe::PressKey(int virtualKey, bool shift, bool ctrl)
{
    if (mImpl->display) mImpl->Key(KeySymOf(virtualKey), shift, ctrl);
}

void DesktopProbe::Type(const std::string& text)
{
    if (!mImpl->display) return;
    for (char c : text)
    {
        unsigned char u = static_cast<unsigned char>(c);
        KeySym sym = u == ' ' ? XK_space : KeySym(u);
        KeyCode code = XKeysymToKeycode(mImpl->display, sym);
        // A character on the shifted level of its key is typed with Shift.
        bool shift = code && XkbKeycodeToKeysym(mImpl->display, code, 0, 0) != sym;
        mImpl->Key(sym, shift, false);
    }
}

void DesktopProbe::MovePointer(int x, int y)
{
    Impl& d = *mImpl;
    if (!d.display || !HasTestExtension()) return;
    d.fakeMotion(d.display, -1, x, y, 0);
    XSync(d.display, False);
}

void DesktopProbe::Click(int x, int y)
{
    Impl& d = *mImpl;
    if (!d.display || !HasTestExtension()) return;
    d.fakeMotion(d.display, -1, x, y, 0);
    d.fakeButton(d.display, 1, True, 0);
    d.fakeButton(d.display, 1, False, 0);
    XSync(d.display, False);
}

} // namespace platform

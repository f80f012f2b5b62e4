#include "platform/window/PrivateDesktop.h"

#include "platform/display/PixelChannel.h"
#include "platform/files/TextEncoding.h"
#include "platform/window/Messages.h"
#include "platform/window/SdlDesktop.h"
#include "platform/window/X11Key.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace platform
{

namespace
{

// Errors of this program's own connections are ignored (a window the desktop closed
// meanwhile is no reason to end the process); those of other connections (the desktop
// layer's) go to the handler that was there before.
std::mutex gConnectionsLock;
std::set<Display*> gConnections;
XErrorHandler gPreviousHandler = nullptr;
bool gHandlerInstalled = false;

int OnXError(Display* display, XErrorEvent* error)
{
    {
        std::lock_guard<std::mutex> guard(gConnectionsLock);
        if (gConnections.count(display)) return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

void Register(Display* display)
{
    std::lock_guard<std::mutex> guard(gConnectionsLock);
    gConnections.insert(display);
    if (!gHandlerInstalled)
    {
        gHandlerInstalled = true;
        gPreviousHandler = XSetErrorHandler(&OnXError);
    }
}

void Unregister(Display* display)
{
    std::lock_guard<std::mutex> guard(gConnectionsLock);
    gConnections.erase(display);
}

int VirtualKeyOf(KeySym sym)
{
    for (const detail::X11Key& key : detail::kX11Keys)
        if (sym == key.sym || (key.alternate && sym == key.alternate)) return key.virtualKey;
    return 0;
}

} // namespace

struct PrivateDesktop::Impl
{
    struct OwnWindow
    {
        Window window = 0;
        GC gc = nullptr;
        XImage* image = nullptr; // the picture in the display's pixel layout
        bool mapped = false;
        bool wantsFocus = true;
    };

    Display* display = nullptr;
    int screen = 0;
    Cursor arrow = 0;
    Atom protocols = 0, deleteWindow = 0, utf8 = 0, netName = 0, clipboard = 0, targets = 0, text = 0;
    Atom windowType = 0, dialogType = 0, netState = 0, stateAbove = 0, activeWindow = 0;
    std::map<int, OwnWindow> windows; // by id; ids only grow, so the newest is the last
    int nextId = 1;
    Window clipboardOwner = 0;
    bool clipboardOwned = false;
    std::string clipboardUtf8, clipboardText;

    ~Impl()
    {
        if (!display) return;
        for (auto& [id, w] : windows)
            Destroy(w);
        windows.clear();
        if (arrow) XFreeCursor(display, arrow);
        if (clipboardOwner) XDestroyWindow(display, clipboardOwner);
        XCloseDisplay(display);
        Unregister(display);
    }

    void Destroy(OwnWindow& w)
    {
        if (w.image)
        {
            XDestroyImage(w.image); // frees its pixels too
            w.image = nullptr;
        }
        if (w.gc) XFreeGC(display, w.gc);
        if (w.window) XDestroyWindow(display, w.window);
        w = OwnWindow();
    }

    int IdOf(Window window) const
    {
        for (const auto& [id, w] : windows)
            if (w.window == window) return id;
        return 0;
    }

    void Focus(OwnWindow& w)
    {
        if (!w.mapped) return;
        XRaiseWindow(display, w.window);
        XSetInputFocus(display, w.window, RevertToParent, CurrentTime);
        // A window manager gives the keyboard to a window when asked this way.
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w.window;
        e.xclient.message_type = activeWindow;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1; // asked by an application
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, RootWindow(display, screen), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        w.wantsFocus = false;
    }

    void AnswerSelection(const XSelectionRequestEvent& request)
    {
        XEvent reply = {};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        Atom property = request.property != None ? request.property : request.target;
        if (clipboardOwned && request.target == targets)
        {
            Atom offered[] = {targets, utf8, text, XA_STRING};
            XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(offered), 4);
            reply.xselection.property = property;
        }
        else if (clipboardOwned &&
                 (request.target == utf8 || request.target == text || request.target == XA_STRING))
        {
            const std::string& bytes = request.target == XA_STRING ? clipboardText : clipboardUtf8;
            Atom type = request.target == XA_STRING ? XA_STRING : utf8;
            XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
            reply.xselection.property = property;
        }
        XSendEvent(display, request.requestor, False, 0, &reply);
    }

    // Turns one event of the connection into an event of the caller; false when there is none
    // to report.
    bool Translate(XEvent& e, Event& out)
    {
        out = Event();
        switch (e.type)
        {
        case SelectionRequest:
            AnswerSelection(e.xselectionrequest);
            return false;
        case SelectionClear:
            clipboardOwned = false;
            return false;
        case MapNotify:
        {
            int id = IdOf(e.xmap.window);
            if (!id) return false;
            OwnWindow& w = windows[id];
            w.mapped = true;
            if (w.wantsFocus && windows.rbegin()->first == id) Focus(w);
            out.kind = EventKind::Exposed;
            out.window = id;
            return true;
        }
        case Expose:
            if (e.xexpose.count != 0) return false;
            out.kind = EventKind::Exposed;
            out.window = IdOf(e.xexpose.window);
            return out.window != 0;
        case KeyPress:
        {
            out.window = IdOf(e.xkey.window);
            if (!out.window) return false;
            char buffer[8] = {};
            KeySym sym = 0;
            int count = XLookupString(&e.xkey, buffer, sizeof buffer, &sym, nullptr);
            out.kind = EventKind::Key;
            out.shift = (e.xkey.state & ShiftMask) != 0;
            out.ctrl = (e.xkey.state & ControlMask) != 0;
            out.key = VirtualKeyOf(sym);
            // Latin-1 is Windows-1252 from 0xA0 up and below 0x80.
            unsigned char c = count == 1 ? static_cast<unsigned char>(buffer[0]) : 0;
            if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0)) out.character = char(c);
            return out.key != 0 || out.character != 0;
        }
        case ButtonPress:
        case ButtonRelease:
        {
            out.window = IdOf(e.xbutton.window);
            if (!out.window) return false;
            out.x = e.xbutton.x;
            out.y = e.xbutton.y;
            out.shift = (e.xbutton.state & ShiftMask) != 0;
            if (e.xbutton.button == Button4 || e.xbutton.button == Button5)
            {
                if (e.type == ButtonRelease) return false;
                out.kind = EventKind::Wheel;
                out.wheel = e.xbutton.button == Button4 ? 1 : -1;
                return true;
            }
            if (e.xbutton.button > Button3) return false;
            out.kind = e.type == ButtonPress ? EventKind::ButtonDown : EventKind::ButtonUp;
            out.button = int(e.xbutton.button);
            return true;
        }
        case MotionNotify:
        {
            // Only the last of a run of moves counts.
            while (XCheckTypedWindowEvent(display, e.xmotion.window, MotionNotify, &e))
            {
            }
            out.window = IdOf(e.xmotion.window);
            out.kind = EventKind::PointerMove;
            out.x = e.xmotion.x;
            out.y = e.xmotion.y;
            return out.window != 0;
        }
        case ClientMessage:
            if (e.xclient.message_type == protocols && Atom(e.xclient.data.l[0]) == deleteWindow)
            {
                out.window = IdOf(e.xclient.window);
                out.kind = EventKind::CloseAsked;
                return out.window != 0;
            }
            return false;
        default:
            return false;
        }
    }
};

bool PrivateDesktop::Available()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return false;
    const char* x11 = std::getenv("DISPLAY");
    return x11 && *x11;
}

void PrivateDesktop::HideMainWindow()
{
    Window window = detail::GetDesktop().x11Window.load();
    if (!window) return;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    Register(display);
    XWithdrawWindow(display, window, DefaultScreen(display));
    XSync(display, False);
    XCloseDisplay(display);
    Unregister(display);
}

PrivateDesktop::PrivateDesktop() : mImpl(std::make_unique<Impl>()) {}

PrivateDesktop::~PrivateDesktop() = default;

bool PrivateDesktop::Connect()
{
    Impl& d = *mImpl;
    if (d.display) return true;
    d.display = XOpenDisplay(nullptr);
    if (!d.display) return false;
    Register(d.display);
    d.screen = DefaultScreen(d.display);
    d.arrow = XCreateFontCursor(d.display, XC_left_ptr);
    // All in one request: a round trip each would cost the most over a remote display.
    struct Named
    {
        const char* name;
        Atom* atom;
    };
    const Named named[] = {
        {"WM_PROTOCOLS", &d.protocols},
        {"WM_DELETE_WINDOW", &d.deleteWindow},
        {"UTF8_STRING", &d.utf8},
        {"_NET_WM_NAME", &d.netName},
        {"CLIPBOARD", &d.clipboard},
        {"TARGETS", &d.targets},
        {"TEXT", &d.text},
        {"_NET_WM_WINDOW_TYPE", &d.windowType},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &d.dialogType},
        {"_NET_WM_STATE", &d.netState},
        {"_NET_WM_STATE_ABOVE", &d.stateAbove},
        {"_NET_ACTIVE_WINDOW", &d.activeWindow},
    };
    constexpr int kCount = int(sizeof named / sizeof named[0]);
    char* names[kCount];
    Atom atoms[kCount] = {};
    for (int i = 0; i < kCount; ++i)
        names[i] = const_cast<char*>(named[i].name);
    XInternAtoms(d.display, names, kCount, False, atoms);
    for (int i = 0; i < kCount; ++i)
        *named[i].atom = atoms[i];
    return true;
}

PrivateDesktop::Area PrivateDesktop::WorkArea() const
{
    const Impl& d = *mImpl;
    Area area;
    if (!d.display) return area;
    Window root = RootWindow(d.display, d.screen);
    area.width = DisplayWidth(d.display, d.screen);
    area.height = DisplayHeight(d.display, d.screen);

    // A window manager names the work area of each of its desktops; the current one counts.
    auto readCardinals = [&](const char* name, std::vector<long>& values)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Atom property = XInternAtom(d.display, name, True);
        if (property == None) return false;
        if (XGetWindowProperty(d.display, root, property, 0, 1024, False, XA_CARDINAL, &type, &format, &count,
                               &after, &data) != Success)
            return false;
        bool ok = data && format == 32 && count > 0;
        if (ok) values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        if (data) XFree(data);
        return ok;
    };
    std::vector<long> work, current;
    if (readCardinals("_NET_WORKAREA", work) && work.size() >= 4)
    {
        size_t desk = readCardinals("_NET_CURRENT_DESKTOP", current) ? size_t(current[0]) : 0;
        if (desk * 4 + 3 >= work.size()) desk = 0;
        Area w{int(work[desk * 4]), int(work[desk * 4 + 1]), int(work[desk * 4 + 2]),
               int(work[desk * 4 + 3])};
        if (w.width > 0 && w.height > 0) area = w;
    }
    return area;
}

int PrivateDesktop::OpenWindow(const std::string& title, const Area& area)
{
    Impl& d = *mImpl;
    if (!d.display || area.width <= 0 || area.height <= 0) return 0;
    Window root = RootWindow(d.display, d.screen);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = WhitePixel(d.display, d.screen);
    attributes.cursor = d.arrow;
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                            ButtonMotionMask | StructureNotifyMask;
    Window window = XCreateWindow(d.display, root, area.x, area.y, unsigned(area.width),
                                  unsigned(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWCursor | CWEventMask, &attributes);
    if (!window) return 0;

    std::string utf8Title = Cp1252ToUtf8(title);
    XStoreName(d.display, window, title.c_str());
    XChangeProperty(d.display, window, d.netName, d.utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8Title.data()), int(utf8Title.size()));
    XClassHint classHint;
    char name[] = "crash", className[] = "Crash";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(d.display, window, &classHint);
    XSetWMProtocols(d.display, window, &d.deleteWindow, 1);

    // Placed where asked, and of one size only.
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | PPosition | PMinSize | PMaxSize;
    size->x = area.x;
    size->y = area.y;
    size->min_width = size->max_width = area.width;
    size->min_height = size->max_height = area.height;
    XSetWMNormalHints(d.display, window, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(d.display, window, hints);
    XFree(hints);
    XChangeProperty(d.display, window, d.windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&d.dialogType), 1);
    XChangeProperty(d.display, window, d.netState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&d.stateAbove), 1);

    int id = d.nextId++;
    Impl::OwnWindow& w = d.windows[id];
    w.window = window;
    w.gc = XCreateGC(d.display, window, 0, nullptr);
    XMapRaised(d.display, window);
    XFlush(d.display);
    return id;
}

void PrivateDesktop::CloseWindow(int window)
{
    Impl& d = *mImpl;
    auto it = d.windows.find(window);
    if (it == d.windows.end()) return;
    d.Destroy(it->second);
    d.windows.erase(it);
    // The keyboard goes back to the newest window left.
    if (!d.windows.empty()) d.Focus(d.windows.rbegin()->second);
    XFlush(d.display);
}

void PrivateDesktop::ShowPicture(int window, const uint32_t* pixels, int width, int height, int pitch)
{
    Impl& d = *mImpl;
    auto it = d.windows.find(window);
    if (it == d.windows.end() || width <= 0 || height <= 0) return;
    Impl::OwnWindow& w = it->second;
    Visual* visual = DefaultVisual(d.display, d.screen);
    int depth = DefaultDepth(d.display, d.screen);
    if (w.image && (w.image->width != width || w.image->height != height))
    {
        XDestroyImage(w.image);
        w.image = nullptr;
    }
    if (!w.image)
    {
        w.image = XCreateImage(d.display, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(width),
                               unsigned(height), 32, 0);
        if (!w.image) return;
        w.image->data = static_cast<char*>(std::calloc(size_t(w.image->bytes_per_line), size_t(height)));
        if (!w.image->data)
        {
            XDestroyImage(w.image);
            w.image = nullptr;
            return;
        }
    }
    XImage* image = w.image;
    bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                  image->blue_mask == 0xFF && image->byte_order == LSBFirst;
    const PixelChannel red(uint32_t(image->red_mask)), green(uint32_t(image->green_mask)),
        blue(uint32_t(image->blue_mask));
    for (int y = 0; y < height; ++y)
    {
        const uint32_t* row = pixels + size_t(y) * size_t(pitch);
        if (direct)
        {
            std::memcpy(image->data + size_t(y) * size_t(image->bytes_per_line), row, size_t(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x)
        {
            uint32_t p = row[x];
            XPutPixel(image, x, y, red.Put(p >> 16) | green.Put(p >> 8) | blue.Put(p));
        }
    }
    XPutImage(d.display, w.window, w.gc, image, 0, 0, 0, 0, unsigned(width), unsigned(height));
    XFlush(d.display);
}

bool PrivateDesktop::NextEvent(Event& event, uint32_t waitMs)
{
    Impl& d = *mImpl;
    if (!d.display) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;)
    {
        while (XPending(d.display) > 0)
        {
            XEvent e;
            XNextEvent(d.display, &e);
            if (d.Translate(e, event)) return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        int ms = int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) + 1;
        pollfd connection{ConnectionNumber(d.display), POLLIN, 0};
        if (poll(&connection, 1, ms) < 0 && errno != EINTR) return false;
    }
}

void PrivateDesktop::OfferClipboardText(const std::string& text)
{
    Impl& d = *mImpl;
    if (!d.display) return;
    d.clipboardText = text;
    d.clipboardUtf8 = Cp1252ToUtf8(text);
    if (!d.clipboardOwner)
        d.clipboardOwner =
            XCreateSimpleWindow(d.display, RootWindow(d.display, d.screen), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d.display, d.clipboard, d.clipboardOwner, CurrentTime);
    d.clipboardOwned = XGetSelectionOwner(d.display, d.clipboard) == d.clipboardOwner;
    XFlush(d.display);
}

} // namespace platform

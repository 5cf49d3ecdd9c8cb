// Top-level windows on X11. Window managers reparent client windows into
// frames, so the search looks at the root's children and one level below.
// Restoring and activating another program's window is asked of the window
// manager (_NET_ACTIVE_WINDOW), which also brings a minimised window back.

#include "platform/Windows.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool Matches(Display* d, Window w, const std::optional<std::string>& cls,
             const std::optional<std::string>& title)
{
    if (cls) {
        XClassHint hint{};
        if (!XGetClassHint(d, w, &hint))
            return false;
        bool same = hint.res_class && *cls == hint.res_class;
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        if (!same)
            return false;
    }
    if (title) {
        char* name = nullptr;
        if (!XFetchName(d, w, &name) || !name)
            return false;
        bool same = *title == name;
        XFree(name);
        if (!same)
            return false;
    }
    return cls || title;
}

Window Search(Display* d, Window parent, int depth, const std::optional<std::string>& cls,
              const std::optional<std::string>& title)
{
    Window root, par, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, parent, &root, &par, &children, &n))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i)
        if (Matches(d, children[i], cls, title))
            found = children[i];
    for (unsigned i = 0; i < n && !found && depth > 0; ++i)
        found = Search(d, children[i], depth - 1, cls, title);
    if (children)
        XFree(children);
    return found;
}

// One connection per call; calls are rare (start-up and a second start).
class Connection {
public:
    Connection()
    {
        const char* display = std::getenv("DISPLAY");
        if (display && *display)
            d_ = XOpenDisplay(display);
        if (d_)
            old_ = XSetErrorHandler(IgnoreXError);
    }
    ~Connection()
    {
        if (!d_)
            return;
        XSync(d_, False);
        XSetErrorHandler(old_);
        XCloseDisplay(d_);
    }
    Display* get() const { return d_; }

private:
    Display* d_ = nullptr;
    XErrorHandler old_ = nullptr;
};

bool Exists(Display* d, Window w)
{
    XWindowAttributes a;
    return w != 0 && XGetWindowAttributes(d, w, &a) != 0;
}

void ActivationRequest(Display* d, Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2; // from a pager: the user asked for it
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(d);
}

// An EWMH window manager announces itself on the root window.
bool HasWindowManager(Display* d)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    const bool found = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &count, &after, &data) == Success &&
                       data && count == 1;
    if (data)
        XFree(data);
    return found;
}

class X11Windows : public IWindows {
public:
    bool IsWindow(WindowHandle window) override
    {
        Connection c;
        return c.get() && Exists(c.get(), Window(window));
    }

    bool IsIconic(WindowHandle window) override
    {
        Connection c;
        if (!c.get() || !Exists(c.get(), Window(window)))
            return false;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom wmState = XInternAtom(c.get(), "WM_STATE", False);
        bool iconic = false;
        if (XGetWindowProperty(c.get(), Window(window), wmState, 0, 2, False, wmState, &type, &format, &count, &after,
                               &data) == Success &&
            data && format == 32 && count >= 1)
            iconic = reinterpret_cast<long*>(data)[0] == IconicState;
        if (data)
            XFree(data);
        return iconic;
    }

    void ShowNormal(WindowHandle window) override
    {
        Connection c;
        if (c.get() && Exists(c.get(), Window(window)))
            ActivationRequest(c.get(), Window(window));
    }

    void SetForeground(WindowHandle window) override
    {
        Connection c;
        if (!c.get() || !Exists(c.get(), Window(window)))
            return;
        XRaiseWindow(c.get(), Window(window));
        ActivationRequest(c.get(), Window(window));
    }

    std::optional<WindowRect> GetWindowRect(WindowHandle window) override
    {
        Connection c;
        XWindowAttributes a;
        if (!c.get() || window == 0 || !XGetWindowAttributes(c.get(), Window(window), &a))
            return std::nullopt;
        int x = 0, y = 0;
        Window child = 0;
        if (!XTranslateCoordinates(c.get(), Window(window), a.root, 0, 0, &x, &y, &child))
            return std::nullopt;
        return WindowRect{x, y, x + a.width, y + a.height};
    }

    void MoveWindow(WindowHandle window, int left, int top) override
    {
        Connection c;
        if (!c.get() || !Exists(c.get(), Window(window)))
            return;
        if (!HasWindowManager(c.get())) {
            XMoveWindow(c.get(), Window(window), left, top);
            XRaiseWindow(c.get(), Window(window));
            return;
        }
        // A managed window is moved by its window manager, which places the
        // frame so that the window itself lands where it is asked to go.
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = Window(window);
        e.xclient.message_type = XInternAtom(c.get(), "_NET_MOVERESIZE_WINDOW", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = StaticGravity | (1 << 8) | (1 << 9) | (2 << 12);
        e.xclient.data.l[1] = left;
        e.xclient.data.l[2] = top;
        XSendEvent(c.get(), DefaultRootWindow(c.get()), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &e);
        XRaiseWindow(c.get(), Window(window));
        XFlush(c.get());
    }

    WindowHandle FindWindow(const std::optional<std::string>& className,
                            const std::optional<std::string>& title) override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return 0;
        Display* d = XOpenDisplay(display);
        if (!d)
            return 0;
        auto old = XSetErrorHandler(IgnoreXError);
        Window w = Search(d, DefaultRootWindow(d), 1, className, title);
        XSync(d, False);
        XSetErrorHandler(old);
        XCloseDisplay(d);
        return w;
    }
};

} // namespace

IWindows& DefaultWindows()
{
    static X11Windows windows;
    return windows;
}

} // namespace platform

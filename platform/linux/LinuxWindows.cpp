// Top-level window search on X11. Window managers reparent client windows
// into frames, so the search looks at the root's children and one level below.

#include "platform/Windows.h"

#include <X11/Xlib.h>
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

class X11Windows : public IWindows {
public:
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

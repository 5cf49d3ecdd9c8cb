#pragma once
// Top-level windows of any process: search, existence, minimised state and
// activation. On Linux these are X11 windows; without a display nothing is
// found. One installed instance (Windows()); tests install their own.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using WindowHandle = uint64_t;

// A window's place on the screen in screen coordinates; right and bottom
// lie just outside it.
struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

class IWindows {
public:
    virtual ~IWindows() = default;
    // First top-level window of that class (and title, when given); 0 when none.
    virtual WindowHandle FindWindow(const std::optional<std::string>& className,
                                    const std::optional<std::string>& title) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    // Restores a minimised window to its normal state.
    virtual void ShowNormal(WindowHandle window) = 0;
    // Raises the window to the top and gives it the input focus.
    virtual void SetForeground(WindowHandle window) = 0;
    // nullopt when there is no such window.
    virtual std::optional<WindowRect> GetWindowRect(WindowHandle window) = 0;
    // Moves the window's top-left corner there, keeping its size and its
    // place above other windows.
    virtual void MoveWindow(WindowHandle window, int left, int top) = 0;
};

IWindows& Windows();
void SetWindows(IWindows* windows);

} // namespace platform

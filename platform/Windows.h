#pragma once
// Top-level windows of any process: search, existence, minimised state and
// activation. On Linux these are X11 windows; without a display nothing is
// found. One installed instance (Windows()); tests install their own.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using WindowHandle = uint64_t;

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
};

IWindows& Windows();
void SetWindows(IWindows* windows);

} // namespace platform

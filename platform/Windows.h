#pragma once
// Top-level window search. On Linux these are X11 windows; without a display
// nothing is found. One installed instance (Windows()); tests install their own.

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
};

IWindows& Windows();
void SetWindows(IWindows* windows);

} // namespace platform

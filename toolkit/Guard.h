#pragma once
// The one guard every event handler runs through: an exception thrown by a
// handler is shown in the application's standard error box and the program
// goes on. Nothing ever propagates into Qt's event loop.

#include <exception>
#include <functional>

class QObject;

// Handler of a control event; Sender is the control that raised it.
using TNotifyEvent = std::function<void(QObject* Sender)>;

void HandleHandlerException(std::exception_ptr error) noexcept;

template <class F>
void Guarded(F&& f) noexcept
{
    try {
        f();
    } catch (...) {
        HandleHandlerException(std::current_exception());
    }
}

inline void Fire(const TNotifyEvent& handler, QObject* sender) noexcept
{
    if (handler)
        Guarded([&] { handler(sender); });
}

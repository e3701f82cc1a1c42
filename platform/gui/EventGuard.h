#pragma once
// Running a Qt event handler so that no exception leaves it: one that crossed Qt's event loop
// would end the program. A failure is reported the way the application reports any unhandled
// error (HandleException), and the event goes no further.

#include <exception>

#include "platform/gui/Services.h"

// Runs `handler`; `unknownWhat` is the message for an exception that is not a std::exception.
template <typename F>
void Guarded(F&& handler, const char* unknownWhat = "")
{
    try {
        handler();
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException(unknownWhat);
    }
}

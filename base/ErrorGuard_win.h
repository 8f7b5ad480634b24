#pragma once
// The guard that turns an exception into the general error report.
#include <windows.h>

#include <exception>

namespace tervane {

// Shows the general error report for a handler of `window` that failed with `message`.
// The box is owned by the window's top-level window when that is visible, else by none
// (hidden helper windows such as the hotkey manager's cannot own a box).
void ReportHandlerError(HWND window, const char* message) noexcept;

// Runs `handler`; an exception ends it and is reported. Returns false when it failed.
template <class F> bool RunGuarded(HWND window, F&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ReportHandlerError(window, e.what());
    } catch (...) {
        ReportHandlerError(window, "Unknown error");
    }
    return false;
}

} // namespace tervane

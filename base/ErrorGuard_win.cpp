#include "base/ErrorGuard_win.h"

#include "base/MessageBox_win.h"

namespace tervane {

void ReportHandlerError(HWND window, const char* message) noexcept {
    HWND owner = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (owner && !IsWindowVisible(owner))
        owner = nullptr;
    try {
        ShowErrorReport(owner, message);
    } catch (...) {
        // Nothing is left to report with; the program goes on.
    }
}

} // namespace tervane

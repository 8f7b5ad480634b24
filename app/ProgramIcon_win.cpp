#include "app/ProgramIcon_win.h"

#include "app/res/resource.h"
#include "base/Dpi_win.h"

#include <stdexcept>

namespace tervane {

namespace {

// The largest picture of IDI_TERVANE; IDI_TERVANE_LARGE holds the larger ones.
constexpr int kLargestOfTheIcon = 32;

} // namespace

UniqueIcon LoadProgramIcon(HINSTANCE instance, int side) {
    const int resource = side > kLargestOfTheIcon ? IDI_TERVANE_LARGE : IDI_TERVANE;
    UniqueIcon icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, side, side, 0)));
    if (!icon)
        throw std::runtime_error("Cannot load the program's icon");
    return icon;
}

void WindowIcons::ApplyTo(HWND window, int dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    UniqueIcon small = LoadProgramIcon(instance, SystemMetricAt(SM_CXSMICON, dpi));
    UniqueIcon large = LoadProgramIcon(instance, SystemMetricAt(SM_CXICON, dpi));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
    // The window has let go of the icons it showed before.
    small_ = std::move(small);
    large_ = std::move(large);
}

} // namespace tervane

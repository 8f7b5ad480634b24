// The options panel of the main window: the transparency slider, the compact language
// bar, the log option and the About box.
#include "app/AboutBox_win.h"
#include "app/MainWindow_win.h"
#include "app/Transparency.h"
#include "base/WideText_win.h"
#include "translate/TranslationLog_win.h"

#include <shellapi.h>

#include <stdexcept>

namespace tervane {

namespace {

// The outer size of the window in compact form, and where the "Language" group sits in
// each form: in compact form its caption and its left and top edges lie outside the
// client area, leaving only the pickers and the compact-mode button in view. The full
// form gets back the frame it had before (its size depends on the system's frame metrics).
constexpr SIZE kCompactSize{196, 82};
constexpr POINT kFullLanguagePlace{264, 8};
constexpr POINT kCompactLanguagePlace{-7, -14};

} // namespace

// The slider reports every move (a drag, a key, a click on its track, or the settings
// load); the transparency changes only when the position is a new one.
void MainWindow::OnSliderMoved() {
    const int position = static_cast<int>(SendMessageW(transparencySlider_, TBM_GETPOS, 0, 0));
    if (position == sliderPosition_)
        return;
    sliderPosition_ = position;
    OnTransparencyChange();
}

void MainWindow::OnTransparencyChange() {
    const int position = static_cast<int>(SendMessageW(transparencySlider_, TBM_GETPOS, 0, 0));
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    const std::optional<std::uint8_t> opacity = OpacityForSlider(position);
    if (!opacity) {
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
        // A window that stops being layered is drawn again as an ordinary one.
        RedrawWindow(hwnd_, nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    }
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    if (!SetLayeredWindowAttributes(hwnd_, 0, *opacity, LWA_ALPHA))
        throw std::runtime_error("Cannot make the window transparent");
}

// Full window <-> a small always-on-top bar with the two pickers and this button. The
// window is hidden while it changes and keeps its top-left corner on the screen.
void MainWindow::OnCompactMode() {
    compact_ = !compact_;
    if (compact_) {
        RECT frame{};
        GetWindowRect(hwnd_, &frame);
        fullSize_ = {frame.right - frame.left, frame.bottom - frame.top};
    }
    ShowWindow(hwnd_, SW_HIDE);
    for (HWND group : {hotKeyGroup_, hotKeysInUseGroup_, transparencyGroup_, optionsGroup_})
        ShowWindow(group, compact_ ? SW_HIDE : SW_SHOW);
    const POINT place = compact_ ? kCompactLanguagePlace : kFullLanguagePlace;
    SetWindowPos(languageGroup_, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The tool-window border: a small caption with the close box only.
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    exStyle = compact_ ? (exStyle & ~WS_EX_DLGMODALFRAME) | WS_EX_TOOLWINDOW
                       : (exStyle & ~WS_EX_TOOLWINDOW) | WS_EX_DLGMODALFRAME;
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle);
    const SIZE size = compact_ ? kCompactSize : fullSize_;
    SetWindowPos(hwnd_, compact_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    ShowWindow(hwnd_, SW_SHOW);
}

// Switching logging on creates the log with its banner when there is none; switching it
// off leaves the file alone.
void MainWindow::OnLogToFileClick() {
    if (SendMessageW(logToFileBox_, BM_GETCHECK, 0, 0) == BST_CHECKED)
        CreateLogWithBanner();
}

// The log in the system's text editor; the editor itself says when there is no file.
void MainWindow::OnViewLog() {
    ShellExecuteW(nullptr, L"open", L"notepad.exe", Widen(TranslationLogPath()).c_str(), nullptr,
                  SW_SHOWNORMAL);
}

void MainWindow::OnAbout() {
    AboutBox box;
    box.ShowModal(hwnd_);
}

} // namespace tervane

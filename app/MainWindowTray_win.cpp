// The main window and the notification area: hiding the window to its icon and bringing it
// back.
#include "app/MainWindow_win.h"
#include "app/ProgramIcon_win.h"
#include "base/AppIdentity.h"
#include "base/Dpi_win.h"
#include "base/WideText_win.h"

#include <stdexcept>

namespace tervane {

namespace {

// What users of programs in the notification area expect on a right click: the window
// back (the default, also run by a double click) and a way out.
HMENU MakeTrayMenu() {
    UniqueMenu menu(CreatePopupMenu());
    const std::wstring show = Widen(std::string("&Show ") + kApplicationTitle);
    if (!menu ||
        !AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(ControlId::TrayShowCommand),
                     show.c_str()) ||
        !AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(ControlId::TrayExitCommand),
                     L"E&xit"))
        throw std::runtime_error("Cannot create the notification-area menu");
    SetMenuDefaultItem(menu.Get(), static_cast<UINT>(ControlId::TrayShowCommand), FALSE);
    return menu.Release();
}

} // namespace

void MainWindow::CreateTrayIcon(HINSTANCE instance, HWND taskbarWindow) {
    tray_ = std::make_unique<TrayIcon>(hwnd_, taskbarWindow);
    tray_->SetHint(kApplicationTitle);
    // The small icon's size where the notification area is drawn: the primary monitor's.
    const int dpi = DpiOfMonitor(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    const UniqueIcon icon = LoadProgramIcon(instance, SystemMetricAt(SM_CXSMICON, dpi));
    tray_->SetIcon(icon.Get()); // the icon keeps a copy
    tray_->minimizeToTray = true;
    tray_->onClick = [this] { OnTrayIconClick(); };
    trayMenu_.Reset(MakeTrayMenu());
    tray_->popupMenu = trayMenu_.Get();
    tray_->Initialize();
}

// The window goes, the icon comes; hotkeys keep working (they reach the hotkey manager's
// own window).
void MainWindow::OnMinimize() {
    tray_->HideToTray();
    tray_->minimizeToTray = true;
}

void MainWindow::OnTrayIconClick() {
    tray_->SetIconVisible(false);
    tray_->minimizeToTray = false;
    tray_->RestoreOwner();
    SetForegroundWindow(hwnd_);
}

UINT MainWindow::ShowRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Vellmark.Tervane.ShowMainWindow");
    return message;
}

// Another start of the program: the window comes back as from the icon, or to the front.
void MainWindow::OnShowRequest() {
    if (!IsWindowVisible(hwnd_)) {
        OnTrayIconClick();
        return;
    }
    if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    // A message box of the window's stays in front of it.
    SetForegroundWindow(GetLastActivePopup(hwnd_));
}

} // namespace tervane

#include "notify/TrayIcon_win.h"

#include "base/ErrorGuard_win.h"
#include "base/WideText_win.h"
#include "notify/TrayIconHandler_win.h"
#include "notify/TrayIconTip.h"

#include <shlwapi.h>

#include <algorithm>
#include <iterator>

namespace tervane {

namespace {

constexpr unsigned kExitPollInterval = 20;

// Shells with common controls newer than 4.70 broadcast "TaskbarCreated" when they restart.
constexpr DWORD kTaskbarCreatedAfterVersion = 4 * 65536 + 70;

// major * 65536 + minor of the common controls, 0 when they don't say.
DWORD CommonControlsVersion() {
    const HMODULE module = GetModuleHandleW(L"comctl32.dll");
    const auto getVersion =
        module ? reinterpret_cast<DLLGETVERSIONPROC>(
                     reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetVersion")))
               : nullptr;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (!getVersion || FAILED(getVersion(&info)))
        return 0;
    return info.dwMajorVersion * 65536 + info.dwMinorVersion;
}

unsigned ShiftState(unsigned button) {
    unsigned shift = button;
    if (GetAsyncKeyState(VK_SHIFT) < 0)
        shift |= kTrayShiftKey;
    if (GetAsyncKeyState(VK_CONTROL) < 0)
        shift |= kTrayCtrlKey;
    if (GetAsyncKeyState(VK_MENU) < 0)
        shift |= kTrayAltKey;
    return shift;
}

// The application is ending once the message loop has been told to quit.
bool QuitPending() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

} // namespace

UINT TaskbarCreatedMessage() {
    static const UINT message = CommonControlsVersion() > kTaskbarCreatedAfterVersion
                                    ? RegisterWindowMessageW(L"TaskbarCreated")
                                    : 0;
    return message;
}

TrayIcon::TrayIcon(HWND ownerWindow, HWND taskbarWindow)
    : owner_(ownerWindow), taskbar_(taskbarWindow), clickTimer_(1000, [this] { OnClickTimer(); }),
      cycleTimer_(1000, [this] { OnCycleTimer(); }),
      exitTimer_(kExitPollInterval, [this] { OnExitTimer(); }) {
    TaskbarCreatedMessage();
    // The record stays the same for the icon's life but for the picture and the tip.
    data_.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data_.hWnd = TrayIconHandler::Join(*this);
    data_.uID = Identifier();
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kTrayIconCallbackMessage;
    const auto self = reinterpret_cast<DWORD_PTR>(this);
    if (taskbar_)
        SetWindowSubclass(taskbar_, TaskbarProc, Identifier(), self);
    if (owner_)
        SetWindowSubclass(owner_, OwnerProc, Identifier(), self);
}

TrayIcon::~TrayIcon() {
    DeleteNotifyIcon();
    clickTimer_.Stop();
    cycleTimer_.Stop();
    exitTimer_.Stop();
    if (taskbar_ && IsWindow(taskbar_))
        RemoveWindowSubclass(taskbar_, TaskbarProc, Identifier());
    if (owner_ && IsWindow(owner_))
        RemoveWindowSubclass(owner_, OwnerProc, Identifier());
    TrayIconHandler::Leave(*this);
}

bool TrayIcon::Initialize() {
    bool showMainWindow = true;
    if (const auto handler = onStartup)
        handler(showMainWindow);
    UpdateNotifyIcon();
    SetIconVisible(iconVisible_);
    SetCycleIcons(false);
    exitTimer_.Stop();
    data_.uVersion = notifyVersion_;
    Shell_NotifyIconW(NIM_SETVERSION, &data_);
    return showMainWindow;
}

void TrayIcon::FillNotifyData() {
    data_.hIcon = icon_.Get();
    const std::wstring tip = Widen(TrayIconTip(hint_, showHint_));
    const std::size_t length = std::min(tip.size(), std::size(data_.szTip) - 1);
    std::copy_n(tip.data(), length, data_.szTip);
    data_.szTip[length] = L'\0';
}

bool TrayIcon::AddNotifyIcon() {
    iconVisible_ = true;
    FillNotifyData();
    return Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

bool TrayIcon::DeleteNotifyIcon() {
    iconVisible_ = false;
    return Shell_NotifyIconW(NIM_DELETE, &data_) != FALSE;
}

bool TrayIcon::UpdateNotifyIcon() {
    FillNotifyData();
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

void TrayIcon::SetCycleIcons(bool cycle) {
    cycleIcons_ = cycle;
    cycleTimer_.SetEnabled(cycle);
}

void TrayIcon::SetCycleInterval(int milliseconds) {
    cycleInterval_ = milliseconds;
    cycleTimer_.SetInterval(static_cast<unsigned>(std::max(milliseconds, 0)));
}

void TrayIcon::SetHint(std::string hint) {
    hint_ = std::move(hint);
    UpdateNotifyIcon();
}

void TrayIcon::SetShowHint(bool show) {
    showHint_ = show;
    UpdateNotifyIcon();
}

void TrayIcon::SetIcon(HICON icon) {
    ReplaceIcon(icon ? CopyIcon(icon) : nullptr);
}

void TrayIcon::ReplaceIcon(HICON owned) {
    icon_.Reset(owned);
    UpdateNotifyIcon();
}

void TrayIcon::SetIconVisible(bool visible) {
    if (visible)
        AddNotifyIcon();
    else
        DeleteNotifyIcon();
}

void TrayIcon::SetIconIndex(int index) {
    iconIndex_ = index;
    if (iconList && index >= 0 && index < ImageList_GetImageCount(iconList))
        ReplaceIcon(ImageList_GetIcon(iconList, index, ILD_NORMAL));
}

void TrayIcon::HandleNotification(UINT message) {
    const std::weak_ptr<char> alive = alive_;
    const auto gone = [&alive] { return alive.expired(); };
    // Balloon notifications come whatever the icon's state.
    switch (message) {
    case NIN_BALLOONSHOW:
        if (const auto handler = onBalloonHintShow)
            handler();
        return;
    case NIN_BALLOONHIDE:
        if (const auto handler = onBalloonHintHide)
            handler();
        return;
    case NIN_BALLOONTIMEOUT:
        if (const auto handler = onBalloonHintTimeout)
            handler();
        return;
    case NIN_BALLOONUSERCLICK:
        if (const auto handler = onBalloonHintClick)
            handler();
        return;
    }
    if (!enabled)
        return;

    POINT pointer{};
    GetCursorPos(&pointer);
    const auto mouse = [&](const TrayMouseEvent& event, TrayMouseButton button, unsigned flag) {
        if (const auto handler = event)
            handler(button, ShiftState(flag), pointer.x, pointer.y);
    };
    switch (message) {
    case WM_LBUTTONDOWN:
        if (onDblClick) {
            clickTimer_.SetInterval(GetDoubleClickTime());
            clickTimer_.Start();
        }
        clicks_.LeftDown();
        mouse(onMouseDown, TrayMouseButton::Left, kTrayLeftButton);
        if (!gone() && leftPopup && popupMenu)
            ShowPopupMenu();
        break;
    case WM_LBUTTONUP:
        if (clicks_.LeftUp(clickTimer_.Running())) {
            if (const auto handler = onClick)
                handler();
            if (gone())
                return;
        }
        mouse(onMouseUp, TrayMouseButton::Left, kTrayLeftButton);
        break;
    case WM_LBUTTONDBLCLK:
        clicks_.DoubleClick();
        if (const auto handler = onDblClick)
            handler();
        if (!gone() && popupMenu && !leftPopup)
            SendMenuCommand(GetMenuDefaultItem(popupMenu, FALSE, 0));
        break;
    case WM_RBUTTONDOWN:
        mouse(onMouseDown, TrayMouseButton::Right, kTrayRightButton);
        if (!gone() && popupMenu)
            ShowPopupMenu();
        break;
    case WM_RBUTTONUP:
        if (notifyVersion_ == 0)
            mouse(onMouseUp, TrayMouseButton::Right, kTrayRightButton);
        break;
    case WM_MBUTTONDOWN:
        mouse(onMouseDown, TrayMouseButton::Middle, kTrayMiddleButton);
        break;
    case WM_MBUTTONUP:
        mouse(onMouseUp, TrayMouseButton::Middle, kTrayMiddleButton);
        break;
    case WM_MOUSEMOVE:
        if (wantEnterExitEvents && pointerOutside_) {
            pointerOutside_ = false;
            exitTimer_.Start();
            if (const auto handler = onMouseEnter)
                handler();
            if (gone())
                return;
        }
        lastPointer_ = pointer;
        if (const auto handler = onMouseMove)
            handler(ShiftState(0), pointer.x, pointer.y);
        break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (notifyVersion_ == 3)
            mouse(onMouseUp, TrayMouseButton::Right, kTrayRightButton);
        break;
    }
}

void TrayIcon::OnClickTimer() {
    clickTimer_.Stop();
    if (!clicks_.ClickTimerElapsed())
        return;
    if (const auto handler = onClick)
        handler();
}

void TrayIcon::OnCycleTimer() {
    const int count = iconList ? ImageList_GetImageCount(iconList) : 0;
    if (count <= 0)
        return;
    const int next = iconIndex_ + 1 < count ? iconIndex_ + 1 : 0;
    const std::weak_ptr<char> alive = alive_;
    if (const auto handler = onCycle)
        handler(next);
    if (!alive.expired())
        SetIconIndex(next);
}

void TrayIcon::OnExitTimer() {
    POINT pointer{};
    GetCursorPos(&pointer);
    if (pointer.x == lastPointer_.x && pointer.y == lastPointer_.y)
        return;
    pointerOutside_ = true;
    exitTimer_.Stop();
    if (const auto handler = onMouseExit)
        handler();
}

void TrayIcon::ShowPopupMenu() {
    POINT pointer{};
    GetCursorPos(&pointer);
    // The menu closes when the user clicks elsewhere only if its window is in the foreground.
    const HWND window = TrayIconHandler::Window();
    SetForegroundWindow(window);
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        popupMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pointer.x, pointer.y, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    SendMenuCommand(command);
}

void TrayIcon::SendMenuCommand(UINT command) {
    if (command != 0 && command != static_cast<UINT>(-1) && owner_)
        PostMessageW(owner_, WM_COMMAND, command, 0);
}

void TrayIcon::HideToTray() {
    if (!owner_)
        return;
    ShowWindow(owner_, SW_HIDE);
    if (taskbar_ && IsWindowVisible(taskbar_)) {
        ShowWindow(taskbar_, SW_HIDE);
        taskbarHidden_ = true;
    }
    SetIconVisible(true);
}

void TrayIcon::RestoreOwner() {
    if (!owner_)
        return;
    if (IsIconic(owner_))
        ShowWindow(owner_, SW_RESTORE);
    ShowWindow(owner_, SW_SHOW);
}

bool TrayIcon::MinimizeToOwnHandler() {
    if (!minimizeToTray || !onMinimizeToTray)
        return false;
    const std::weak_ptr<char> alive = alive_;
    const auto handler = onMinimizeToTray;
    handler();
    if (!alive.expired())
        HideToTray();
    return true;
}

LRESULT CALLBACK TrayIcon::OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<TrayIcon*>(data);
    bool consumed = false;
    RunGuarded(hwnd, [&] {
        if (msg == WM_SHOWWINDOW && wp == TRUE && lp == 0) {
            // Shown again: the taskbar button comes back, and the window to the foreground.
            if (self->taskbarHidden_) {
                self->taskbarHidden_ = false;
                ShowWindow(self->taskbar_, SW_SHOWNOACTIVATE);
            }
            if (self->taskbar_)
                SetForegroundWindow(self->taskbar_);
            SetForegroundWindow(hwnd);
        } else if ((msg == WM_SHOWWINDOW && wp == FALSE && lp == SW_PARENTCLOSING &&
                    !QuitPending()) ||
                   (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_MINIMIZE)) {
            consumed = self->MinimizeToOwnHandler();
        }
    });
    return consumed ? 1 : DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TrayIcon::TaskbarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<TrayIcon*>(data);
    // Watched before the window handles it, and always passed on.
    RunGuarded(hwnd, [&] {
        if (msg == WM_SIZE && wp == SIZE_MINIMIZED && self->minimizeToTray)
            self->HideToTray();
        else if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_RESTORE)
            self->RestoreOwner();
    });
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace tervane

#pragma once
// An icon in the notification area of the taskbar that stands for a window of the program
// while that window is hidden. It reports mouse notifications of the icon as events, can
// hide its owner window together with the program's taskbar button to the notification
// area, and adds the icon anew when the shell restarts.
//
// The owner (the main window) keeps one TrayIcon for its lifetime, sets the properties,
// then calls Initialize. Everything runs on the owner's thread: notifications, timer ticks
// and the watched windows' messages arrive through its message loop. Events are skipped
// when empty and run inside the program's error guard.
#include "notify/SimpleTimer_win.h"
#include "notify/TrayIconClicks.h"

#include "base/GdiHandles_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

namespace tervane {

// The message the shell sends the handler window for the icon's notifications.
constexpr UINT kTrayIconCallbackMessage = WM_USER + 1024;

enum class TrayMouseButton { Left, Right, Middle };

// Shift state of a mouse event: the keys held at that moment plus the button.
constexpr unsigned kTrayShiftKey = 0x1;
constexpr unsigned kTrayAltKey = 0x2;
constexpr unsigned kTrayCtrlKey = 0x4;
constexpr unsigned kTrayLeftButton = 0x8;
constexpr unsigned kTrayRightButton = 0x10;
constexpr unsigned kTrayMiddleButton = 0x20;

using TrayMouseEvent = std::function<void(TrayMouseButton button, unsigned shift, int x, int y)>;

class TrayIcon {
  public:
    // `ownerWindow`: the window the icon stands for (the main window), or nullptr.
    // `taskbarWindow`: the window that carries the program's taskbar button and owns the
    // owner window, or nullptr. Both are watched (subclassed) while the icon exists.
    TrayIcon(HWND ownerWindow, HWND taskbarWindow);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Called once after the properties are set: raises onStartup, refreshes the icon,
    // applies IconVisible, stops cycling and the exit poll, and asks the shell for the
    // first notification form. Returns whether the owner window is to be shown.
    bool Initialize();

    // Stored values, read when used.
    bool designPreview = false;
    HIMAGELIST iconList = nullptr; // pictures for IconIndex and cycling; not owned
    bool enabled = true;           // off: mouse notifications are ignored
    HMENU popupMenu = nullptr;     // commands go to the owner window as WM_COMMAND; not owned
    bool leftPopup = false;        // the menu pops up on a left press too
    bool wantEnterExitEvents = false;
    bool minimizeToTray = false; // minimising hides to the notification area

    // Properties that refresh the icon in the notification area at once.
    void SetCycleIcons(bool cycle);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleInterval(int milliseconds);
    int CycleInterval() const { return cycleInterval_; }
    void SetHint(std::string hint); // UTF-8
    const std::string& Hint() const { return hint_; }
    void SetShowHint(bool show);
    bool ShowHint() const { return showHint_; }
    // Keeps a copy of `icon`; the caller keeps its own.
    void SetIcon(HICON icon);
    HICON Icon() const { return icon_.Get(); }
    void SetIconVisible(bool visible);
    bool IconVisible() const { return iconVisible_; }
    // With an icon list: shows the list's picture at `index`.
    void SetIconIndex(int index);
    int IconIndex() const { return iconIndex_; }

    // Events.
    std::function<void()> onClick;
    std::function<void()> onDblClick; // when assigned, a click waits for the double-click time
    TrayMouseEvent onMouseDown, onMouseUp;
    std::function<void(unsigned shift, int x, int y)> onMouseMove;
    std::function<void()> onMouseEnter, onMouseExit;
    std::function<void(int nextIndex)> onCycle;
    std::function<void()> onBalloonHintShow, onBalloonHintHide, onBalloonHintTimeout,
        onBalloonHintClick;
    std::function<void()> onMinimizeToTray;
    std::function<void(bool& showMainWindow)> onStartup;

    // The shell calls: the record is refreshed first; each answers the shell's result,
    // which is not reported further. Add and delete record IconVisible.
    bool AddNotifyIcon();
    bool DeleteNotifyIcon();
    bool UpdateNotifyIcon();

    // Hides the owner window and the taskbar button and shows the icon.
    void HideToTray();
    // Makes the owner window normal and visible; the taskbar button comes back with it.
    void RestoreOwner();

    // The record given to the shell, and the identifier the shell hands back with every
    // notification to the shared handler window (the record's window).
    const NOTIFYICONDATAW& NotifyData() const { return data_; }
    UINT Identifier() const { return static_cast<UINT>(reinterpret_cast<UINT_PTR>(this)); }

  private:
    friend class TrayIconHandler;
    void FillNotifyData();
    void ReplaceIcon(HICON owned);
    void HandleNotification(UINT message);
    void OnClickTimer();
    void OnCycleTimer();
    void OnExitTimer();
    void ShowPopupMenu();
    void SendMenuCommand(UINT command);
    // onMinimizeToTray and HideToTray, when both apply; true when the message is consumed.
    bool MinimizeToOwnHandler();
    static LRESULT CALLBACK OwnerProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    static LRESULT CALLBACK TaskbarProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;

    HWND owner_;
    HWND taskbar_;
    bool taskbarHidden_ = false; // HideToTray hid the taskbar window
    NOTIFYICONDATAW data_{};
    bool cycleIcons_ = false;
    int cycleInterval_ = 0;
    std::string hint_;
    bool showHint_ = true;
    UniqueIcon icon_;
    bool iconVisible_ = false;
    int iconIndex_ = 0;
    // The shell's notification form: 0, where the callback's second parameter is the
    // plain mouse message; 3 would report the context menu and selections instead.
    UINT notifyVersion_ = 0;
    TrayIconClicks clicks_;
    bool pointerOutside_ = true;
    POINT lastPointer_{};
    SimpleTimer clickTimer_, cycleTimer_, exitTimer_;
    // Expires with the icon: events check it before going on, since a handler may end it.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// The message the shell broadcasts when it starts again; registered on first use, 0 when
// the common controls are older than 4.71. The program asks for it at start.
UINT TaskbarCreatedMessage();

} // namespace tervane

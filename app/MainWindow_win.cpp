#include "app/MainWindow_win.h"

#include "app/res/resource.h"
#include "base/AppIdentity.h"
#include "base/MessageBox_win.h"
#include "base/WideText_win.h"
#include "net/WinHttpTransport_win.h"

#include <stdexcept>

namespace tervane {

namespace {

constexpr int kClientWidth = 476;
constexpr int kClientHeight = 305;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The outer size of the window in compact form, and where the "Language" group sits in
// each form: in compact form its caption and its left and top edges lie outside the
// client area, leaving only the pickers and the compact-mode button in view. The full
// form gets back the frame it had before (its size depends on the system's frame metrics).
constexpr SIZE kCompactSize{196, 82};
constexpr POINT kFullLanguagePlace{264, 8};
constexpr POINT kCompactLanguagePlace{-7, -14};

bool IsFocusable(HWND window, HWND control) {
    return control && IsWindow(control) && IsChild(window, control) && IsWindowVisible(control) &&
           IsWindowEnabled(control);
}

} // namespace

MainWindow::~MainWindow() {
    worker_.Stop();
    if (flow_)
        flow_->Flow().Abandon();
    if (hwnd_)
        DestroyWindow(hwnd_);
    hotKeys_.reset(); // releases every hotkey
}

void MainWindow::Create(HINSTANCE instance, HWND owner) {
    RegisterClassOnce(instance,
                      {kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), IDI_TERVANE});

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowExW(kWindowExStyle, kClassName, Widen(kMainWindowCaption).c_str(), kWindowStyle,
                    left, top, width, height, owner, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the main window");

    // "MS Sans Serif" 8 point: character height 11 pixels.
    formFont_.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.Get()), FALSE);
    worker_.SetWindow(hwnd_);
    hotKeys_ = std::make_unique<HotKeyManager>();
    hotKeyPanel_ = std::make_unique<HotKeyPanel>(codec_, *hotKeys_);
    // Panels in the keyboard (tab) order.
    const PanelBuilder build(hwnd_, formFont_.Get());
    hotKeyPanel_->Create(build);
    languages_.Create(build, instance);
    options_.Create(build);
    bottom_.Create(build);
    hotKeyPanel_->onChanged = [this] { OnSettingChanged(); };
    languages_.onChanged = [this] { OnSettingChanged(); };
    options_.onChanged = [this] { OnSettingChanged(); };

    // A fresh connection per translation: under Wine a post on a kept-alive connection
    // waits about 40 ms for the acknowledgement of its head (WinHttpTransport_win.cpp).
    HttpTimeouts exchange = kDefaultHttpTimeouts;
    exchange.keepAlive = false;
    http_ = std::make_unique<HttpClient>(std::make_unique<WinHttpTransport>(exchange));
    flow_ =
        std::make_unique<WinTranslationFlow>(owner, hwnd_, *http_, registry_, worker_, balloon_);
    flow_->Flow().onStage = [this](FlowStage stage) {
        if (onFlowStage)
            onFlowStage(stage);
    };
    CreateTrayIcon(instance, owner);
    // Guarded here too, so that the error report is the main window's box.
    hotKeys_->onHotKeyPressed = [this](std::uint32_t hotKey, std::uint16_t index) {
        RunGuarded(hwnd_, [&] { OnTranslateHotKey(hotKey, index); });
    };
    RunGuarded(hwnd_, [this] { OnCreate(); });
    // From here on (a stored value that failed to load too) each change is saved.
    saved_ = CurrentSettings();
}

void MainWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
}

// The window's own controls, then those inside its groups.
HWND MainWindow::Control(ControlId id) const {
    const int number = static_cast<int>(id);
    if (HWND control = GetDlgItem(hwnd_, number))
        return control;
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND control = GetDlgItem(child, number))
            return control;
    }
    return nullptr;
}

void MainWindow::OnCreate() {
    bottom_.ShowCopyright();
    hotKeyPanel_->Controller().AddDefaultHotKey();
    languages_.Controller().Start();
    PanelSettings view = SettingsOfPanels();
    LoadSettings(*settings_, view);
}

void MainWindow::OnClose() {
    // A refused write ends the close here: the window stays open.
    SaveSettings(*settings_, CurrentSettings());
    // A translation still waiting for the service is let go: its capture undone, its
    // answer dropped. Everything the window owns is released with it; the program ends
    // with the window.
    flow_->Flow().Abandon();
    DestroyWindow(hwnd_);
}

PanelSettings MainWindow::SettingsOfPanels() {
    return {languages_.Controller(), options_.Controller(), hotKeyPanel_->Controller()};
}

Settings MainWindow::CurrentSettings() {
    return SettingsOfPanels().Current();
}

// Saved at once, so that a session that ends without closing the window loses nothing. A
// panel that changed nothing stored (the service's routes came back) writes nothing.
void MainWindow::OnSettingChanged() {
    if (!saved_)
        return;
    const Settings now = CurrentSettings();
    if (now == *saved_)
        return;
    saved_ = now;
    SaveSettings(*settings_, now);
}

void MainWindow::OnEndSession() {
    saved_ = CurrentSettings();
    SaveSettings(*settings_, *saved_);
}

// A registered hotkey translates, or replaces, as its line says; a press while one waits
// for the service is ignored by the flow.
void MainWindow::OnTranslateHotKey(std::uint32_t hotKey, std::uint16_t) {
    flow_->Flow().Start(CurrentSettings(), hotKeyPanel_->Controller().ActionOf(hotKey));
}

void MainWindow::OnExit() {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
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
    hotKeyPanel_->Show(!compact_);
    options_.Show(!compact_);
    languages_.MoveTo(compact_ ? kCompactLanguagePlace : kFullLanguagePlace);

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

// What a dialog does with the keyboard focus: remember the focused control when the window
// is deactivated and give it back when it is activated again, the first control of the
// keyboard order when there is none to give back.
void MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (IsFocusable(hwnd_, focus))
            lastFocus_ = focus;
        return;
    }
    if (!IsFocusable(hwnd_, lastFocus_))
        lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (lastFocus_)
        SetFocus(lastFocus_);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == ShowRequestMessage()) {
        OnShowRequest();
        return 0;
    }
    switch (msg) {
    case WM_COMMAND:
        OnCommand(static_cast<ControlId>(LOWORD(wp)), HIWORD(wp));
        return 0;
    case WM_ACTIVATE:
        // Minimised windows are activated too; they have no control to focus.
        if (HIWORD(wp))
            break;
        OnActivate(LOWORD(wp) != WA_INACTIVE);
        return 0;
    case WM_MEASUREITEM: {
        // The pickers' rows.
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_COMBOBOX)
            break;
        item->itemHeight = 14;
        return TRUE;
    }
    case WM_DRAWITEM:
        if (languages_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
            return TRUE;
        break;
    case WM_HSCROLL:
        options_.OnScroll(reinterpret_cast<HWND>(lp));
        return 0;
    case kSwapLanguagesMessage:
        languages_.OnSwapLanguages();
        return 0;
    case kWorkDoneMessage:
        worker_.OnWorkDone();
        return 0;
    case WM_QUERYENDSESSION:
        OnEndSession();
        return TRUE;
    case WM_ENDSESSION:
        if (wp)
            OnEndSession();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::OnCommand(ControlId id, int notification) {
    if (hotKeyPanel_->OnCommand(id, notification) || languages_.OnCommand(id, notification) ||
        options_.OnCommand(id, notification) || bottom_.OnCommand(id, notification))
        return;
    const bool clicked = notification == BN_CLICKED;
    switch (id) {
    case ControlId::CompactButton:
        if (clicked)
            OnCompactMode();
        break;
    case ControlId::MinimizeButton:
        if (clicked)
            OnMinimize();
        break;
    case ControlId::ExitButton:
        if (clicked)
            OnExit();
        break;
    case ControlId::TrayShowCommand:
        OnTrayIconClick();
        break;
    case ControlId::TrayExitCommand:
        OnExit();
        break;
    default:
        break;
    }
}

} // namespace tervane

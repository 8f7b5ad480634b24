#include "app/MainWindow_win.h"

#include "app/res/resource.h"
#include "base/AppIdentity.h"
#include "base/Dpi_win.h"
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
// form's outer size is its client area's with the system's frame at the window's DPI.
// All at 96 DPI.
constexpr SIZE kCompactSize{196, 82};
constexpr POINT kFullLanguagePlace{264, 8};
constexpr POINT kCompactLanguagePlace{-7, -14};
// The pickers' list rows.
constexpr int kPickerRowHeight = 14;
// "MS Sans Serif" 8 point: character height 11 pixels.
constexpr int kFormFontHeight = 11;

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

    // Made on the primary monitor, where it is then centred at that monitor's DPI.
    CreateWindowExW(kWindowExStyle, kClassName, Widen(kMainWindowCaption).c_str(), kWindowStyle, 0,
                    0, 0, 0, owner, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the main window");
    dpi_ = DpiOfWindow(hwnd_);
    const SIZE size = FullSize();
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    icons_.ApplyTo(hwnd_, dpi_);
    formFont_ =
        MakeFittingFontAt(L"MS Sans Serif", kFormFontHeight, FW_NORMAL, DEFAULT_CHARSET, dpi_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.Get()), FALSE);
    worker_.SetWindow(hwnd_);
    hotKeys_ = std::make_unique<HotKeyManager>();
    hotKeyPanel_ = std::make_unique<HotKeyPanel>(codec_, *hotKeys_);
    // Panels in the keyboard (tab) order.
    const PanelBuilder build(hwnd_, formFont_.Get(), dpi_, layout_);
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

SIZE MainWindow::FullSize() const {
    return WindowSizeAt(ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_),
                        kWindowStyle, kWindowExStyle, dpi_);
}

SIZE MainWindow::OwnSize() const {
    if (!compact_)
        return FullSize();
    return {ScaleToDpi(kCompactSize.cx, dpi_), ScaleToDpi(kCompactSize.cy, dpi_)};
}

void MainWindow::PlaceLanguages() const {
    const POINT place = compact_ ? kCompactLanguagePlace : kFullLanguagePlace;
    languages_.MoveTo({ScaleToDpi(place.x, dpi_), ScaleToDpi(place.y, dpi_)});
}

// Full window <-> a small always-on-top bar with the two pickers and this button. The
// window is hidden while it changes and keeps its top-left corner on the screen.
void MainWindow::OnCompactMode() {
    compact_ = !compact_;
    ShowWindow(hwnd_, SW_HIDE);
    hotKeyPanel_->Show(!compact_);
    options_.Show(!compact_);
    PlaceLanguages();

    // The tool-window border: a small caption with the close box only.
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    exStyle = compact_ ? (exStyle & ~WS_EX_DLGMODALFRAME) | WS_EX_TOOLWINDOW
                       : (exStyle & ~WS_EX_TOOLWINDOW) | WS_EX_DLGMODALFRAME;
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle);
    const SIZE size = OwnSize();
    SetWindowPos(hwnd_, compact_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    ShowWindow(hwnd_, SW_SHOW);
}

// The window moved to a monitor of another DPI (or the monitor's scale changed): every
// control, font and picture is made again for it, and the window takes the place the system
// suggests with its own size at the new DPI.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    icons_.ApplyTo(hwnd_, dpi_);
    UniqueFont font =
        MakeFittingFontAt(L"MS Sans Serif", kFormFontHeight, FW_NORMAL, DEFAULT_CHARSET, dpi_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    layout_.ApplyDpi(dpi_, font.Get());
    formFont_ = std::move(font); // no control uses the old one any more
    hotKeyPanel_->ScaleTo(dpi_);
    languages_.ScaleTo(dpi_);
    options_.ScaleTo(dpi_);
    PlaceLanguages();
    const SIZE own = OwnSize();
    const PixelRect place = PlaceAfterDpiChange(
        {suggested.left, suggested.top, suggested.right, suggested.bottom}, own.cx, own.cy);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
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
        item->itemHeight = static_cast<UINT>(ScaleToDpi(kPickerRowHeight, dpi_));
        return TRUE;
    }
    case WM_DRAWITEM:
        if (languages_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
            return TRUE;
        break;
    case kDpiChangedMessage:
        OnDpiChanged(DpiOfDpiChange(static_cast<unsigned long>(wp)),
                     *reinterpret_cast<const RECT*>(lp));
        return 0;
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

#include "app/MainWindow_win.h"

#include "app/MainWindowSettings_win.h"
#include "app/res/resource.h"
#include "base/AppIdentity.h"
#include "base/MaskedImages_win.h"
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
// The local service lists its languages in milliseconds; one that does not answer within
// these leaves the pickers as they are rather than the window frozen.
constexpr HttpTimeouts kRoutesTimeouts{1000, 1000, 1000, 2000};

// Controls inside a group are children of the group, as the window was designed; the
// group hands their notifications on to the main window, where the handlers live.
LRESULT CALLBACK GroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR window) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return SendMessageW(reinterpret_cast<HWND>(window), msg, wp, lp);
    case WM_PAINT: {
        // A group box paints only its frame and caption; as a parent it owns its area.
        RECT rc;
        GetClientRect(hwnd, &rc);
        HDC dc = GetDC(hwnd);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        ReleaseDC(hwnd, dc);
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, GroupProc, 0);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// The "Language" group also reacts to clicks on its own frame, caption and empty area
// (a plain group box lets clicks fall through to the window beneath it). The second
// press of a double-click is a click like the first; neither gives the frame the focus.
LRESULT CALLBACK LanguageGroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                   DWORD_PTR window) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) {
            ReleaseCapture();
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            RECT rc;
            GetClientRect(hwnd, &rc);
            if (PtInRect(&rc, pt))
                SendMessageW(reinterpret_cast<HWND>(window), kSwapLanguagesMessage, 0, 0);
        }
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, LanguageGroupProc, 0);
        break;
    }
    return GroupProc(hwnd, msg, wp, lp, 0, window);
}

// A label is as large as its text, as a label that sizes itself to its caption.
void SetLabelText(HWND label, const std::string& text) {
    const std::wstring w = Widen(text);
    SetWindowTextW(label, w.c_str());
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

// One control of the window, as designed: its class, caption, style and place in its
// parent's client area.
struct ControlSpec {
    const wchar_t* windowClass;
    const char* caption;
    DWORD style;
    RECT place; // left, top, width, height
    DWORD exStyle = 0;
};

HWND MakeControl(HWND parent, ControlId id, const ControlSpec& spec, HFONT font) {
    const RECT& p = spec.place;
    HWND control = CreateWindowExW(
        spec.exStyle, spec.windowClass, Widen(spec.caption).c_str(),
        WS_CHILD | WS_VISIBLE | spec.style, p.left, p.top, p.right, p.bottom, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control)
        throw std::runtime_error(std::string("Cannot create the control ") + spec.caption);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

bool IsFocusable(HWND window, HWND control) {
    return control && IsWindow(control) && IsChild(window, control) && IsWindowVisible(control) &&
           IsWindowEnabled(control);
}

} // namespace

MainWindow::~MainWindow() {
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

    CreateControls(instance);
    LoadPickers(instance);
    http_ = std::make_unique<HttpClient>(std::make_unique<WinHttpTransport>());
    routesHttp_ = std::make_unique<HttpClient>(std::make_unique<WinHttpTransport>(kRoutesTimeouts));
    routesAddress_ = LanguagesAddress();
    flow_ = std::make_unique<WinTranslationFlow>(owner, hwnd_, *http_, registry_, balloon_);
    flow_->Flow().onStage = [this](FlowStage stage) {
        if (onFlowStage)
            onFlowStage(stage);
    };
    CreateTrayIcon(instance, owner);
    hotKeys_ = std::make_unique<HotKeyManager>();
    // Guarded here too, so that the error report is the main window's box.
    hotKeys_->onHotKeyPressed = [this](std::uint32_t hotKey, std::uint16_t index) {
        RunGuarded(hwnd_, [&] { OnTranslateHotKey(hotKey, index); });
    };
    RunGuarded(hwnd_, [this] { OnCreate(); });
}

void MainWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
}

HWND MainWindow::Control(ControlId id) const {
    const int number = static_cast<int>(id);
    if (HWND control = GetDlgItem(hwnd_, number))
        return control;
    for (HWND group :
         {hotKeyGroup_, hotKeysInUseGroup_, languageGroup_, transparencyGroup_, optionsGroup_}) {
        if (HWND control = GetDlgItem(group, number))
            return control;
    }
    return nullptr;
}

void MainWindow::CreateControls(HINSTANCE instance) {
    (void)instance;
    // "MS Sans Serif" 8 point: character height 11 pixels.
    formFont_.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.Get()), FALSE);

    auto make = [&](HWND parent, ControlId id, const ControlSpec& spec) {
        return MakeControl(parent, id, spec, formFont_.Get());
    };
    auto group = [&](ControlId id, const char* caption, RECT place) {
        HWND g = make(hwnd_, id,
                      {WC_BUTTONW, caption, BS_GROUPBOX | WS_GROUP | WS_CLIPCHILDREN, place,
                       WS_EX_CONTROLPARENT});
        SetWindowSubclass(g, GroupProc, 0, reinterpret_cast<DWORD_PTR>(hwnd_));
        return g;
    };
    auto label = [&](ControlId id, const char* text, int left, int top) {
        HWND l = make(hwnd_, id, {WC_STATICW, "", SS_LEFT | SS_NOPREFIX, {left, top, 0, 0}});
        SetLabelText(l, text);
        return l;
    };
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
    constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
    using enum ControlId;

    // Creation order is the keyboard (tab) order.
    hotKeyGroup_ = group(HotKeyGroup, "Add a HotKey", {8, 8, 241, 55});
    hotKeyEntry_ =
        make(hotKeyGroup_, HotKeyEntry,
             {HOTKEY_CLASSW, "", WS_TABSTOP | WS_GROUP, {12, 22, 141, 21}, WS_EX_CLIENTEDGE});
    // A bare key and a key with Shift alone both stand for the bare key.
    SendMessageW(hotKeyEntry_, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(0, 0));
    addButton_ = make(hotKeyGroup_, AddButton, {WC_BUTTONW, "Add", kButton, {164, 21, 65, 23}});

    hotKeysInUseGroup_ = group(HotKeysInUseGroup, "HotKey in Use", {8, 72, 241, 161});
    hotKeyList_ = make(hotKeysInUseGroup_, HotKeyList,
                       {WC_LISTBOXW,
                        "",
                        LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                        {12, 22, 141, 121},
                        WS_EX_CLIENTEDGE});
    // 13-pixel lines; sized again so that its height is a whole number of them.
    SendMessageW(hotKeyList_, LB_SETITEMHEIGHT, 0, 13);
    SetWindowPos(hotKeyList_, nullptr, 0, 0, 141, 121, SWP_NOMOVE | SWP_NOZORDER);
    removeButton_ =
        make(hotKeysInUseGroup_, RemoveButton, {WC_BUTTONW, "Remove", kButton, {164, 21, 65, 23}});
    clearButton_ = make(hotKeysInUseGroup_, ClearButton,
                        {WC_BUTTONW, "Clear all", kButton, {164, 49, 65, 23}});

    languageGroup_ = group(LanguageGroup, "Language", {264, 8, 201, 81});
    RemoveWindowSubclass(languageGroup_, GroupProc, 0);
    SetWindowSubclass(languageGroup_, LanguageGroupProc, 0, reinterpret_cast<DWORD_PTR>(hwnd_));
    // The height given to a drop-down list is that of the face plus the opened list:
    // room for all 54 rows of 14 pixels, so the whole table opens without scrolling.
    constexpr DWORD kPicker =
        CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
    constexpr int kPickerHeight = 20 + 54 * 14 + 16;
    sourcePicker_ = make(languageGroup_, SourcePicker,
                         {WC_COMBOBOXW, "", kPicker | WS_GROUP, {16, 21, 113, kPickerHeight}});
    targetPicker_ = make(languageGroup_, TargetPicker,
                         {WC_COMBOBOXW, "", kPicker, {16, 45, 113, kPickerHeight}});
    compactButton_ =
        make(languageGroup_, CompactButton, {WC_BUTTONW, "", BS_OWNERDRAW, {144, 28, 32, 32}});

    transparencyGroup_ = group(TransparencyGroup, "Transparency", {264, 99, 201, 65});
    transparencySlider_ = make(transparencyGroup_, TransparencySlider,
                               {TRACKBAR_CLASSW,
                                "",
                                TBS_HORZ | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP | WS_GROUP,
                                {8, 24, 177, 33}});
    SendMessageW(transparencySlider_, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
    SendMessageW(transparencySlider_, TBM_SETPOS, TRUE, kSliderMax);
    SendMessageW(transparencySlider_, TBM_SETTHUMBLENGTH, 16, 0);

    optionsGroup_ = group(OptionsGroup, "Options", {264, 168, 201, 100});
    freezeBox_ = make(
        optionsGroup_, FreezeBox,
        {WC_BUTTONW, "Freeze && wait for translation result", kCheck | WS_GROUP, {8, 21, 185, 17}});
    SendMessageW(freezeBox_, BM_SETCHECK, BST_CHECKED, 0);
    copyToClipboardBox_ =
        make(optionsGroup_, CopyToClipboardBox,
             {WC_BUTTONW, "Copy translation result to clipboard", kCheck, {8, 45, 188, 17}});
    logToFileBox_ = make(optionsGroup_, LogToFileBox,
                         {WC_BUTTONW, "Log translation results to file", kCheck, {8, 69, 153, 17}});
    viewLogButton_ =
        make(optionsGroup_, ViewLogButton, {WC_BUTTONW, "...", kButton, {164, 63, 23, 23}});

    selectTextLabel_ = label(SelectTextLabel, "Select text from anywhere on screen, ", 9, 239);
    pressHotKeyLabel_ =
        label(PressHotKeyLabel, "Press the HotKey to translate your selected text.", 9, 256);
    copyrightLabel_ = label(CopyrightLabel, "", 9, 285);

    aboutButton_ =
        make(hwnd_, AboutButton, {WC_BUTTONW, "&About", kButton | WS_GROUP, {240, 275, 65, 23}});
    minimizeButton_ =
        make(hwnd_, MinimizeButton, {WC_BUTTONW, "&Minimize", kButton, {320, 275, 65, 23}});
    exitButton_ = make(hwnd_, ExitButton, {WC_BUTTONW, "E&xit", kButton, {400, 275, 65, 23}});
}

// A flat picture button: the glyph on the face colour, with a sunken edge while pressed.
void MainWindow::DrawCompactButton(const DRAWITEMSTRUCT& item) {
    if (!compactGlyph_) {
        compactGlyph_.Reset(LoadMaskedImages(GetModuleHandleW(nullptr), IDB_COMPACT, 32, 32));
    }
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed)
        DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    const int shift = pressed ? 1 : 0;
    ImageList_Draw(compactGlyph_.Get(), 0, item.hDC, r.left + shift, r.top + shift, ILD_NORMAL);
}

void MainWindow::OnCreate() {
    SetLabelText(copyrightLabel_, CopyrightNotice());
    // The default hotkey is registered at every start, as the first line of the list.
    if (const std::uint32_t hotKey = codec_.FromText(kDefaultHotKeyText, true)) {
        AddHotKeyToList(hotKey);
    } else {
        ShowWarningBox(hwnd_, "Hotkeyerror!");
    }
    OnSourceLanguageChange();
    OnTargetLanguageChange();
    MainWindowSettings view(*this);
    LoadSettings(*settings_, codec_, view);
}

void MainWindow::OnClose() {
    // A refused write ends the close here: the window stays open.
    SaveSettings(*settings_, CurrentSettings());
    // Everything the window owns is released with it; the program ends with the window.
    DestroyWindow(hwnd_);
}

Settings MainWindow::CurrentSettings() {
    return MainWindowSettings(*this).Current();
}

// Every registered hotkey starts the same translation.
void MainWindow::OnTranslateHotKey(std::uint32_t, std::uint16_t) {
    flow_->Flow().Run(CurrentSettings());
}

void MainWindow::OnExit() {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
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
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_COMBOBOX)
            break;
        item->itemHeight = 14;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        switch (static_cast<ControlId>(item.CtlID)) {
        case ControlId::SourcePicker:
        case ControlId::TargetPicker:
            DrawLanguageItem(item);
            return TRUE;
        case ControlId::CompactButton:
            DrawCompactButton(item);
            return TRUE;
        default:
            break;
        }
        break;
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == transparencySlider_)
            OnSliderMoved();
        return 0;
    case kSwapLanguagesMessage:
        OnSwapLanguages();
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
    switch (id) {
    case ControlId::ExitButton:
        if (notification == BN_CLICKED)
            OnExit();
        break;
    case ControlId::AddButton:
        if (notification == BN_CLICKED)
            OnAddHotKey();
        break;
    case ControlId::RemoveButton:
        if (notification == BN_CLICKED)
            OnRemoveHotKey();
        break;
    case ControlId::ClearButton:
        if (notification == BN_CLICKED)
            OnClearHotKeys();
        break;
    case ControlId::SourcePicker:
        if (notification == CBN_SELCHANGE)
            OnSourceLanguageChange();
        break;
    case ControlId::TargetPicker:
        if (notification == CBN_SELCHANGE)
            OnTargetLanguageChange();
        break;
    case ControlId::CompactButton:
        if (notification == BN_CLICKED)
            OnCompactMode();
        break;
    case ControlId::LogToFileBox:
        if (notification == BN_CLICKED)
            OnLogToFileClick();
        break;
    case ControlId::AboutButton:
        if (notification == BN_CLICKED)
            OnAbout();
        break;
    case ControlId::MinimizeButton:
        if (notification == BN_CLICKED)
            OnMinimize();
        break;
    case ControlId::ViewLogButton:
        if (notification == BN_CLICKED)
            OnViewLog();
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

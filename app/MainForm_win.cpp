#include "app/MainForm_win.h"

#include "app/AppIdentity.h"
#include "app/ControlIds.h"
#include "app/MaskedImages_win.h"
#include "app/MessageBox_win.h"
#include "app/WideText_win.h"
#include "app/res/resource.h"
#include "hotkeys/HotKeyCodec.h"

#include <stdexcept>

namespace {

constexpr wchar_t kMainFormClass[] = L"TMainForm";
constexpr int kClientWidth = 476;
constexpr int kClientHeight = 305;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Controls inside a group are children of the group, as the window was designed; the
// group hands their notifications on to the main window, where the handlers live.
LRESULT CALLBACK GroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                           DWORD_PTR form) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return SendMessageW(reinterpret_cast<HWND>(form), msg, wp, lp);
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
// (a plain group box lets clicks fall through to the window beneath it).
LRESULT CALLBACK LanguageGroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                   DWORD_PTR form) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) {
            ReleaseCapture();
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            RECT rc;
            GetClientRect(hwnd, &rc);
            if (PtInRect(&rc, pt)) SendMessageW(reinterpret_cast<HWND>(form), WM_GROUPBOX5CLICK, 0, 0);
        }
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, LanguageGroupProc, 0);
        break;
    }
    return GroupProc(hwnd, msg, wp, lp, 0, form);
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

struct Place {
    int left, top, width, height;
};

} // namespace

void ReportHandlerError(HWND owner, const char* message) { ShowErrorReport(owner, message); }

TMainForm::~TMainForm() {
    if (hwnd_) DestroyWindow(hwnd_);
    HotKeyManager1.reset(); // releases every hotkey
    if (ImageList2) ImageList_Destroy(ImageList2);
    if (speedButtonGlyph_) ImageList_Destroy(speedButtonGlyph_);
    if (formFont_) DeleteObject(formFont_);
    if (pickerFont_) DeleteObject(pickerFont_);
}

void TMainForm::Create(HINSTANCE instance, HWND owner) {
    RegisterClassOnce(instance, kMainFormClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowExW(kFormExStyle, kMainFormClass, Widen(kMainWindowCaption).c_str(), kFormStyle,
                    left, top, width, height, owner, nullptr, instance, this);
    if (!hwnd_) throw std::runtime_error("Cannot create the main window");

    CreateControls(instance);
    LoadPickers(instance);
    HotKeyManager1 = std::make_unique<THotKeyManager>();
    HotKeyManager1->OnHotKeyPressed = [this](std::uint32_t HotKey, std::uint16_t Index) {
        RunGuarded([&] { HotKeyManager1HotKeyPressed(HotKey, Index); });
    };
    RunGuarded([this] { FormCreate(); });
}

void TMainForm::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
}

void TMainForm::CreateControls(HINSTANCE instance) {
    // "MS Sans Serif" 8 point: character height 11 pixels.
    formFont_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);

    auto make = [&](HWND parent, const wchar_t* cls, const char* text, DWORD style, Place p,
                    int id, DWORD exStyle = 0) {
        HWND h = CreateWindowExW(exStyle, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                 p.left, p.top, p.width, p.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!h) throw std::runtime_error(std::string("Cannot create the control ") + text);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);
        return h;
    };
    auto group = [&](const char* caption, Place p, int id) {
        HWND g = make(hwnd_, WC_BUTTONW, caption, BS_GROUPBOX | WS_GROUP | WS_CLIPCHILDREN, p, id, WS_EX_CONTROLPARENT);
        SetWindowSubclass(g, GroupProc, 0, reinterpret_cast<DWORD_PTR>(hwnd_));
        return g;
    };
    auto label = [&](const char* text, int left, int top, int id) {
        HWND l = make(hwnd_, WC_STATICW, "", SS_LEFT | SS_NOPREFIX, {left, top, 0, 0}, id);
        SetLabelText(l, text);
        return l;
    };
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
    constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;

    // Creation order is the keyboard (tab) order.
    GroupBox1 = group("Add a HotKey", {8, 8, 241, 55}, IDC_GROUPBOX1);
    HotKey1 = make(GroupBox1, HOTKEY_CLASSW, "", WS_TABSTOP | WS_GROUP, {12, 22, 141, 21},
                   IDC_HOTKEY1, WS_EX_CLIENTEDGE);
    // A bare key and a key with Shift alone both stand for the bare key.
    SendMessageW(HotKey1, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(0, 0));
    BtnAdd = make(GroupBox1, WC_BUTTONW, "Add", kButton, {164, 21, 65, 23}, IDC_BTNADD);

    GroupBox4 = group("HotKey in Use", {8, 72, 241, 161}, IDC_GROUPBOX4);
    ListBox1 = make(GroupBox4, WC_LISTBOXW, "", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                    {12, 22, 141, 121}, IDC_LISTBOX1, WS_EX_CLIENTEDGE);
    // 13-pixel lines; sized again so that its height is a whole number of them.
    SendMessageW(ListBox1, LB_SETITEMHEIGHT, 0, 13);
    SetWindowPos(ListBox1, nullptr, 0, 0, 141, 121, SWP_NOMOVE | SWP_NOZORDER);
    BtnRemove = make(GroupBox4, WC_BUTTONW, "Remove", kButton, {164, 21, 65, 23}, IDC_BTNREMOVE);
    BtnClear = make(GroupBox4, WC_BUTTONW, "Clear all", kButton, {164, 49, 65, 23}, IDC_BTNCLEAR);

    GroupBox5 = group("Language", {264, 8, 201, 81}, IDC_GROUPBOX5);
    RemoveWindowSubclass(GroupBox5, GroupProc, 0);
    SetWindowSubclass(GroupBox5, LanguageGroupProc, 0, reinterpret_cast<DWORD_PTR>(hwnd_));
    // The height given to a drop-down list is that of the face plus the opened list:
    // room for all 54 rows of 14 pixels, so the whole table opens without scrolling.
    constexpr DWORD kPicker =
        CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
    constexpr int kPickerHeight = 20 + 54 * 14 + 16;
    wl_srclang = make(GroupBox5, WC_COMBOBOXW, "", kPicker | WS_GROUP, {16, 21, 113, kPickerHeight},
                      IDC_SRCLANG);
    wl_trglang = make(GroupBox5, WC_COMBOBOXW, "", kPicker, {16, 45, 113, kPickerHeight}, IDC_TRGLANG);
    SpeedButton1 = make(GroupBox5, WC_BUTTONW, "", BS_OWNERDRAW, {144, 28, 32, 32}, IDC_SPEEDBUTTON1);

    GroupBox6 = group("Transparency", {264, 99, 201, 65}, IDC_GROUPBOX6);
    TrackBar1 = make(GroupBox6, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP | WS_GROUP,
                     {8, 24, 177, 33}, IDC_TRACKBAR1);
    SendMessageW(TrackBar1, TBM_SETRANGE, TRUE, MAKELPARAM(4, 16));
    SendMessageW(TrackBar1, TBM_SETPOS, TRUE, 16);

    GroupBox7 = group("Options", {264, 168, 201, 100}, IDC_GROUPBOX7);
    CheckBox5 = make(GroupBox7, WC_BUTTONW, "Freeze && wait for translation result", kCheck | WS_GROUP,
                     {8, 21, 185, 17}, IDC_CHECKBOX5);
    SendMessageW(CheckBox5, BM_SETCHECK, BST_CHECKED, 0);
    CheckBox6 = make(GroupBox7, WC_BUTTONW, "Copy translation result to clipboard", kCheck,
                     {8, 45, 188, 17}, IDC_CHECKBOX6);
    CheckBox7 = make(GroupBox7, WC_BUTTONW, "Log translation results to file", kCheck,
                     {8, 69, 153, 17}, IDC_CHECKBOX7);
    Button2 = make(GroupBox7, WC_BUTTONW, "...", kButton, {164, 63, 23, 23}, IDC_BUTTON2);

    Label1 = label("Select text from anywhere on screen, ", 9, 239, IDC_LABEL1);
    Label3 = label("Press the HotKey to translate your selected text.", 9, 256, IDC_LABEL3);
    Label4 = label("", 9, 285, IDC_LABEL4);

    Button3 = make(hwnd_, WC_BUTTONW, "&About", kButton | WS_GROUP, {240, 275, 65, 23}, IDC_BUTTON3);
    Button1 = make(hwnd_, WC_BUTTONW, "&Minimize", kButton, {320, 275, 65, 23}, IDC_BUTTON1);
    BtnExit = make(hwnd_, WC_BUTTONW, "E&xit", kButton, {400, 275, 65, 23}, IDC_BTNEXIT);
}

// A flat picture button: the glyph on the face colour, with a sunken edge while pressed.
void TMainForm::DrawSpeedButton(const DRAWITEMSTRUCT& item) {
    if (!speedButtonGlyph_) {
        speedButtonGlyph_ = LoadMaskedImages(GetModuleHandleW(nullptr), IDB_COMPACT, 32, 32);
    }
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    const int shift = pressed ? 1 : 0;
    ImageList_Draw(speedButtonGlyph_, 0, item.hDC, r.left + shift, r.top + shift, ILD_NORMAL);
}

void TMainForm::FormCreate() {
    SetLabelText(Label4, CopyrightNotice());
    // The default hotkey is registered at every start, as the first line of the list.
    if (const std::uint32_t hotKey = TextToHotKey(kDefaultHotKeyText, true)) {
        AddHotKeyToList(hotKey);
    } else {
        ShowWarningBox(hwnd_, "Hotkeyerror!");
    }
    wl_srclangChange();
    wl_trglangChange();
}

void TMainForm::HotKeyManager1HotKeyPressed(std::uint32_t, std::uint16_t) {
    // The translation of the selected text starts here; the hotkey's value and
    // identifier are not needed for it.
}

void TMainForm::FormClose() {
    // Everything the window owns is released with it; the program ends with the window.
    DestroyWindow(hwnd_);
}

void TMainForm::BtnExitClick() { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A handler that raised an error counts as having handled its message, so that, for
    // example, a failed close does not fall through to the default close.
    bool handled = true;
    LRESULT result = 0;
    RunGuarded([&] { handled = Dispatch(msg, wp, lp, result); });
    return handled ? result : DefWindowProcW(hwnd_, msg, wp, lp);
}

bool TMainForm::Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return true;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (item->CtlType != ODT_COMBOBOX) return false;
        item->itemHeight = 14;
        result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item.CtlID == IDC_SRCLANG) wl_srclangDrawItem(item);
        else if (item.CtlID == IDC_TRGLANG) wl_trglangDrawItem(item);
        else if (item.CtlID == IDC_SPEEDBUTTON1) DrawSpeedButton(item);
        else return false;
        result = TRUE;
        return true;
    }
    case WM_GROUPBOX5CLICK:
        GroupBox5Click();
        return true;
    case WM_CLOSE:
        FormClose();
        return true;
    case WM_DESTROY:
        PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

void TMainForm::OnCommand(int id, int notification) {
    switch (id) {
    case IDC_BTNEXIT:
        if (notification == BN_CLICKED) BtnExitClick();
        break;
    case IDC_BTNADD:
        if (notification == BN_CLICKED) BtnAddClick();
        break;
    case IDC_BTNREMOVE:
        if (notification == BN_CLICKED) BtnRemoveClick();
        break;
    case IDC_BTNCLEAR:
        if (notification == BN_CLICKED) BtnClearClick();
        break;
    case IDC_SRCLANG:
        if (notification == CBN_SELCHANGE) wl_srclangChange();
        break;
    case IDC_TRGLANG:
        if (notification == CBN_SELCHANGE) wl_trglangChange();
        break;
    }
}

#include "app/AboutBox_win.h"

#include "app/ProgramIcon_win.h"
#include "app/res/resource.h"
#include "base/AppIdentity.h"
#include "base/Dpi_win.h"
#include "base/WideText_win.h"

#include <algorithm>
#include <stdexcept>

namespace tervane {

namespace {

constexpr wchar_t kAboutBoxClass[] = L"TervaneAboutBox";
constexpr int kClientWidth = 310;
constexpr int kClientHeight = 251;
// A single-line border that cannot be dragged to resize; the caption keeps the system
// menu, minimise and maximise buttons.
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// "MS Sans Serif" 8 point; the title "Arial" with character height 21 pixels, drawn at
// kTitlePlace and its silver shadow one pixel up and left (all at 96 DPI).
constexpr int kFontHeight = 11;
constexpr int kTitleFontHeight = 21;
constexpr POINT kTitlePlace{80, 32};

// A child at no place yet: LayOut places it.
HWND MakeChild(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                                 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (!child)
        throw std::runtime_error("Cannot create the About box");
    return child;
}

// Centred over the owner, and kept on the owner's screen (the owner may be the small
// compact bar at a screen edge).
POINT CentredOver(HWND owner, int width, int height) {
    RECT o;
    GetWindowRect(owner, &o);
    MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const LONG left = (o.left + o.right - width) / 2;
    const LONG top = (o.top + o.bottom - height) / 2;
    return {std::clamp(left, area.left, std::max<LONG>(area.left, area.right - width)),
            std::clamp(top, area.top, std::max<LONG>(area.top, area.bottom - height))};
}

} // namespace

AboutBox::~AboutBox() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void AboutBox::Create(HWND owner) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClassOnce(instance,
                      {kAboutBoxClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), IDI_TERVANE});
    // The owner's DPI: the box is made over it, on its monitor.
    dpi_ = DpiOfWindow(owner);
    const SIZE size = WindowSizeAt(ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_),
                                   kStyle, kExStyle, dpi_);
    const POINT place = CentredOver(owner, size.cx, size.cy);
    CreateWindowExW(kExStyle, kAboutBoxClass, L"About", kStyle, place.x, place.y, size.cx, size.cy,
                    owner, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the About box");

    image_ = MakeChild(hwnd_, L"STATIC", "", SS_ICON | SS_CENTERIMAGE, -1);
    layout_.Add(image_, {16, 16, 33, 33}, false);
    layout_.Add(MakeChild(hwnd_, L"STATIC", "Version: 5.1", SS_LEFT | SS_NOPREFIX, -1),
                {116, 73, kClientWidth - 116, 13}, false);
    layout_.Add(MakeChild(hwnd_, L"STATIC", CopyrightNotice(), SS_LEFT | SS_NOPREFIX, -1),
                {28, 224, kClientWidth - 28, 13}, false);
    layout_.Add(MakeChild(hwnd_, L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK),
                {118, 184, 73, 25}, false);
    LayOut();
}

// Fonts, icon and places for dpi_.
void AboutBox::LayOut() {
    UniqueFont font =
        MakeFittingFontAt(L"MS Sans Serif", kFontHeight, FW_NORMAL, DEFAULT_CHARSET, dpi_);
    titleFont_ = MakeFontAt(L"Arial", kTitleFontHeight, FW_NORMAL, DEFAULT_CHARSET, dpi_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    layout_.ApplyDpi(dpi_, font.Get());
    font_ = std::move(font);
    // The icon drawn for the size the system gives a large icon at this DPI.
    UniqueIcon icon = LoadProgramIcon(GetModuleHandleW(nullptr), SystemMetricAt(SM_CXICON, dpi_));
    SendMessageW(image_, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    icon_ = std::move(icon);
    icons_.ApplyTo(hwnd_, dpi_);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void AboutBox::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    LayOut();
    const SIZE own = WindowSizeAt(ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_),
                                  kStyle, kExStyle, dpi_);
    const PixelRect place = PlaceAfterDpiChange(
        {suggested.left, suggested.top, suggested.right, suggested.bottom}, own.cx, own.cy);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutBox::ShowModal(HWND owner) {
    Create(owner);
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(GetDlgItem(hwnd_, IDOK));
    MSG msg;
    // The box also ends when its owner goes (and takes the box with it).
    while (!closed_ && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the quit message is for the main loop.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the box goes, so that it becomes the active window again.
    EnableWindow(owner, TRUE);
    if (hwnd_)
        DestroyWindow(hwnd_);
}

// The title twice on the face colour: silver one pixel up and left, then the text colour.
void AboutBox::PaintTitle(HDC dc) {
    const std::wstring title = Widen(kApplicationTitle);
    const int length = static_cast<int>(title.size());
    HGDIOBJ old = SelectObject(dc, titleFont_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(192, 192, 192));
    const int x = ScaleToDpi(kTitlePlace.x, dpi_), y = ScaleToDpi(kTitlePlace.y, dpi_);
    TextOutW(dc, x - 1, y - 1, title.c_str(), length);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    TextOutW(dc, x, y, title.c_str(), length);
    SelectObject(dc, old);
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        PaintTitle(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case kDpiChangedMessage:
        OnDpiChanged(DpiOfDpiChange(static_cast<unsigned long>(wp)),
                     *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
            closed_ = true;
        return 0;
    case WM_CLOSE:
        closed_ = true;
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace tervane

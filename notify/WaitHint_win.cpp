#include "notify/WaitHint_win.h"

#include "base/Dpi_win.h"
#include "base/WideText_win.h"
#include "notify/WaitHint.h"

#include <stdexcept>

namespace tervane {

namespace {

// One line, "&" shown as itself; centred in the room the window leaves around it.
constexpr UINT kTextFormat = DT_SINGLELINE | DT_NOPREFIX;

// The font the system gives tooltips, at `dpi` (the system gives it at its own DPI, which
// the monitor under the cursor may not have).
HFONT MakeHintFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    HFONT font = nullptr;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        LOGFONTW& hint = metrics.lfStatusFont;
        hint.lfHeight = MulDivRounded(hint.lfHeight, dpi, SystemDpi());
        font = CreateFontIndirectW(&hint);
    }
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return font;
}

} // namespace

WaitHint::WaitHint(POINT at, std::string_view text, HWND owner) : text_(Widen(text)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClassOnce(instance,
                      {kClassName, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1)),
                       0, CS_SAVEBITS});
    const ScreenMonitor monitor = MonitorAtPoint(at);
    font_.Reset(MakeHintFont(monitor.dpi));
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font_.Get());
    RECT measured{0, 0, 0, 0};
    DrawTextW(screen, text_.c_str(), static_cast<int>(text_.size()), &measured,
              kTextFormat | DT_CALCRECT);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);

    const PixelRect& m = monitor.area;
    const WaitHintRect r = PlaceWaitHint(at.x, at.y, measured.right, measured.bottom,
                                         {m.left, m.top, m.right, m.bottom}, monitor.dpi);

    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, text_.c_str(),
                    WS_POPUP | WS_BORDER, r.left, r.top, r.right - r.left, r.bottom - r.top, owner,
                    nullptr, instance, this);
    if (!hwnd_) {
        throw std::runtime_error("Cannot create the wait hint");
    }
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd_);
}

WaitHint::~WaitHint() {
    if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
        DestroyWindow(hwnd_);
    }
}

LRESULT WaitHint::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void WaitHint::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd_, &ps);
    RECT r;
    GetClientRect(hwnd_, &r);
    const HGDIOBJ old = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
              kTextFormat | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
    EndPaint(hwnd_, &ps);
}

} // namespace tervane

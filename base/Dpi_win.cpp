#include "base/Dpi_win.h"

#include <stdexcept>
#include <string_view>

namespace tervane {

namespace {

// A function of a system DLL that older Windows lack; nullptr there.
template <class Function> Function Find(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);
    if (!module)
        module = LoadLibraryW(dll); // kept loaded for the program's life
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE, and
// PROCESS_PER_MONITOR_DPI_AWARE, as Windows 10 and 8.1 define them.
const HANDLE kPerMonitorV2Context = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitorContext = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kProcessPerMonitorDpiAware = 2;
constexpr int kMonitorEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

} // namespace

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

void BecomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    using GetContext = HANDLE(WINAPI*)();
    using SetAwareness = HRESULT(WINAPI*)(int);
    using SetAware = BOOL(WINAPI*)();
    // Already aware (the manifest, read by Windows 10 1607 and later): nothing to ask.
    const auto getContext = Find<GetContext>(L"user32.dll", "GetThreadDpiAwarenessContext");
    const auto awareness =
        Find<int(WINAPI*)(HANDLE)>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    if (getContext && awareness && awareness(getContext()) > 0)
        return;
    if (const auto set = Find<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (set(kPerMonitorV2Context) || set(kPerMonitorContext))
            return;
    }
    if (const auto set = Find<SetAwareness>(L"shcore.dll", "SetProcessDpiAwareness")) {
        if (SUCCEEDED(set(kProcessPerMonitorDpiAware)))
            return;
    }
    if (const auto set = Find<SetAware>(L"user32.dll", "SetProcessDPIAware"))
        set();
}

int DpiOfWindow(HWND window) {
    static const auto forWindow = Find<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
    if (forWindow && window) {
        if (const UINT dpi = forWindow(window))
            return static_cast<int>(dpi);
    }
    const HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ReleaseDC(window, dc);
    return dpi > 0 ? dpi : SystemDpi();
}

int DpiOfMonitor(HMONITOR monitor) {
    using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto forMonitor = Find<ForMonitor>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (forMonitor && monitor && SUCCEEDED(forMonitor(monitor, kMonitorEffectiveDpi, &x, &y)) &&
        y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    const RECT& a = info.rcMonitor;
    const RECT& w = info.rcWork;
    auto& all = *reinterpret_cast<std::vector<ScreenMonitor>*>(list);
    const ScreenMonitor found{{a.left, a.top, a.right, a.bottom},
                              {w.left, w.top, w.right, w.bottom},
                              DpiOfMonitor(monitor)};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        all.insert(all.begin(), found);
    else
        all.push_back(found);
    return TRUE;
}

std::vector<ScreenMonitor> ScreenMonitors() {
    std::vector<ScreenMonitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        throw std::runtime_error("Cannot find the screen's monitors");
    return monitors;
}

ScreenMonitor MonitorAtPoint(POINT point) {
    const std::vector<ScreenMonitor> monitors = ScreenMonitors();
    return MonitorUnder(point.x, point.y, monitors);
}

int SystemMetricAt(int index, int dpi) {
    static const auto forDpi =
        Find<int(WINAPI*)(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    // An older Windows has one DPI: its metrics are already at it.
    return GetSystemMetrics(index);
}

SIZE WindowSizeAt(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = Find<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT frame{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

namespace {

// The width of a text in a font that GDI makes of a face with a character height in pixels.
int TextWidth(const wchar_t* face, int height, int weight, BYTE charset, std::wstring_view text) {
    const UniqueFont font = MakeFontAt(face, height, weight, charset, kDesignDpi);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

} // namespace

UniqueFont MakeFittingFontAt(const wchar_t* face, int height, int weight, BYTE charset, int dpi) {
    constexpr std::wstring_view kSample = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const int fitting =
        FittingFontHeight(height, TextWidth(face, height, weight, charset, kSample), dpi,
                          [&](int h) { return TextWidth(face, h, weight, charset, kSample); });
    return MakeFontAt(face, fitting, weight, charset, kDesignDpi);
}

UniqueFont MakeFontAt(const wchar_t* face, int height, int weight, BYTE charset, int dpi) {
    UniqueFont font(CreateFontW(-ScaleToDpi(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, face));
    if (!font)
        throw std::runtime_error("Cannot make the window's font");
    return font;
}

} // namespace tervane

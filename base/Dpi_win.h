#pragma once
// The DPI of windows and monitors, and the system's sizes at a DPI. The functions that know
// a DPI per monitor came with Windows 8.1 and 10, so they are looked up at run time; on an
// older Windows each falls back to the one DPI of the whole system (the screen's
// LOGPIXELSY), which is what those systems draw everything with.
#include "base/Dpi.h"
#include "base/GdiHandles_win.h"

#include <windows.h>

#include <vector>

namespace tervane {

// WM_DPICHANGED, for headers written before Windows 8.1.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// Asks for per-monitor DPI awareness (v2, else v1, else the system DPI) where the manifest
// has not given it already (Windows before 10 1703 reads only its dpiAware element). Call
// before the first window is made.
void BecomeDpiAware();

// The system's DPI (the primary monitor's when the user logged on): what the system's own
// metrics and fonts are given at.
int SystemDpi();
// The DPI a window is drawn at: its monitor's, or the system's on an older Windows.
int DpiOfWindow(HWND window);
// The DPI of a monitor (its effective DPI), or the system's on an older Windows.
int DpiOfMonitor(HMONITOR monitor);
// Every monitor with its areas and DPI, the primary one first.
std::vector<ScreenMonitor> ScreenMonitors();
// The monitor under a screen point (the nearest one when it lies on none).
ScreenMonitor MonitorAtPoint(POINT point);

// A system metric (SM_CXSMICON, ...) as it is at `dpi`.
int SystemMetricAt(int index, int dpi);
// The outer size of a window whose client area is `clientWidth` x `clientHeight`, with the
// frame the system draws at `dpi`.
SIZE WindowSizeAt(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

// A font whose character height is `height` pixels at 96 DPI (a negative LOGFONT height),
// made for `dpi`.
UniqueFont MakeFontAt(const wchar_t* face, int height, int weight, BYTE charset, int dpi);
// The same, made no wider than the 96-DPI font scaled (FittingFontHeight, measured on the
// alphabet), so that captions the layout scales keep fitting their controls.
UniqueFont MakeFittingFontAt(const wchar_t* face, int height, int weight, BYTE charset, int dpi);

} // namespace tervane

#pragma once
// Sizes written in the design's 96-DPI pixels, and what they become on a screen of another
// DPI: the same arithmetic as Windows' MulDiv, so that a size scaled here matches one the
// system scales (fonts, dialog units) to the pixel. Standard C++ only, for both programs'
// edges and the native tests.
#include <functional>
#include <span>

namespace tervane {

// The DPI every size of the program is written in: 100 %.
inline constexpr int kDesignDpi = 96;

// number × numerator ÷ denominator rounded to the nearest whole number, halves away from
// zero, as Windows' MulDiv; -1 when the denominator is 0 or the result leaves the int range.
int MulDivRounded(int number, int numerator, int denominator);

// A length of the design at `dpi`; the length itself at 96 DPI (or for a DPI of 0 or less,
// which no screen has).
int ScaleToDpi(int length, int dpi);

// The DPIs the program's pictures are drawn for: 100, 125, 150 and 200 %.
inline constexpr int kImageDpis[] = {96, 120, 144, 192};

// Which of kImageDpis (its index) to draw pictures from at `dpi`: the largest not larger
// than it, so that a picture never outgrows the room the layout gives it; the first below
// 96 DPI.
int ImageDpiIndex(int dpi);

// The character height of a font at `dpi` whose text runs no wider than the design's text
// scaled: a face's width does not grow evenly with its height (a bitmap face drawn at 96 DPI is
// narrower than its outline drawn larger), and a caption that outgrows the room the layout
// scales for it is cut off. `widthAt(height)` measures a text in the face at a height;
// `designWidth` is the same text's width at 96 DPI. From the scaled height down to the design
// height, the first that fits; the design height when none does; the scaled height at 96 DPI.
int FittingFontHeight(int designHeight, int designWidth, int dpi,
                      const std::function<int(int height)>& widthAt);

// A rectangle in screen or window pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A place written as left, top, width and height (a control's) at `dpi`: each of the four
// scaled by itself, as a dialog scales its controls, so that equal widths stay equal.
PixelRect ScalePlace(PixelRect placeAsLeftTopWidthHeight, int dpi);

// One monitor as the system reports it: its whole area, its work area (without taskbars)
// and its DPI, all in physical pixels.
struct ScreenMonitor {
    PixelRect area;
    PixelRect workArea;
    int dpi = kDesignDpi;
};

// The monitor a point lies on, or, when it lies on none, the nearest one (the system's
// MONITOR_DEFAULTTONEAREST). `monitors` must not be empty.
const ScreenMonitor& MonitorUnder(int x, int y, std::span<const ScreenMonitor> monitors);

// Where a window goes when its DPI changes: the rectangle the system suggests (its new
// monitor's pixels), with the window's own size at the new DPI when it knows it (a fixed
// window whose frame and client are computed for that DPI); the suggestion's top left
// corner is kept, so the window stays where the user dragged it.
PixelRect PlaceAfterDpiChange(PixelRect suggested, int ownWidth, int ownHeight);

// The DPI a WM_DPICHANGED message carries in its first parameter (the horizontal one; the
// two are always equal), kDesignDpi when it carries none.
int DpiOfDpiChange(unsigned long firstParameter);

} // namespace tervane

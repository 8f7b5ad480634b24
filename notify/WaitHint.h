#pragma once
#include "base/Dpi.h"

namespace tervane {
// Where the "please wait" hint stands: its text's top left corner at a screen point, in a
// window 10 pixels wider and 4 higher than the text (at 96 DPI; scaled to the DPI of the
// monitor under the point), moved left and up as far as it takes to end inside the monitor
// (nearest the point) that it would otherwise reach past.

// A rectangle in screen pixels; right and bottom are exclusive.
struct WaitHintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const WaitHintRect&, const WaitHintRect&) = default;
};

// The hint window's rectangle for a text of textWidth x textHeight pixels shown at (x, y)
// on `monitor`, whose DPI is `dpi`.
WaitHintRect PlaceWaitHint(int x, int y, int textWidth, int textHeight, WaitHintRect monitor,
                           int dpi = kDesignDpi);

} // namespace tervane

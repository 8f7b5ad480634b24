#pragma once
// The balloon's layout, placement and shape, computed from the measured sizes of its two
// labels. Coordinates inside the window are window pixels from its top left corner (the
// balloon has no frame, so they are also client pixels); the origin is in screen pixels.
#include "base/Dpi.h"
#include "notify/Balloon.h"

#include <array>

namespace tervane {

struct BalloonPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const BalloonPoint&, const BalloonPoint&) = default;
};

// Width and height of a label's text in the balloon's font.
struct BalloonSize {
    int width = 0;
    int height = 0;
};

// Right and bottom are exclusive, as for the system's region functions.
struct BalloonRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const BalloonRect&, const BalloonRect&) = default;
};

struct BalloonGeometry {
    BalloonPoint origin; // the window's top left corner on the screen
    int width = 0;
    int height = 0;
    BalloonPoint title;      // top left corner of the bold title
    BalloonPoint text;       // top left corner of the body text
    BalloonPoint dictionary; // top left corner of the dictionary's lines, under the text
    BalloonPoint icon;       // top left corner of the picture (16 x 16 at 96 DPI)
    int corner = 0;          // diameter of the ellipse that rounds the body's corners
    BalloonRect body;        // the rounded rectangle of the window's region
    // The arrow of the window's region, in the order the region is made from; tip is
    // the corner that lies on the target point.
    std::array<BalloonPoint, 3> arrow;
    BalloonPoint tip;
    // Where the body lies as seen from the target point.
    BalloonPosition position = BalloonPosition::ArrowTopLeft;
};

// Diameter of the ellipse that rounds the body's corners, at 96 DPI.
inline constexpr int kBalloonCornerDiameter = 7;

// What sets the dictionary's lines apart from the text above them, at 96 DPI: more than a
// line's own spacing, less than the title's gap to the text.
inline constexpr int kBalloonDictionaryGap = 6;

// The measured sizes of a balloon's labels. A dictionary of no height is no dictionary: the
// balloon is then laid out from the title and text alone.
struct BalloonLabels {
    BalloonSize title;
    BalloonSize text;
    BalloonSize dictionary = {};
};

// Lays out a balloon at `position` around `target`, given the size of the title and of
// the body text. The arrow's tip falls exactly on the target; the balloon is not kept on
// the screen, so near an edge it may reach past it. `dpi` is the DPI of the balloon's
// monitor, which the title and text sizes are measured at too.
BalloonGeometry LayOutBalloon(BalloonPosition position, BalloonPoint target,
                              const BalloonLabels& labels, int dpi = kDesignDpi);
inline BalloonGeometry LayOutBalloon(BalloonPosition position, BalloonPoint target,
                                     BalloonSize title, BalloonSize text, int dpi = kDesignDpi) {
    return LayOutBalloon(position, target, BalloonLabels{title, text}, dpi);
}

// The same balloon kept inside `workArea` (the work area of the monitor under the target
// point, in screen pixels): laid out at `position` when it fits there; else flipped to the
// other side of the target vertically, horizontally or both, whichever keeps it inside with
// the arrow's tip still on the target; where neither side fits in a direction, on the side
// with more room, moved inside in that direction (the tip then leaves the target).
BalloonGeometry LayOutBalloonInside(BalloonPosition position, BalloonPoint target,
                                    const BalloonLabels& labels, BalloonRect workArea,
                                    int dpi = kDesignDpi);
inline BalloonGeometry LayOutBalloonInside(BalloonPosition position, BalloonPoint target,
                                           BalloonSize title, BalloonSize text,
                                           BalloonRect workArea, int dpi = kDesignDpi) {
    return LayOutBalloonInside(position, target, BalloonLabels{title, text}, workArea, dpi);
}

} // namespace tervane

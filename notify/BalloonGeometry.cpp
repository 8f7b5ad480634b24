#include "notify/BalloonGeometry.h"

#include <algorithm>

namespace tervane {

namespace {

// The balloon's lengths at a DPI; at 96 DPI: a margin of 10 around the labels and the
// picture, the title 34 in (right of the picture) and 12 down (level with the picture's
// middle), 8 between the title and the text, the arrow 20 high and wide and 20 in from the
// side, reaching 2 into the body so that the two join.
struct Lengths {
    explicit Lengths(int dpi)
        : margin(ScaleToDpi(10, dpi)), titleLeft(ScaleToDpi(34, dpi)),
          titleTop(ScaleToDpi(12, dpi)), titleGap(ScaleToDpi(8, dpi)), arrow(ScaleToDpi(20, dpi)),
          arrowOverlap(ScaleToDpi(2, dpi)) {}
    int margin, titleLeft, titleTop, titleGap, arrow, arrowOverlap;
};

bool ArrowAbove(BalloonPosition position) {
    return position == BalloonPosition::ArrowBottomLeft ||
           position == BalloonPosition::ArrowBottomRight;
}

bool BodyLeft(BalloonPosition position) {
    return position == BalloonPosition::ArrowTopLeft ||
           position == BalloonPosition::ArrowBottomLeft;
}

BalloonPosition PositionOf(bool below, bool left) {
    if (below)
        return left ? BalloonPosition::ArrowBottomLeft : BalloonPosition::ArrowBottomRight;
    return left ? BalloonPosition::ArrowTopLeft : BalloonPosition::ArrowTopRight;
}

// One direction of the screen: where a window of `size` starts on either side of the
// target, and the stretch it must stay in.
struct Span {
    int start;
    int end; // exclusive
    bool Holds(int origin, int size) const { return origin >= start && origin + size <= end; }
    // The side kept: the current one when it fits, else the other when that fits, else
    // whichever has more room.
    bool KeepSide(int origin, int otherOrigin, int size) const {
        if (Holds(origin, size))
            return true;
        if (Holds(otherOrigin, size))
            return false;
        const auto overflow = [&](int at) {
            return (at < start ? start - at : 0) + (at + size > end ? at + size - end : 0);
        };
        return overflow(origin) <= overflow(otherOrigin);
    }
    // Moved inside; a window longer than the stretch starts at its start.
    int Clamp(int origin, int size) const {
        if (origin + size > end)
            origin = end - size;
        return origin < start ? start : origin;
    }
};

} // namespace

BalloonGeometry LayOutBalloon(BalloonPosition position, BalloonPoint target,
                              const BalloonLabels& labels, int dpi) {
    const BalloonSize& title = labels.title;
    const BalloonSize& text = labels.text;
    const BalloonSize& dictionary = labels.dictionary;
    const Lengths at(dpi);
    const int kMargin = at.margin, kTitleLeft = at.titleLeft, kTitleTop = at.titleTop;
    const int kTitleGap = at.titleGap, kArrow = at.arrow, kArrowOverlap = at.arrowOverlap;
    BalloonGeometry g;
    g.corner = ScaleToDpi(kBalloonCornerDiameter, dpi);
    const bool above = ArrowAbove(position);
    const int shift = above ? kArrow : 0;
    g.title = {kTitleLeft, kTitleTop + shift};
    g.text = {kMargin, g.title.y + title.height + kTitleGap};
    g.icon = {kMargin, kMargin + shift};
    int bottom = g.text.y + text.height;
    g.dictionary = {kMargin, bottom};
    int right = std::max(g.title.x + title.width, g.text.x + text.width);
    if (dictionary.height > 0) {
        g.dictionary.y = bottom + ScaleToDpi(kBalloonDictionaryGap, dpi);
        bottom = g.dictionary.y + dictionary.height;
        right = std::max(right, g.dictionary.x + dictionary.width);
    }
    g.height = bottom + kMargin + (above ? 0 : kArrow);
    g.width = right + kMargin;

    const int w = g.width;
    const int h = g.height;
    if (above) {
        g.body = {0, kArrow + kArrowOverlap, w, h};
    } else {
        g.body = {0, 0, w, h - kArrow + kArrowOverlap};
    }
    switch (position) {
    case BalloonPosition::ArrowTopRight:
        g.arrow = {{{kArrow, h - kArrow}, {kArrow, h}, {2 * kArrow, h - kArrow}}};
        g.tip = g.arrow[1];
        break;
    case BalloonPosition::ArrowBottomLeft:
        g.arrow = {{{w - kArrow, kArrowOverlap},
                    {w - kArrow, kArrow + kArrowOverlap},
                    {w - 2 * kArrow, kArrow + kArrowOverlap}}};
        g.tip = g.arrow[0];
        break;
    case BalloonPosition::ArrowBottomRight:
        g.arrow = {{{kArrow, kArrowOverlap},
                    {kArrow, kArrow + kArrowOverlap},
                    {2 * kArrow, kArrow + kArrowOverlap}}};
        g.tip = g.arrow[0];
        break;
    case BalloonPosition::ArrowTopLeft:
    default:
        g.arrow = {{{w - 2 * kArrow, h - kArrow}, {w - kArrow, h}, {w - kArrow, h - kArrow}}};
        g.tip = g.arrow[1];
        break;
    }
    g.origin = {target.x - g.tip.x, target.y - g.tip.y};
    g.position = position;
    return g;
}

BalloonGeometry LayOutBalloonInside(BalloonPosition position, BalloonPoint target,
                                    const BalloonLabels& labels, BalloonRect workArea, int dpi) {
    const bool below = ArrowAbove(position);
    const bool left = BodyLeft(position);
    const BalloonGeometry laid = LayOutBalloon(position, target, labels, dpi);
    // The window's size is the same in all four positions; only its origin moves.
    const BalloonGeometry across = LayOutBalloon(PositionOf(!below, !left), target, labels, dpi);
    const Span columns{workArea.left, workArea.right};
    const Span rows{workArea.top, workArea.bottom};
    const bool keepColumn = columns.KeepSide(laid.origin.x, across.origin.x, laid.width);
    const bool keepRow = rows.KeepSide(laid.origin.y, across.origin.y, laid.height);
    BalloonGeometry g = LayOutBalloon(
        PositionOf(keepRow ? below : !below, keepColumn ? left : !left), target, labels, dpi);
    g.origin = {columns.Clamp(g.origin.x, g.width), rows.Clamp(g.origin.y, g.height)};
    return g;
}

} // namespace tervane

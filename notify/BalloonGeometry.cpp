#include "notify/BalloonGeometry.h"

namespace {

constexpr int kMargin = 10;      // around the labels and the picture
constexpr int kTitleLeft = 34;   // right of the picture
constexpr int kTitleTop = 12;    // level with the picture's middle
constexpr int kTitleGap = 8;     // between the title and the text
constexpr int kArrow = 20;       // the arrow's height and base, and its inset from the side
constexpr int kArrowOverlap = 2; // the arrow reaches into the body so that the two join

bool ArrowAbove(BalloonPosition position) {
    return position == BalloonPosition::ArrowBottomLeft ||
           position == BalloonPosition::ArrowBottomRight;
}

} // namespace

BalloonGeometry LayOutBalloon(BalloonPosition position, BalloonPoint target, BalloonSize title,
                              BalloonSize text) {
    BalloonGeometry g;
    const bool above = ArrowAbove(position);
    const int shift = above ? kArrow : 0;
    g.title = {kTitleLeft, kTitleTop + shift};
    g.text = {kMargin, g.title.y + title.height + kTitleGap};
    g.icon = {kMargin, kMargin + shift};
    g.height = g.text.y + text.height + kMargin + (above ? 0 : kArrow);
    const int titleRight = g.title.x + title.width;
    const int textRight = g.text.x + text.width;
    g.width = (titleRight > textRight ? titleRight : textRight) + kMargin;

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
    return g;
}

#pragma once
// The balloon on the Linux desktop: a shaped popup window (never taking the focus, on top
// of other windows, no taskbar entry) laid out by notify/BalloonGeometry, drawn with cairo
// and Pango in the desktop's font, so any script shows. It owns itself: a click or its
// timer destroys it, and several live side by side. Its X window title is its text.
#include "notify/Balloon.h"

namespace tervane {

// Opens a new balloon and returns at once.
void ShowBalloonWindow(const BalloonContent& balloon);

} // namespace tervane

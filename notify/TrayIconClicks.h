#pragma once

namespace tervane {
// When a notification-area icon reports a click. Without a double-click handler the click
// is reported at the release of the left button; with one, the press starts a click timer
// of the double-click time, and the click is reported when it elapses without a double
// click. A double click reports no click.
//
// The caller owns the click timer and raises the events; this keeps the marks and makes
// the decisions, each before any event runs (a handler may end the icon).
class TrayIconClicks {
  public:
    // A left press starts a new click: a double click marked before it (one no timer
    // followed, as without a double-click handler) no longer counts against it. The caller
    // has started the click timer first if it wants double clicks.
    void LeftDown();
    // A left release. True when the click is to be reported now.
    bool LeftUp(bool clickTimerRunning);
    // A left double click: the click pending for the timer is not reported.
    void DoubleClick();
    // The click timer elapsed (the caller stops it). True when the click is to be reported now.
    bool ClickTimerElapsed();

  private:
    bool started_ = false;
    bool ready_ = false;
    bool doubleClick_ = false;
};

} // namespace tervane

#include "notify/TrayIconClicks.h"

namespace tervane {

void TrayIconClicks::LeftDown() {
    started_ = true;
    doubleClick_ = false;
}

bool TrayIconClicks::LeftUp(bool clickTimerRunning) {
    bool report = false;
    if (started_) {
        ready_ = true;
        if (!clickTimerRunning) {
            ready_ = false;
            report = true;
        }
    }
    started_ = false;
    return report;
}

void TrayIconClicks::DoubleClick() {
    ready_ = false;
    doubleClick_ = true;
}

bool TrayIconClicks::ClickTimerElapsed() {
    const bool report = !doubleClick_ && ready_;
    if (report)
        ready_ = false;
    doubleClick_ = false;
    return report;
}

} // namespace tervane

#pragma once
// One copy of the program per logon session. A second copy would open a second window and
// a second notification-area icon and find its hotkey taken by the first; instead it hands
// the user over to the copy that runs and ends.
#include <windows.h>

namespace tervane {

class SingleInstance {
  public:
    // Claims the session's name for the program; the claim lasts as long as the object.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Whether no other copy held the claim.
    bool IsFirst() const { return first_; }

  private:
    HANDLE claim_ = nullptr;
    bool first_ = true;
};

// Asks the copy that runs to show its main window in front (also when it is hidden in the
// notification area). A copy that is still starting is given a few seconds to make its
// window; false when none came.
bool ShowRunningCopy();

} // namespace tervane

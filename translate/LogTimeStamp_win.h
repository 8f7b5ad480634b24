#pragma once
// The log's clock over Win32: the local time and the current user's date and time
// settings (short date and long time pictures, day and month names, AM/PM designators).
#include "translate/LogTimeStamp.h"

namespace tervane {

class WinUserClock final : public UserClock {
  public:
    LocalDateTime Now() override;
    UserDateTimeFormats Formats() override;
};

} // namespace tervane

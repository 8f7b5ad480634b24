#pragma once
// The translation log on Linux: the file $XDG_DATA_HOME/tervane/Translations.log (the
// user's data folder, as the desktop has no folder shared by all users that a user may
// write), written with POSIX calls, stamped with the local time in the locale's date and
// time formats.
#include "translate/TranslationLog.h"

#include <string>

namespace tervane {

class PosixLogFiles final : public LogFiles {
  public:
    bool AppendToExisting(const std::string& path, std::string_view bytes) override;
    // Makes the file's folder first.
    bool CreateNew(const std::string& path, std::string_view bytes) override;
};

class LocaleClock final : public UserClock {
  public:
    LocalDateTime Now() override;
    // The LC_TIME locale's date and time formats and names.
    UserDateTimeFormats Formats() override;
};

// The log's path.
std::string LinuxTranslationLogPath();

} // namespace tervane

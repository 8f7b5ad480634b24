#pragma once
// The translation log over Win32: the file "Translations.LOG" in the application data
// folder shared by all users, the local clock and the user's date and time settings.
#include "translate/TranslationLog.h"

#include <string>
#include <string_view>

namespace tervane {

// The access list a new log is given. The log is shared by every user of the machine, but a
// file made in the all-users folder is otherwise writable only by the user who made it:
// every local user (BUILTIN\Users) may read it and append to it; the system and the
// administrators have full control.
inline constexpr wchar_t kSharedLogSecurity[] = L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x12008D;;;BU)";

// Files opened for each write and closed after it; the system's reason on failure.
class WinLogFiles final : public LogFiles {
  public:
    bool AppendToExisting(const std::string& path, std::string_view bytes) override;
    bool CreateNew(const std::string& path, std::string_view bytes) override;
};

// The log's path: the shared application data folder, "\", "Translations.LOG".
std::string TranslationLogPath();

// Appends one record to the log when the file exists (the translation flow, with the two
// pickers' display names); nothing happens when it doesn't. Throws std::runtime_error with
// the system's reason when the file exists but can't be opened or written.
void LogTranslation(std::string_view sourceName, std::string_view targetName,
                    std::string_view source, std::string_view translation);

// Creates the log with its banner when there is none yet (logging switched on); returns
// whether it created it. Throws std::runtime_error with the system's reason on failure.
bool CreateLogWithBanner();

} // namespace tervane

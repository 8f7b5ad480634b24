// The log written to a file that is kept small: when it reaches its size limit it becomes
// "<name>.1" (replacing the one before) and a new file begins, so a service that runs for
// months keeps at most twice the limit on disk.
#pragma once

#include "service/core/Result.h"
#include "service/platform/LogOutput.h"

#include <cstdint>
#include <filesystem>

namespace tervane::service {

inline constexpr std::uintmax_t kLogFileLimit = 1024 * 1024;

// Opens (creating its folder) and appends; the failure says which file could not be opened.
Result<LogOutput> LogFileOutput(const std::filesystem::path& path,
                                std::uintmax_t limit = kLogFileLimit);

} // namespace tervane::service

#include "base/AppIdentity.h"

#include <ctime>

namespace tervane {

std::string CopyrightNotice() {
    // The local date: around New Year the UTC year is not the user's.
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    const int year = local ? local->tm_year + 1900 : 1970;
    return "Copyright \u00A9 " + std::to_string(year) + " " + kPublisher;
}

} // namespace tervane

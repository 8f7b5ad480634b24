#include "app/AppIdentity.h"

#include <chrono>

std::string CopyrightNotice() {
    using namespace std::chrono;
    const year_month_day today{floor<days>(system_clock::now())};
    return "Copyright \u00A9 " + std::to_string(static_cast<int>(today.year())) + " " + kPublisher;
}

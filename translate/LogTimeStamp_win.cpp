#include "translate/LogTimeStamp_win.h"

#include "base/WideText_win.h"

#include <windows.h>

namespace tervane {

namespace {

std::string UserLocaleText(LCTYPE item) {
    wchar_t buffer[128] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, 128) == 0)
        return {};
    return Narrow(buffer);
}

} // namespace

LocalDateTime WinUserClock::Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
}

UserDateTimeFormats WinUserClock::Formats() {
    UserDateTimeFormats formats;
    formats.shortDate = UserLocaleText(LOCALE_SSHORTDATE);
    formats.longTime = UserLocaleText(LOCALE_STIMEFORMAT);
    // The locale counts days from Monday (LOCALE_SDAYNAME1); ours from Sunday.
    for (int i = 0; i < 7; ++i) {
        const int fromMonday = (i + 6) % 7;
        formats.dayNames[i] = UserLocaleText(LOCALE_SDAYNAME1 + fromMonday);
        formats.abbreviatedDayNames[i] = UserLocaleText(LOCALE_SABBREVDAYNAME1 + fromMonday);
    }
    for (int i = 0; i < 12; ++i) {
        formats.monthNames[i] = UserLocaleText(LOCALE_SMONTHNAME1 + i);
        formats.abbreviatedMonthNames[i] = UserLocaleText(LOCALE_SABBREVMONTHNAME1 + i);
    }
    formats.am = UserLocaleText(LOCALE_S1159);
    formats.pm = UserLocaleText(LOCALE_S2359);
    SYSTEMTIME today;
    GetLocalTime(&today);
    wchar_t era[64] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &today, L"gg", era, 64, nullptr) > 0)
        formats.era = Narrow(era);
    return formats;
}

} // namespace tervane

#pragma once
// The time stamp of a translation log record: the local date in the user's short date
// format, a space and the local time in the user's long time format; at exactly midnight
// the date alone. The formats are Windows picture strings ("dd/MM/yyyy", "h:mm:ss tt"),
// formatted here so that the rule can be checked for any user's settings.
#include <array>
#include <string>
#include <string_view>

namespace tervane {

struct LocalDateTime {
    int year = 1601;
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int dayOfWeek = 0; // 0 Sunday .. 6 Saturday
    int hour = 0;      // 0..23
    int minute = 0;
    int second = 0;
};

// The user's date and time settings: the two pictures and the names they may call for
// (UTF-8; days from Sunday, months from January).
struct UserDateTimeFormats {
    std::string shortDate = "M/d/yyyy";
    std::string longTime = "h:mm:ss tt";
    std::array<std::string, 7> dayNames;
    std::array<std::string, 7> abbreviatedDayNames;
    std::array<std::string, 12> monthNames;
    std::array<std::string, 12> abbreviatedMonthNames;
    std::string am = "AM";
    std::string pm = "PM";
    std::string era; // what "g" and "gg" show
};

// What the log needs of the system: the local time now and the user's settings.
class UserClock {
  public:
    virtual ~UserClock() = default;
    virtual LocalDateTime Now() = 0;
    virtual UserDateTimeFormats Formats() = 0;
};

// A date picture: d dd ddd dddd, M MM MMM MMMM, y yy yyyy, g gg; 'quoted' text ('' is a
// quotation mark); every other character stands for itself.
std::string FormatDatePicture(std::string_view picture, const LocalDateTime& when,
                              const UserDateTimeFormats& formats);

// A time picture: h hh (12-hour), H HH (24-hour), m mm, s ss, t tt (the AM/PM designator or
// its first character); quoting as for dates.
std::string FormatTimePicture(std::string_view picture, const LocalDateTime& when,
                              const UserDateTimeFormats& formats);

std::string LogTimeStamp(const LocalDateTime& when, const UserDateTimeFormats& formats);

} // namespace tervane

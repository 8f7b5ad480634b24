#include "translate/LogTimeStamp.h"

#include "protocol/Utf8.h"

#include <cstddef>
#include <string>

namespace tervane {

namespace {

std::string Number(int value, std::size_t count) {
    std::string digits = std::to_string(value);
    if (count >= 2 && digits.size() < 2)
        digits.insert(0, 1, '0');
    return digits;
}

// The first UTF-8 character of `text`.
std::string FirstCharacter(const std::string& text) {
    if (text.empty())
        return {};
    return text.substr(0, tervane::protocol::NextCharacter(text, 0));
}

// Walks `picture`, handing each run of one letter (with its length) to `field`, which
// gives its text or false when the letter is no field; quoted text is copied.
template <class Field> std::string FormatPicture(std::string_view picture, Field field) {
    std::string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            ++i;
            if (i < picture.size() && picture[i] == '\'') {
                out += '\'';
                ++i;
                continue;
            }
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        std::size_t count = 1;
        while (i + count < picture.size() && picture[i + count] == c)
            ++count;
        std::string text;
        if (field(c, count, text)) {
            out += text;
        } else {
            out.append(count, c);
        }
        i += count;
    }
    return out;
}

} // namespace

std::string FormatDatePicture(std::string_view picture, const LocalDateTime& when,
                              const UserDateTimeFormats& formats) {
    return FormatPicture(picture, [&](char c, std::size_t count, std::string& text) {
        switch (c) {
        case 'd':
            text = count <= 2   ? Number(when.day, count)
                   : count == 3 ? formats.abbreviatedDayNames.at(when.dayOfWeek)
                                : formats.dayNames.at(when.dayOfWeek);
            return true;
        case 'M':
            text = count <= 2   ? Number(when.month, count)
                   : count == 3 ? formats.abbreviatedMonthNames.at(when.month - 1)
                                : formats.monthNames.at(when.month - 1);
            return true;
        case 'y':
            text = count <= 2 ? Number(when.year % 100, count) : std::to_string(when.year);
            return true;
        case 'g':
            text = formats.era;
            return true;
        default:
            return false;
        }
    });
}

std::string FormatTimePicture(std::string_view picture, const LocalDateTime& when,
                              const UserDateTimeFormats& formats) {
    return FormatPicture(picture, [&](char c, std::size_t count, std::string& text) {
        switch (c) {
        case 'h':
            text = Number(when.hour % 12 == 0 ? 12 : when.hour % 12, count);
            return true;
        case 'H':
            text = Number(when.hour, count);
            return true;
        case 'm':
            text = Number(when.minute, count);
            return true;
        case 's':
            text = Number(when.second, count);
            return true;
        case 't': {
            const std::string& designator = when.hour < 12 ? formats.am : formats.pm;
            text = count == 1 ? FirstCharacter(designator) : designator;
            return true;
        }
        default:
            return false;
        }
    });
}

std::string LogTimeStamp(const LocalDateTime& when, const UserDateTimeFormats& formats) {
    std::string stamp = FormatDatePicture(formats.shortDate, when, formats);
    if (when.hour == 0 && when.minute == 0 && when.second == 0)
        return stamp;
    return stamp + ' ' + FormatTimePicture(formats.longTime, when, formats);
}

} // namespace tervane

#include "gtk/DatePicture.h"

#include <cctype>

namespace tervane {

namespace {

std::string_view PictureOfConversion(char conversion) {
    switch (conversion) {
    case 'd':
        return "dd";
    case 'e':
        return "d";
    case 'm':
        return "MM";
    case 'b':
    case 'h':
        return "MMM";
    case 'B':
        return "MMMM";
    case 'a':
        return "ddd";
    case 'A':
        return "dddd";
    case 'y':
        return "yy";
    case 'Y':
        return "yyyy";
    case 'H':
        return "HH";
    case 'k':
        return "H";
    case 'I':
        return "hh";
    case 'l':
        return "h";
    case 'M':
        return "mm";
    case 'S':
        return "ss";
    case 'p':
        return "tt";
    case 'D':
        return "MM/dd/yy";
    case 'F':
        return "yyyy-MM-dd";
    case 'T':
        return "HH:mm:ss";
    case 'R':
        return "HH:mm";
    case 'r':
        return "hh:mm:ss tt";
    case 'n':
    case 't':
        return " ";
    default:
        return "";
    }
}

// Text that stands for itself: letters and quotation marks are quoted.
void AppendLiteral(std::string& picture, char c) {
    if (c == '\'')
        picture += "''";
    else if (std::isalpha(static_cast<unsigned char>(c)))
        picture.append("'").append(1, c).append("'");
    else
        picture += c;
}

} // namespace

std::string PictureOfStrftime(std::string_view format) {
    std::string picture;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            AppendLiteral(picture, format[i]);
            continue;
        }
        char conversion = format[++i];
        bool unpadded = false;
        // GNU flags and the E and O modifiers change how a field is written, not which; "-"
        // drops a number's leading zero.
        while ((conversion == '-' || conversion == '_' || conversion == '0' || conversion == '^' ||
                conversion == '#' || conversion == 'E' || conversion == 'O') &&
               i + 1 < format.size()) {
            unpadded = unpadded || conversion == '-';
            conversion = format[++i];
        }
        std::string_view field = PictureOfConversion(conversion);
        if (unpadded && field.size() == 2 && field[0] == field[1])
            field.remove_suffix(1);
        if (conversion == '%')
            picture += '%';
        else
            picture += field;
    }
    return picture;
}

} // namespace tervane

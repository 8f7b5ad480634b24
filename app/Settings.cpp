#include "app/Settings.h"

namespace tervane {

using namespace tervane::protocol;

bool Settings::IsOn(Option option) const {
    switch (option) {
    case Option::Freeze:
        return freeze;
    case Option::CopyToClipboard:
        return copyToClipboard;
    case Option::LogToFile:
        return logToFile;
    }
    return false;
}

void Settings::Set(Option option, bool on) {
    switch (option) {
    case Option::Freeze:
        freeze = on;
        break;
    case Option::CopyToClipboard:
        copyToClipboard = on;
        break;
    case Option::LogToFile:
        logToFile = on;
        break;
    }
}

std::string LanguageNameAt(int position) {
    if (!LanguageCodeAt(position))
        return {};
    return std::string(LanguageTable()[static_cast<std::size_t>(position)].name);
}

std::string LanguageCodeOrEmpty(int position) {
    return std::string(LanguageCodeAt(position).value_or(""));
}

} // namespace tervane

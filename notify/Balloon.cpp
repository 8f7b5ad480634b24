#include "notify/Balloon.h"

#include <algorithm>

namespace tervane {

std::string JoinBalloonText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string BalloonWindowText(const BalloonContent& content) {
    if (content.dictionary.empty())
        return content.text;
    return content.text + "\r\n\r\n" + content.dictionary;
}

const wchar_t* BalloonPictureName(BalloonType type) {
    switch (type) {
    case BalloonType::Error:
        return L"ERROR";
    case BalloonType::Warning:
        return L"WARNING";
    case BalloonType::Info:
        break;
    }
    return L"INFO";
}

std::uint32_t BalloonCloseDelay(int durationSeconds) {
    // The longest interval a window-message timer accepts (USER_TIMER_MAXIMUM).
    constexpr std::int64_t kLongestTimer = 0x7FFFFFFF;
    if (durationSeconds <= 0)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(std::int64_t{durationSeconds} * 1000, kLongestTimer));
}

} // namespace tervane

#include "translate/TranslationLog.h"

#include <initializer_list>

namespace tervane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (std::string_view line : lines) {
        out += line;
        out += kLineEnd;
    }
    return out;
}

} // namespace

std::string TranslationLogPath(std::string_view folder) {
    std::string path(folder);
    path += '\\';
    path += kTranslationLogFileName;
    return path;
}

std::string TranslationLogBanner() {
    return Lines({"***************************", "*     Pellori Wordkit     *",
                  "***************************", ""});
}

std::string TranslationLogRecord(std::string_view sourceName, std::string_view targetName,
                                 std::string_view timeStamp, std::string_view source,
                                 std::string_view translation) {
    std::string heading = "***** Translation ";
    heading.append(sourceName).append("-->").append(targetName);
    heading.append(" at ").append(timeStamp).append(" *****");
    return Lines({"", heading, "", "<<<-- Source -->>>", "", source, "", "<<<-- Target -->>>", "",
                  translation, ""});
}

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

bool TranslationLog::Append(std::string_view sourceName, std::string_view targetName,
                            std::string_view source, std::string_view translation) {
    const std::string stamp = LogTimeStamp(clock_.Now(), clock_.Formats());
    return files_.AppendToExisting(
        path_, TranslationLogRecord(sourceName, targetName, stamp, source, translation));
}

bool TranslationLog::CreateWithBanner() {
    return files_.CreateNew(path_, TranslationLogBanner());
}

} // namespace tervane

#include "protocol/WordsAnswer.h"

#include "protocol/ServiceProtocol.h"
#include "protocol/Utf8.h"

#include <algorithm>
#include <array>

namespace tervane::protocol {
namespace {

constexpr char kFieldSeparator = '\t';
constexpr char kLineSeparator = '\n';

std::string OneLineField(std::string_view field) {
    std::string line(field);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return line;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(end + 1);
    }
}

// The blanks IsSingleWord trims and refuses inside, in UTF-8: no-break space, the spaces
// U+2000..U+200B, the narrow no-break space, the medium mathematical space and the
// ideographic space, beside the ASCII ones.
constexpr std::array<std::string_view, 16> kUnicodeBlanks = {
    "\xC2\xA0",     "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84",
    "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A",
    "\xE2\x80\x8B", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};

bool IsBlank(std::string_view character) {
    if (character.size() == 1) {
        return character == " " || character == "\t" || character == "\n" || character == "\r" ||
               character == "\v" || character == "\f";
    }
    return std::find(kUnicodeBlanks.begin(), kUnicodeBlanks.end(), character) !=
           kUnicodeBlanks.end();
}

bool IsAsciiPunctuationOrDigit(std::string_view character) {
    if (character.size() != 1) {
        return false;
    }
    const unsigned char c = static_cast<unsigned char>(character[0]);
    return c < 0x80 && !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

} // namespace

std::string EncodeWordsAnswer(const WordsAnswer& answer) {
    std::string body = EncodeAnswer(answer.translation);
    std::size_t entriesWritten = 0;
    for (const WordEntry& entry : answer.entries) {
        if (entriesWritten == kMaxWordEntries) {
            break;
        }
        std::string line = OneLineField(entry.partOfSpeech);
        std::size_t translationsWritten = 0;
        for (const std::string& translation : entry.translations) {
            if (translation.empty() || translationsWritten == kMaxWordTranslations) {
                continue;
            }
            line += kFieldSeparator;
            line += OneLineField(translation);
            ++translationsWritten;
        }
        if (translationsWritten > 0) {
            body += kLineSeparator;
            body += line;
            ++entriesWritten;
        }
    }
    return body;
}

std::optional<WordsAnswer> DecodeWordsAnswer(std::string_view body) {
    const std::vector<std::string_view> lines = Split(body, kLineSeparator);
    std::optional<std::string> translation = DecodeAnswer(lines.front());
    if (!translation) {
        return std::nullopt;
    }
    WordsAnswer answer{std::move(*translation), {}};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], kFieldSeparator);
        if (fields.size() < 2) {
            return std::nullopt;
        }
        WordEntry entry{std::string(fields.front()), {}};
        for (std::size_t f = 1; f < fields.size(); ++f) {
            if (fields[f].empty()) {
                return std::nullopt;
            }
            entry.translations.emplace_back(fields[f]);
        }
        answer.entries.push_back(std::move(entry));
    }
    return answer;
}

bool IsSingleWord(std::string_view text) {
    if (!IsValidUtf8(text)) {
        return false;
    }
    std::vector<std::string_view> characters;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = NextCharacter(text, at);
        characters.push_back(text.substr(at, next - at));
        at = next;
    }
    const auto first = std::find_if_not(characters.begin(), characters.end(), IsBlank);
    const auto last = std::find_if_not(characters.rbegin(), characters.rend(), IsBlank).base();
    if (first >= last || static_cast<std::size_t>(last - first) > kMaxWordLength) {
        return false;
    }
    return std::none_of(first, last, IsBlank) &&
           !std::all_of(first, last, IsAsciiPunctuationOrDigit);
}

std::string_view WithoutBlanksAround(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace tervane::protocol

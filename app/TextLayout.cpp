#include "app/TextLayout.h"

#include <cstddef>

namespace tervane {

namespace {

// Characters, not bytes: a UTF-8 letter of two or more bytes counts once.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace

std::vector<std::string> WrapWords(std::string_view text, std::size_t width) {
    std::string rest(text);
    rest += ' ';
    std::vector<std::string> lines(1);
    std::size_t lineLength = 0;
    std::size_t start = 0;
    for (std::size_t space = rest.find(' '); space != std::string::npos;
         space = rest.find(' ', start)) {
        const std::string_view word(rest.data() + start, space + 1 - start);
        const std::size_t wordLength = CharacterCount(word);
        if (lineLength + wordLength <= width) {
            lines.back() += word;
            lineLength += wordLength;
        } else {
            lines.emplace_back(word);
            lineLength = wordLength;
        }
        start = space + 1;
    }
    return lines;
}

std::vector<std::string> DictionaryLines(const std::vector<protocol::WordEntry>& entries,
                                         std::size_t width) {
    std::vector<std::string> lines;
    for (const protocol::WordEntry& entry : entries) {
        const std::string tag =
            entry.partOfSpeech.empty() ? std::string() : " (" + entry.partOfSpeech + ")";
        std::string line;
        for (const std::string& translation : entry.translations)
            line += (line.empty() ? "" : ", ") + translation + tag;
        // Without the space WrapWords leaves at each line's end, and without the empty line
        // it puts before a first word longer than the width.
        for (std::string& wrapped : WrapWords(line, width)) {
            if (!wrapped.empty() && wrapped.back() == ' ')
                wrapped.pop_back();
            if (!wrapped.empty())
                lines.push_back(std::move(wrapped));
        }
    }
    return lines;
}

} // namespace tervane

#include "service/apertium/ApertiumText.h"

namespace tervane::service {
namespace {

// The characters the stream format reserves: those the text formatter escapes, and the
// unknown-word and generation marks, so that a user's own sign is never read as one.
constexpr std::string_view kEscaped = "\\[]^$/<>@{}*#";
// The end of a sentence the formatter adds where a text or a paragraph ends.
constexpr std::string_view kSentenceEnd = ".[]";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The formatter treats `~` as a blank: escaped, several pairs drop it and join the words.
bool IsStreamBlank(char c) {
    return IsBlank(c) || c == '~';
}

bool IsParagraphBreak(std::string_view run) {
    return run.find("\n\n") != std::string_view::npos ||
           run.find("\r\n\r\n") != std::string_view::npos;
}

} // namespace

std::string ToApertiumStream(std::string_view text) {
    std::string stream;
    stream.reserve(text.size() + text.size() / 4 + 8);
    bool ended = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsStreamBlank(text[i])) {
            std::size_t end = i;
            while (end < text.size() && IsStreamBlank(text[end]))
                ++end;
            const std::string_view run = text.substr(i, end - i);
            ended = end == text.size();
            if (ended || IsParagraphBreak(run))
                stream += kSentenceEnd;
            if (run == " ") {
                stream += ' ';
            } else {
                stream += '[';
                stream.append(run);
                stream += ']';
            }
            i = end;
            continue;
        }
        if (kEscaped.find(text[i]) != std::string_view::npos)
            stream += '\\';
        stream += text[i++];
    }
    if (!ended)
        stream += kSentenceEnd;
    return stream;
}

std::string FromApertiumStream(std::string_view stream) {
    std::string text;
    text.reserve(stream.size());
    bool plainStop = false; // the last character kept is an unescaped full stop
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const char c = stream[i];
        if (c == '\\' && i + 1 < stream.size()) {
            text += stream[++i];
            plainStop = false;
        } else if (c == '[' && i + 1 < stream.size() && stream[i + 1] == ']') {
            if (plainStop)
                text.pop_back();
            plainStop = false;
            ++i;
        } else if (c != '[' && c != ']') {
            text += c;
            plainStop = c == '.';
        }
    }
    return text;
}

std::string RemoveUnknownWordMarks(std::string_view output, std::string_view source) {
    std::string text;
    text.reserve(output.size());
    for (std::size_t i = 0; i < output.size(); ++i) {
        const char c = output[i];
        const bool mark = (c == '*' || c == '@' || c == '#') &&
                          source.find(c) == std::string_view::npos && i + 1 < output.size() &&
                          !IsBlank(output[i + 1]);
        if (!mark)
            text += c;
    }
    return text;
}

} // namespace tervane::service

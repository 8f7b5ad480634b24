#include "service/ApertiumText.h"

namespace tervane::service {
namespace {

constexpr std::string_view kEscaped = "\\[]^$/<>@{}";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string ToApertiumStream(std::string_view text) {
    std::string stream;
    stream.reserve(text.size() + text.size() / 4 + 8);
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            std::size_t end = i;
            while (end < text.size() && IsBlank(text[end]))
                ++end;
            const std::string_view run = text.substr(i, end - i);
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
    stream += "[]";
    return stream;
}

std::string FromApertiumStream(std::string_view stream) {
    std::string text;
    text.reserve(stream.size());
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const char c = stream[i];
        if (c == '\\' && i + 1 < stream.size()) {
            text += stream[++i];
        } else if (c != '[' && c != ']') {
            text += c;
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

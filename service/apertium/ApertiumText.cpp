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

// Bytes of the UTF-8 sequence at text[i] when it is a noncharacter (U+FDD0 to U+FDEF, and
// the last two code points of every plane), else 0. Apertium's tools read U+FFFF as the
// end of their input (ICU's end-of-file value): in a stream it flushes lt-proc -z mid
// request and the pipeline loses step. So noncharacters never enter the stream.
std::size_t NoncharacterLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t at) {
        return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
    };
    const unsigned lead = byte(i);
    if (lead == 0xEF && i + 2 < text.size()) {
        const unsigned code =
            ((lead & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
        return (code >= 0xFDD0 && code <= 0xFDEF) || code >= 0xFFFE ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4 && i + 3 < text.size()) {
        const unsigned low = ((byte(i + 2) & 0x3F) << 6) | (byte(i + 3) & 0x3F);
        return (low & 0xFFE) == 0xFFE && (byte(i + 1) & 0x0F) == 0x0F ? 4 : 0;
    }
    return 0;
}

// A run of noncharacters goes round the pipeline as a superblank holding their bytes in
// hexadecimal between braces: every tool passes a superblank through in order, a user's
// own brace is escaped, so no text can be read as one.
constexpr std::string_view kHex = "0123456789ABCDEF";

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
        if (std::size_t length = NoncharacterLength(text, i); length != 0) {
            stream += "[{";
            while (length != 0) {
                for (std::size_t end = i + length; i < end; ++i) {
                    const auto byte = static_cast<unsigned char>(text[i]);
                    stream += kHex[byte >> 4];
                    stream += kHex[byte & 0x0F];
                }
                length = NoncharacterLength(text, i);
            }
            stream += "}]";
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
        } else if (c == '[' && i + 1 < stream.size() && stream[i + 1] == '{' &&
                   stream.find("}]", i) != std::string_view::npos) {
            // The noncharacters ToApertiumStream took out, back in their place.
            const std::size_t end = stream.find("}]", i);
            for (std::size_t at = i + 2; at + 1 < end; at += 2) {
                text += static_cast<char>(kHex.find(stream[at]) << 4 | kHex.find(stream[at + 1]));
            }
            plainStop = false;
            i = end + 1;
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

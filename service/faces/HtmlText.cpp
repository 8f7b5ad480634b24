#include "service/faces/HtmlText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <utility>

namespace tervane::service {
namespace {

struct NamedReference {
    std::string_view name; // without its '&' and ';'
    std::string_view character;
};

// Every named reference of HTML5 (scripts/make-html-entities.py), sorted by name.
constexpr NamedReference kNamedReferences[] = {
#include "service/faces/HtmlEntities.inc"
};

// The longest name, "CounterClockwiseContourIntegral", with its '&' and ';'.
constexpr std::size_t kLongestReference = 33;

std::optional<std::string_view> FindNamedReference(std::string_view name) {
    const auto found =
        std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                         [](const NamedReference& reference, std::string_view wanted) {
                             return reference.name < wanted;
                         });
    if (found == std::end(kNamedReferences) || found->name != name)
        return std::nullopt;
    return found->character;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A numeric reference's code point, or 0 when it is not one that stands for a character.
std::uint32_t NumericReference(std::string_view digits) {
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 7)
        return 0;
    std::uint32_t code = 0;
    for (char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        if (!(hex ? std::isxdigit(u) : std::isdigit(u)))
            return 0;
        code = code * (hex ? 16 : 10) +
               static_cast<std::uint32_t>(std::isdigit(u) ? c - '0' : std::tolower(u) - 'a' + 10);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code == 0 || code > 0x10FFFF || surrogate ? 0 : code;
}

std::string DecodeReferences(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i >= kLongestReference) {
            out += text[i];
            continue;
        }
        const std::string_view name = text.substr(i + 1, semicolon - i - 1);
        bool decoded = false;
        if (!name.empty() && name[0] == '#') {
            if (const std::uint32_t code = NumericReference(name.substr(1))) {
                AppendUtf8(code, out);
                decoded = true;
            }
        } else {
            if (const auto character = FindNamedReference(name)) {
                out += *character;
                decoded = true;
            }
        }
        if (decoded)
            i = semicolon;
        else
            out += text[i];
    }
    return out;
}

// A letter or digit, or any character beyond ASCII but the no-break space (&nbsp;).
bool HasWord(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (text.substr(i, 2) == "\xC2\xA0")
            ++i;
        else if (std::isalnum(u) || u >= 0x80)
            return true;
    }
    return false;
}

// Where the markup that starts at a '<' ends (one past it), or npos when it starts none.
std::size_t MarkupEnd(std::string_view html, std::size_t open) {
    const std::string_view rest = html.substr(open);
    if (rest.substr(0, 4) == "<!--") {
        const std::size_t close = html.find("-->", open + 4);
        return close == std::string_view::npos ? html.size() : close + 3;
    }
    if (rest.size() < 2)
        return std::string_view::npos;
    const auto next = static_cast<unsigned char>(rest[1]);
    if (!std::isalpha(next) && next != '/' && next != '!' && next != '?')
        return std::string_view::npos;
    // A '>' inside a quoted attribute value does not end the tag.
    char quote = 0;
    for (std::size_t i = open + 1; i < html.size(); ++i) {
        if (quote != 0) {
            if (html[i] == quote)
                quote = 0;
        } else if (html[i] == '"' || html[i] == '\'') {
            quote = html[i];
        } else if (html[i] == '>') {
            return i + 1;
        }
    }
    return html.size();
}

} // namespace

std::vector<HtmlPiece> SplitHtml(std::string_view html) {
    std::vector<HtmlPiece> pieces;
    std::string text; // raw text gathered since the last markup
    const auto flushText = [&] {
        if (!text.empty()) {
            std::string decoded = DecodeReferences(text);
            if (HasWord(decoded))
                pieces.push_back({std::move(decoded), true});
            else
                pieces.push_back({text, false});
        }
        text.clear();
    };
    std::size_t i = 0;
    while (i < html.size()) {
        const std::size_t end = html[i] == '<' ? MarkupEnd(html, i) : std::string_view::npos;
        if (end == std::string_view::npos) {
            text += html[i++];
            continue;
        }
        flushText();
        std::string_view markup = html.substr(i, end - i);
        // A script's or style's content is code, not text: kept up to its closing tag.
        for (std::string_view element : {"script", "style"}) {
            if (StartsWithNoCase(markup.substr(1), element)) {
                std::size_t close = end;
                while (close < html.size() &&
                       !StartsWithNoCase(html.substr(close), "</" + std::string(element)))
                    ++close;
                markup = html.substr(i, close - i);
            }
        }
        pieces.push_back({std::string(markup), false});
        i += markup.size();
    }
    flushText();
    return pieces;
}

std::string EscapeHtmlText(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace tervane::service

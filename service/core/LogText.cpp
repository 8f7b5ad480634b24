#include "service/core/LogText.h"

namespace tervane::service {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendEscaped(std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// Length of the UTF-8 character at text[at], or 0 when the bytes there are not one.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t point = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    // C1 controls (CSI among them) and the bidirectional overrides reorder or steer a
    // terminal's display: escaped like the C0 ones.
    const bool control = (point >= 0x80 && point <= 0x9F) || (point >= 0x202A && point <= 0x202E) ||
                         (point >= 0x2066 && point <= 0x2069);
    if (overlong || surrogate || point > 0x10FFFF || control)
        return 0;
    return length;
}

std::string Escape(std::string_view value, std::size_t limit, bool keepSpaces, bool keepBackslash) {
    std::string out;
    std::size_t at = 0;
    while (at < value.size()) {
        const auto byte = static_cast<unsigned char>(value[at]);
        const std::size_t length = Utf8Length(value, at);
        std::string piece;
        if (length == 0) {
            AppendEscaped(piece, byte);
        } else if (length == 1 && (byte < 0x20 || byte == 0x7F || (byte == ' ' && !keepSpaces) ||
                                   (byte == '\\' && !keepBackslash))) {
            AppendEscaped(piece, byte);
        } else {
            piece.assign(value.substr(at, length));
        }
        if (out.size() + piece.size() > limit) {
            out += "...[+" + std::to_string(value.size() - at) + " bytes]";
            return out;
        }
        out += piece;
        at += length == 0 ? 1 : length;
    }
    return out;
}

} // namespace

std::string EscapeForLog(std::string_view value, std::size_t limit, bool keepSpaces) {
    return Escape(value, limit, keepSpaces, false);
}

std::string BoundLogLine(std::string_view line) {
    return Escape(line, kLogLineLimit, true, true);
}

std::string RedactUrlUserInfo(std::string_view text) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t scheme = text.find("://"); scheme != std::string_view::npos;
         scheme = text.find("://", at)) {
        const std::size_t authority = scheme + 3;
        // The authority ends at the path, query, fragment or a blank; '@' within it ends
        // the user information.
        const std::size_t end = text.find_first_of("/?#\"' \t\r\n<>", authority);
        const std::string_view host = text.substr(authority, end - authority);
        const std::size_t atSign = host.rfind('@');
        out += text.substr(at, authority - at);
        if (atSign != std::string_view::npos) {
            out += "***";
            at = authority + atSign;
        } else {
            at = authority;
        }
    }
    out += text.substr(at);
    return out;
}

} // namespace tervane::service

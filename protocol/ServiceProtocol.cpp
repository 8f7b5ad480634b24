#include "protocol/ServiceProtocol.h"

namespace tervane::protocol {

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '*';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Length of the line break starting at text[i] (CR LF, LF or CR), or 0.
std::size_t LineBreakAt(std::string_view text, std::size_t i) {
    if (text[i] == '\r')
        return (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    return text[i] == '\n' ? 1 : 0;
}

} // namespace

std::string PercentEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c)) {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string BuildRequestBody(std::string_view text, std::string_view source,
                             std::string_view target) {
    std::string body;
    body.append(kFieldText).append("=").append(PercentEncode(text));
    body.append("&").append(kFieldSource).append("=").append(PercentEncode(source));
    body.append("&").append(kFieldTarget).append("=").append(PercentEncode(target));
    body.append("&").append(kFieldFormat).append("=").append(kFormatValue);
    body.append("&").append(kFieldVersion).append("=").append(kVersionValue);
    return body;
}

std::optional<std::string> PercentDecode(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= encoded.size())
                return std::nullopt;
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

FormParse ParseForm(std::string_view body, std::size_t maxFields) {
    FormParse result;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view segment = body.substr(start, end - start);
        if (!segment.empty()) {
            if (result.fields.size() >= maxFields) {
                result.error = FormError::TooManyFields;
                result.errorOffset = start;
                return result;
            }
            const std::size_t eq = segment.find('=');
            const std::string_view rawName = segment.substr(0, eq);
            const std::string_view rawValue =
                eq == std::string_view::npos ? std::string_view{} : segment.substr(eq + 1);
            if (rawName.empty()) {
                result.error = FormError::EmptyName;
                result.errorOffset = start;
                return result;
            }
            auto name = PercentDecode(rawName);
            auto value = PercentDecode(rawValue);
            if (!name || !value) {
                result.error = FormError::BadEscape;
                result.errorOffset = start;
                return result;
            }
            result.fields.emplace_back(std::move(*name), std::move(*value));
        }
        start = end + 1;
    }
    return result;
}

std::string EncodeAnswer(std::string_view translation) {
    std::string out;
    out.reserve(translation.size() + translation.size() / 8 + 2);
    out += '"';
    std::size_t i = 0;
    while (i < translation.size()) {
        std::size_t len = LineBreakAt(translation, i);
        if (len == 0) {
            if (translation[i] == '"')
                out += '\\';
            out += translation[i++];
            if (out.back() == '\\' &&
                (i == translation.size() || translation.substr(i, 3) == "r\\n"))
                out += kBackslashMark;
            continue;
        }
        // Count the line breaks of this run, skipping blanks that sit between two of them.
        int breaks = 0;
        std::size_t j = i;
        while (j < translation.size()) {
            len = LineBreakAt(translation, j);
            if (len > 0) {
                ++breaks;
                j += len;
                i = j;
                continue;
            }
            if (translation[j] == ' ' || translation[j] == '\t') {
                ++j;
                continue;
            }
            break;
        }
        out += breaks >= 2 ? "\\r\\n \\r\\n" : "\\r\\n";
    }
    out += '"';
    return out;
}

std::optional<std::string> DecodeAnswer(std::string_view body) {
    if (body.size() < 2 || body.front() != '"' || body.back() != '"')
        return std::nullopt;
    const std::string_view inner = body.substr(1, body.size() - 2);
    static constexpr std::string_view kParagraph = "\\r\\n \\r\\n";
    static constexpr std::string_view kLine = "\\r\\n";
    std::string out;
    out.reserve(inner.size());
    std::size_t i = 0;
    while (i < inner.size()) {
        if (inner.substr(i, kParagraph.size()) == kParagraph) {
            out += "\n\n";
            i += kParagraph.size();
        } else if (inner.substr(i, kLine.size()) == kLine) {
            out += '\n';
            i += kLine.size();
        } else if (inner[i] == '\\' && i + 1 < inner.size() && inner[i + 1] == kBackslashMark) {
            out += '\\';
            i += 2;
        } else if (inner.substr(i, 2) == "\\\"") {
            out += '"';
            i += 2;
        } else {
            out += inner[i++];
        }
    }
    return out;
}

} // namespace tervane::protocol

#include "translate/ServiceExchange.h"

#include "translate/ServiceProtocol.h"

#include <vector>

namespace {

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Every occurrence of `from` in `text`, left to right, replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::string_view::npos;
         start = at + from.size())
        out.append(text.substr(start, at - start)).append(to);
    out.append(text.substr(start));
    return out;
}

// Splits at every occurrence of `separator`, left to right.
std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;
         start = at + separator.size())
        pieces.emplace_back(text.substr(start, at - start));
    pieces.emplace_back(text.substr(start));
    return pieces;
}

// Length of the UTF-8 sequence at text[i], or 0 when it is not well formed (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (i + length > text.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

// Drops the first and the last character (not byte) of a UTF-8 text.
std::string WithoutFirstAndLast(std::string_view text) {
    if (text.empty())
        return {};
    std::size_t first = 1;
    while (first < text.size() && (static_cast<unsigned char>(text[first]) & 0xC0) == 0x80)
        ++first;
    std::size_t last = text.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80)
        --last;
    return first < last ? std::string(text.substr(first, last - first)) : std::string();
}

} // namespace

std::string ServiceAddress() {
#ifdef TERVANE_SERVICE_URL
    return TERVANE_SERVICE_URL;
#else
    using namespace tervane::protocol;
    return "http://" + std::string(kDefaultHost) + ":" + std::to_string(kDefaultPort) +
           std::string(kTranslatePath);
#endif
}

std::string RequestTranslation(HttpClient& http, std::string_view text, std::string_view sourceCode,
                               std::string_view targetCode) {
    return RequestTranslation(http, ServiceAddress(), text, sourceCode, targetCode);
}

std::string RequestTranslation(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode) {
    const std::string body = tervane::protocol::BuildRequestBody(text, ToLowerAscii(sourceCode),
                                                                 ToLowerAscii(targetCode));
    http.Request().contentType = tervane::protocol::kRequestContentType;
    std::string answer;
    try {
        answer = http.Post(address, body);
    } catch (const std::exception&) {
        // The one retry: the address a redirect (or an error) response pointed to. Without
        // one the POST's own error is the one worth showing.
        const std::string location = http.ResponseLocation();
        if (location.empty())
            throw;
        answer = http.Get(location);
    }
    return CleanServiceText(DecodeServiceAnswer(answer));
}

std::string DecodeServiceAnswer(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0)
            return {};
        i += length;
    }
    return std::string(bytes);
}

std::string CleanServiceText(std::string_view answer) {
    constexpr std::string_view kEscapedBreak = "\\r\\n";
    const std::string text = ReplaceAll(answer, "\r\n", "");
    // Paragraph breaks are cut out as separators rather than marked with a placeholder
    // word, so that no word of the translation itself can be taken for one.
    std::vector<std::string> paragraphs;
    for (const std::string& part : Split(text, "\\r\\n?\\r\\n"))
        for (std::string& piece : Split(part, "\\r\\n \\r\\n"))
            paragraphs.push_back(ReplaceAll(piece, kEscapedBreak, " "));
    std::string joined;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            joined += "\r\n\r\n";
        joined += paragraphs[i];
    }
    return WithoutFirstAndLast(ReplaceAll(joined, "\\\"", "\""));
}

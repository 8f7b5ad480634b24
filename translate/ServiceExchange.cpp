#include "translate/ServiceExchange.h"

#include "net/HttpUrl.h"
#include "protocol/ServiceProtocol.h"
#include "protocol/Utf8.h"

#include <stdexcept>
#include <vector>

namespace tervane {

namespace {

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

// Drops the first and the last character (not byte) of a UTF-8 text.
std::string WithoutFirstAndLast(std::string_view text) {
    if (text.empty())
        return {};
    const std::size_t first = tervane::protocol::NextCharacter(text, 0);
    const std::size_t last = tervane::protocol::PreviousCharacter(text, text.size());
    return first < last ? std::string(text.substr(first, last - first)) : std::string();
}

// What a user can do when the program's own service does not answer: the system's text
// alone ("A connection with the server could not be established") names no culprit.
// Each system's program says how the service starts there.
std::string ServiceNotRunning(const std::optional<InstalledServer>& installed) {
    std::string text = "Tervane's translation service is not running, so nothing can be "
                       "translated.\r\n\r\n";
    if (installed)
        text += "It is set up to ask " + DescribeServer(*installed) + ".\r\n\r\n";
#ifdef _WIN32
    text += "It starts each time you log on (Tervane's installer sets that up): log off and on "
            "again, or run the installer again, which starts it at the end.\r\n\r\n";
#else
    text += "Tervane starts it when Tervane starts: choose Exit and start Tervane again.\r\n\r\n";
#endif
    return text;
}

// The service runs but cannot reach the server it asks: which one, and what to do.
std::string ServerUnreachable(const std::optional<InstalledServer>& installed) {
    std::string text = "Tervane's translation service cannot reach its translation server";
    if (installed)
        text += ", " + DescribeServer(*installed);
    text += ".\r\n\r\nCheck that this computer is online and that the server answers";
#ifdef _WIN32
    text += ", or choose another server by running Tervane's installer again";
#endif
    return text + ".\r\n\r\n";
}

bool IsBuiltInLocalService(std::string_view address) {
    return address == ServiceAddress() && IsLoopbackHost(ParseHttpUrl(address).host);
}

// Posts the form to the service at `address` (its translation address), or to its word
// address for one `word`; the answer's bytes. A service that does not know the word
// address (404, 405) gives nullopt rather than an error.
std::optional<std::string> Ask(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode,
                               const std::optional<InstalledServer>& installed, bool word) {
    const std::string body =
        tervane::protocol::BuildRequestBody(text, tervane::protocol::ToLowerAscii(sourceCode),
                                            tervane::protocol::ToLowerAscii(targetCode));
    http.Request().contentType = tervane::protocol::kRequestContentType;
    try {
        try {
            return http.Post(word ? WordsAddress(address) : std::string(address), body);
        } catch (const HttpConnectionError& e) {
            if (!IsBuiltInLocalService(address))
                throw;
            throw HttpConnectionError(ServiceNotRunning(installed) + std::string(e.what()));
        } catch (const std::exception&) {
            // The one retry: the address a redirect (or an error) response pointed to.
            // Without one the POST's own error is the one worth showing.
            const std::string location = http.ResponseLocation();
            if (location.empty())
                throw;
            return http.Get(location);
        }
    } catch (const HttpStatusError& e) {
        constexpr int kNotFound = 404, kMethodNotAllowed = 405;
        if (word && (e.Status() == kNotFound || e.Status() == kMethodNotAllowed))
            return std::nullopt;
        // 502 and 504: the service runs but cannot reach the server it asks.
        const bool unreachable =
            (e.Status() == 502 || e.Status() == 504) && IsBuiltInLocalService(address);
        throw std::runtime_error((unreachable ? ServerUnreachable(installed) : std::string()) +
                                 ServiceStatusText(e.Status(), e.Reason()));
    }
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
                               std::string_view targetCode,
                               const std::optional<InstalledServer>& installed) {
    return RequestTranslation(http, ServiceAddress(), text, sourceCode, targetCode, installed);
}

std::string RequestTranslation(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode,
                               const std::optional<InstalledServer>& installed) {
    return CleanServiceText(
        DecodeServiceAnswer(*Ask(http, address, text, sourceCode, targetCode, installed, false)));
}

ServiceTranslation RequestWord(HttpClient& http, std::string_view address, std::string_view text,
                               std::string_view sourceCode, std::string_view targetCode,
                               const std::optional<InstalledServer>& installed) {
    text = tervane::protocol::WithoutBlanksAround(text);
    const std::optional<std::string> answer =
        Ask(http, address, text, sourceCode, targetCode, installed, true);
    if (!answer)
        return {RequestTranslation(http, address, text, sourceCode, targetCode, installed), {}};
    // The first line is the translation exactly as /translate answers it, cleaned the same
    // way; the entries follow, each on its own line.
    const std::string body = DecodeServiceAnswer(*answer);
    const std::string_view firstLine = std::string_view(body).substr(0, body.find('\n'));
    ServiceTranslation word{CleanServiceText(firstLine), {}};
    if (std::optional<protocol::WordsAnswer> decoded = protocol::DecodeWordsAnswer(body))
        word.entries = std::move(decoded->entries);
    return word;
}

std::string WordsAddress(std::string_view translationAddress) {
    return ResolveHttpUrl(translationAddress, protocol::kWordsPath.substr(1));
}

std::string ServiceStatusText(int status, std::string_view reason) {
    const std::string code = "error " + std::to_string(status);
    const std::string why = reason.empty() ? code : std::string(reason) + " (" + code + ")";
    // 422: the service understood the request and says why it cannot translate it (no
    // route between the two languages); its own words are the whole message.
    if (status == 422)
        return "The translation service cannot translate this: " +
               (reason.empty() ? std::string("no route between these two languages")
                               : std::string(reason));
    if (status >= 500)
        return "The translation service failed: " + why + ". Try again later";
    return "The translation service refused the request: " + why;
}

std::string DecodeServiceAnswer(std::string_view bytes) {
    if (!tervane::protocol::IsValidUtf8(bytes))
        return {};
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
    // Last, once no escape can be read any more: a backslash the service marked as typed.
    return ReplaceAll(WithoutFirstAndLast(ReplaceAll(joined, "\\\"", "\"")),
                      std::string{'\\', tervane::protocol::kBackslashMark}, "\\");
}

} // namespace tervane

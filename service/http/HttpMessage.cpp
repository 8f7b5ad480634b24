#include "service/http/HttpMessage.h"

#include "service/core/LogText.h"

#include <algorithm>
#include <charconv>

namespace tervane::service {
namespace {

// A field value holds visible characters, spaces and tabs (and bytes of UTF-8); a NUL or
// another control character would reach the handler's checks and the log as it is.
bool IsFieldValue(std::string_view value) {
    return std::none_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7f;
    });
}

bool IsTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

} // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::string_view> HttpRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (EqualsIgnoreCase(key, name))
            return std::string_view(value);
    }
    return std::nullopt;
}

std::string_view HttpRequest::Path() const {
    const std::string_view whole(target);
    return whole.substr(0, whole.find('?'));
}

Result<std::optional<RequestHead>> ParseRequestHead(std::string_view buffer,
                                                    const HeadLimits& limits) {
    const std::size_t end = buffer.find("\r\n\r\n");
    const std::string_view head = buffer.substr(0, end == std::string_view::npos ? end : end + 2);
    for (std::size_t lf = head.find('\n'); lf != std::string_view::npos;
         lf = head.find('\n', lf + 1)) {
        if (lf == 0 || head[lf - 1] != '\r')
            return Error{400, "Malformed request: lines must end in CR LF"};
    }
    if (end == std::string_view::npos) {
        if (buffer.size() > limits.maxHeadBytes) {
            return Error{431, "Request header fields too large"};
        }
        return std::nullopt;
    }
    if (end + 4 > limits.maxHeadBytes)
        return Error{431, "Request header fields too large"};

    HttpRequest request;
    std::string_view fields = buffer.substr(0, end);
    std::size_t lineEnd = fields.find("\r\n");
    const std::string_view requestLine = fields.substr(0, lineEnd);
    fields = lineEnd == std::string_view::npos ? std::string_view{} : fields.substr(lineEnd + 2);

    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) {
        return Error{400, "Malformed request line"};
    }
    request.method = std::string(requestLine.substr(0, firstSpace));
    request.target = std::string(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1));
    const std::string_view version = requestLine.substr(lastSpace + 1);
    if (request.method.empty() ||
        !std::all_of(request.method.begin(), request.method.end(), IsTokenChar)) {
        return Error{400, "Malformed request method"};
    }
    if (request.target.empty() || request.target.front() != '/' ||
        request.target.find_first_of(" \t") != std::string::npos) {
        return Error{400, "Malformed request target"};
    }
    if (version == "HTTP/1.0") {
        request.keepAlive = false;
    } else if (version != "HTTP/1.1") {
        return Error{505, "Only HTTP/1.0 and HTTP/1.1 are spoken here"};
    }

    bool haveLength = false;
    bool haveHost = false;
    while (!fields.empty()) {
        lineEnd = fields.find("\r\n");
        const std::string_view line = fields.substr(0, lineEnd);
        fields =
            lineEnd == std::string_view::npos ? std::string_view{} : fields.substr(lineEnd + 2);
        if (request.headers.size() >= limits.maxHeaders) {
            return Error{431, "Too many request header fields"};
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0)
            return Error{400, "Malformed header field"};
        const std::string_view name = line.substr(0, colon);
        if (!std::all_of(name.begin(), name.end(), IsTokenChar)) {
            return Error{400, "Malformed header field name"};
        }
        const std::string_view value = Trim(line.substr(colon + 1));
        if (!IsFieldValue(value))
            return Error{400, "Malformed header field value: a control character in " +
                                  std::string(name.substr(0, 64))};
        if (EqualsIgnoreCase(name, "Host")) {
            // Two Host headers could name two machines: which one the loopback check saw
            // would be a guess.
            if (haveHost)
                return Error{400, "Malformed request: more than one Host header"};
            haveHost = true;
        } else if (EqualsIgnoreCase(name, "Content-Length")) {
            std::size_t length = 0;
            const auto [ptr, ec] =
                std::from_chars(value.data(), value.data() + value.size(), length);
            if (ec != std::errc() || ptr != value.data() + value.size() || value.empty() ||
                (haveLength && length != request.contentLength)) {
                return Error{400, "Malformed Content-Length"};
            }
            haveLength = true;
            request.contentLength = length;
        } else if (EqualsIgnoreCase(name, "Transfer-Encoding")) {
            return Error{501, "Transfer-Encoding is not supported: send a Content-Length"};
        } else if (EqualsIgnoreCase(name, "Connection")) {
            if (EqualsIgnoreCase(value, "close"))
                request.keepAlive = false;
            if (EqualsIgnoreCase(value, "keep-alive"))
                request.keepAlive = true;
        } else if (EqualsIgnoreCase(name, "Expect")) {
            if (!EqualsIgnoreCase(value, "100-continue"))
                return Error{417, "Unsupported expectation"};
            request.expectContinue = true;
        }
        request.headers.emplace_back(std::string(name), std::string(value));
    }
    if (version == "HTTP/1.1" && !haveHost)
        return Error{400, "Malformed request: HTTP/1.1 requires a Host header"};
    if (request.method == "POST" && !haveLength)
        return Error{411, "Send a Content-Length with the request body"};
    return RequestHead{std::move(request), end + 4};
}

bool IsLoopbackAddress(std::string_view address) {
    if (address == "::1")
        return true;
    if (address.rfind("::ffff:", 0) == 0 || address.rfind("::FFFF:", 0) == 0)
        address.remove_prefix(7);
    return address.rfind("127.", 0) == 0;
}

bool IsLoopbackHost(std::string_view host) {
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos || (close + 1 < host.size() && host[close + 1] != ':'))
            return false;
        host = host.substr(1, close - 1);
        return host == "::1" || host == "0:0:0:0:0:0:0:1";
    }
    if (host == "::1")
        return true;
    if (const std::size_t colon = host.find(':'); colon != std::string_view::npos) {
        const std::string_view port = host.substr(colon + 1);
        if (port.empty() ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return false;
        }
        host = host.substr(0, colon);
    }
    if (host.ends_with('.'))
        host.remove_suffix(1);
    if (EqualsIgnoreCase(host, "localhost"))
        return true;
    // 127.a.b.c, four decimal parts of at most 255.
    int parts = 0;
    std::size_t at = 0;
    while (at <= host.size() && parts < 5) {
        const std::size_t dot = std::min(host.find('.', at), host.size());
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(host.data() + at, host.data() + dot, value);
        if (ec != std::errc() || end != host.data() + dot || dot == at || value > 255 ||
            (parts == 0 && value != 127)) {
            return false;
        }
        ++parts;
        at = dot + 1;
    }
    return parts == 4;
}

std::string_view StandardReason(int status) {
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 415:
        return "Unsupported Media Type";
    case 417:
        return "Expectation Failed";
    case 422:
        return "Unprocessable Content";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

std::string SanitizeReason(std::string_view reason) {
    std::string clean;
    for (char c : reason.substr(0, 200)) {
        const auto u = static_cast<unsigned char>(c);
        clean += (u >= 0x20 && u < 0x7F) ? c : '?';
    }
    return clean;
}

HttpResponse ErrorResponse(const Error& error) {
    HttpResponse response;
    response.status = error.status;
    response.reason = RedactUrlUserInfo(error.reason); // an engine's URL keeps its password
    response.body = error.reason + "\n";
    return response;
}

HttpResponse BusyResponse(const std::string& reason) {
    HttpResponse response = ErrorResponse(Error{503, reason});
    response.headers.emplace_back("Retry-After", "1");
    response.close = true;
    return response;
}

std::string SerializeResponse(const HttpResponse& response, bool keepAlive, bool withBody) {
    const std::string reason = response.reason.empty()
                                   ? std::string(StandardReason(response.status))
                                   : SanitizeReason(response.reason);
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + reason + "\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    for (const auto& [name, value] : response.headers)
        out += name + ": " + value + "\r\n";
    out += keepAlive && !response.close ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n";
    if (withBody)
        out += response.body;
    return out;
}

} // namespace tervane::service

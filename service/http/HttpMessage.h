// Reading an HTTP/1.1 request head and writing a response. Kept apart from the sockets so
// that the parser can be tested and fuzzed on plain bytes.
#pragma once

#include "service/core/Result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::service {

struct HttpRequest {
    std::string method;
    std::string target; // path and query as sent
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::size_t contentLength = 0;
    bool keepAlive = true;
    bool expectContinue = false;
    // The client's address as text ("192.0.2.7", "::1"), set by the server on accepting it.
    std::string peer;

    // First header of that name (case-insensitive), or nullopt.
    std::optional<std::string_view> Header(std::string_view name) const;
    // The path without its query.
    std::string_view Path() const;
};

struct HttpResponse {
    int status = 200;
    std::string reason; // one line; the standard phrase when empty
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // more, such as Retry-After
    bool close = false; // the connection ends after this answer
};

// The plain-text answer that tells the client what went wrong, in the reason phrase and as
// the body.
HttpResponse ErrorResponse(const Error& error);

// The answer of an overloaded service: 503, try again in a second on a new connection. The
// connection is closed so that a refused client's next try waits its turn at the door
// instead of taking a connection's thread and CPU from the admitted work.
HttpResponse BusyResponse(const std::string& reason);

struct HeadLimits {
    std::size_t maxHeadBytes = 16 * 1024;
    std::size_t maxHeaders = 64;
};

struct RequestHead {
    HttpRequest request; // without its body
    std::size_t length;  // bytes of the head, including the blank line
};

// Parses the request line and headers at the start of buffer: nullopt while the head is
// not all there yet. Refuses, with the status to answer, what is malformed or too large
// and what the service does not speak: chunked bodies, versions other than HTTP/1.0 and
// HTTP/1.1, and line ends other than CR LF (at once, rather than wait for a blank line that
// will never come).
Result<std::optional<RequestHead>> ParseRequestHead(std::string_view buffer,
                                                    const HeadLimits& limits);

// Whether a Host header names this machine by a loopback name or address: localhost,
// 127.x.x.x or ::1, with or without a port. A web page reaching the service through a
// name of its own (DNS rebinding) sends that name.
bool IsLoopbackHost(std::string_view host);

// Whether a client's address (as HttpRequest::peer holds it) is this machine's loopback:
// 127.x.x.x, ::1, or 127.x.x.x mapped into IPv6 (a dual-stack listener's view of it).
bool IsLoopbackAddress(std::string_view address);

// Header names compare without case (ASCII); values lose the blanks around them.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string_view Trim(std::string_view text);

// The standard reason phrase of a status.
std::string_view StandardReason(int status);

// A reason phrase safe for the status line: printable ASCII only, at most 200 bytes.
std::string SanitizeReason(std::string_view reason);

// Status line, headers and body, ready to send; the answer to a HEAD request has the headers
// of the body it leaves out.
std::string SerializeResponse(const HttpResponse& response, bool keepAlive, bool withBody = true);

} // namespace tervane::service

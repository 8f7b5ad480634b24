#pragma once
// The seam under the HTTP client: one request out, one response back. Implemented once per
// platform, over WinHTTP (WinHttpTransport_win.h) and over cpp-httplib (HttplibTransport.h),
// and, in native tests, by a recording double.
#include "net/HttpUrl.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tervane {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method; // "GET" or "POST"
    std::string url;    // as given, for messages
    HttpUrl target;
    // Every header but Host, Content-Length and Cookie, which the transport writes.
    HttpHeaders headers;
    std::string body; // sent as it stands, its byte length as Content-Length (POST only)
    // "host:port" of the proxy to go through; empty for a direct connection.
    std::string proxy;
    // The end of the whole exchange, from connecting to the last byte of the answer: a
    // server that trickles its answer ends here however quick each read. By default only
    // the transport's time-outs bound it.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    // The largest answer body taken; a larger one ends the exchange unread. 0: any.
    std::size_t maxBodyBytes = 0;
};

struct HttpResponse {
    std::string version; // "HTTP/1.1"
    int status = 0;
    std::string reason;   // the server's own reason phrase
    std::string location; // the Location header, empty when there is none
    std::string body;
};

// No connection could be made to the server: nothing listens at its address and port.
class HttpConnectionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// No whole answer within a time-out or by the request's deadline.
class HttpTimeoutError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The answer's body is larger than the request's maxBodyBytes.
class HttpTooLargeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// How long each step of an exchange may take, and whether connections are kept.
struct HttpTimeouts {
    int resolveMs;
    int connectMs;
    int sendMs;
    int receiveMs; // for the response head and for each read of the body
    // A connection kept open after an exchange and reused for the next one to the same host
    // and port (through the same proxy), which saves a connection and a TLS handshake.
    bool keepAlive = true;
};

// A refused connection fails at once whatever these say. A server that accepts and never
// answers fails after the receive time-out: 15 s, longer than the local service's own 10 s
// limit, so that its own "504 ..." arrives first, and short enough to end within 20 s.
// Resolving and connecting get 5 s: a name or a host that is not answering then.
inline constexpr HttpTimeouts kDefaultHttpTimeouts{5000, 5000, 5000, 15000};

class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    // Sends the request and gives whatever response comes back, of any status; redirects
    // are not followed. Keeps the cookies that responses set and sends them back on later
    // requests to the same server. When no response arrives it throws std::runtime_error
    // with the reason: HttpConnectionError when the connection itself could not be made,
    // HttpTimeoutError at a time-out or the deadline, HttpTooLargeError beyond the bound.
    // Safe to call from several threads at once.
    virtual HttpResponse Send(const HttpRequest& request) = 0;
};

// This platform's transport: WinHTTP on Windows, cpp-httplib elsewhere.
std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts = kDefaultHttpTimeouts);

} // namespace tervane

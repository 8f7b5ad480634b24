#pragma once
// The seam under the HTTP client: one request out, one response back. Implemented over
// WinHTTP (WinHttpTransport_win.h) and, in native tests, by a recording double.
#include "net/HttpUrl.h"

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

class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    // Sends the request and gives whatever response comes back, of any status. Keeps the
    // cookies that responses set and sends them back on later requests. When no response
    // arrives (no connection, a time-out) it throws std::runtime_error with the system's
    // reason, HttpConnectionError when the connection itself could not be made.
    virtual HttpResponse Send(const HttpRequest& request) = 0;
};

} // namespace tervane

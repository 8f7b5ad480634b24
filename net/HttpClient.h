#pragma once
// The program's one HTTP client: its fixed configuration, the proxy that the system
// settings give it, and requests that fail loudly. It works over an HttpTransport.
#include "net/HttpTransport.h"
#include "protocol/ServiceProtocol.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tervane {

struct HttpRequestSettings {
    std::string accept{protocol::kProgramAccept};
    std::string userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)";
    std::string contentType = "text/html"; // the exchange sets its own before each post
};

struct ProxyParams {
    std::string proxyServer; // empty: no proxy
    std::int32_t proxyPort = 0;
    bool basicAuthentication = false;
    std::string proxyUsername;
    std::string proxyPassword;

    // Forgets the proxy; basicAuthentication stays as it was.
    void Clear();
};

// A response of a status that is not a success; its text is the status line ("HTTP/1.1 404
// Not Found"), its parts are kept for a caller that words them for a person.
class HttpStatusError : public std::runtime_error {
  public:
    HttpStatusError(int status, std::string reason, const std::string& statusLine)
        : std::runtime_error(statusLine), status_(status), reason_(std::move(reason)) {}
    int Status() const { return status_; }
    const std::string& Reason() const { return reason_; }

  private:
    int status_;
    std::string reason_;
};

class HttpClient {
  public:
    explicit HttpClient(std::unique_ptr<HttpTransport> transport);

    HttpRequestSettings& Request() { return request_; }
    ProxyParams& Proxy() { return proxy_; }
    const ProxyParams& Proxy() const { return proxy_; }

    // Both give the response body of a success (2xx) and throw std::runtime_error for
    // anything else: HttpStatusError for a response of another status, redirects included (they are
    // not followed), the transport's reason when no response came. Post sends `body` with the
    // request's content type.
    std::string Post(std::string_view url, std::string_view body);
    std::string Get(std::string_view url);

    // The Location header of the response to the last request, kept after a failure so
    // that a redirect can be fetched by hand; empty when that request got no response.
    const std::string& ResponseLocation() const { return location_; }

  private:
    std::string Send(std::string method, std::string_view url, std::string_view body);

    std::unique_ptr<HttpTransport> transport_;
    HttpRequestSettings request_;
    ProxyParams proxy_;
    std::string location_;
};

} // namespace tervane

#pragma once
// The HTTP client's seam (net/HttpTransport.h) over cpp-httplib, for every client off
// Windows (the Linux program, the service's remote engines), as WinHttpTransport_win is on
// Windows: redirects never followed, cookies kept in memory per server, http:// and
// https:// (the server's certificate checked against the system's trusted roots), a proxy,
// kept-alive connections reused per host, each exchange ended at its deadline and its
// answer's body bounded.
#include "net/HttpTransport.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tervane {

class HttplibTransport final : public HttpTransport {
  public:
    explicit HttplibTransport(HttpTimeouts timeouts = kDefaultHttpTimeouts);
    ~HttplibTransport() override;
    HttplibTransport(const HttplibTransport&) = delete;
    HttplibTransport& operator=(const HttplibTransport&) = delete;

    HttpResponse Send(const HttpRequest& request) override;

  private:
    struct Connection;
    std::unique_ptr<Connection> Idle(const std::string& key);
    std::unique_ptr<Connection> Open(const HttpRequest& request);
    HttpResponse Exchange(const std::string& key, std::unique_ptr<Connection> connection,
                          const HttpRequest& request);
    void Keep(const std::string& key, std::unique_ptr<Connection> connection);
    void KeepCookies(const std::string& origin, const std::string& setCookie);
    std::string CookieHeader(const std::string& origin);

    HttpTimeouts timeouts_;
    std::mutex mutex_;
    // Idle kept-alive connections by origin and proxy. A cpp-httplib client runs one
    // exchange at a time, so exchanges at once to one host each take their own.
    std::map<std::string, std::vector<std::unique_ptr<Connection>>> idle_;
    std::map<std::string, std::map<std::string, std::string>> cookies_; // by origin
};

} // namespace tervane

#pragma once
// The HTTP transport over WinHTTP, synchronous, with time-outs that end a request to a dead
// or hung server with an error instead of blocking the program for ever.
#include "net/HttpTransport.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace tervane {

class WinHttpTransport final : public HttpTransport {
  public:
    explicit WinHttpTransport(HttpTimeouts timeouts = kDefaultHttpTimeouts);
    ~WinHttpTransport() override;
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    HttpResponse Send(const HttpRequest& request) override;

  private:
    struct Session;
    Session& SessionFor(const std::string& proxy);

    HttpTimeouts timeouts_;
    // One WinHTTP session per proxy ("" for direct), opened on first use and kept: WinHTTP
    // (under Wine) honours only the proxy given when a session is opened. Each session has
    // its own in-memory cookie store and its own pool of kept-alive connections per host.
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Session>> sessions_;
};

} // namespace tervane

#pragma once
// The HTTP transport over WinHTTP, synchronous, with time-outs that end a request to a dead
// or hung server with an error instead of blocking the program for ever.
#include "net/HttpTransport.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace tervane {

struct HttpTimeouts {
    int resolveMs;
    int connectMs;
    int sendMs;
    int receiveMs; // for the response head and for each read of the body
    // The whole exchange, from connecting to the last byte of the answer: a server that
    // trickles its answer ends here, however short each read. 0: only the limits above.
    int totalMs = 0;
    // The largest answer body taken; a larger one ends the exchange with an error. 0: any.
    std::size_t maxBodyBytes = 0;
};

// A refused connection fails at once whatever these say. A server that accepts and never
// answers fails after the receive time-out: 15 s, longer than the local service's own 10 s
// limit, so that its own "504 ..." arrives first, and short enough to end within 20 s.
// Resolving and connecting get 5 s: a name or a host that is not answering then.
inline constexpr HttpTimeouts kDefaultHttpTimeouts{5000, 5000, 5000, 15000};

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
    // its own in-memory cookie store.
    std::map<std::string, std::unique_ptr<Session>> sessions_;
};

} // namespace tervane

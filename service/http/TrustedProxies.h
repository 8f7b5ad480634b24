// The proxies whose forwarding headers the service believes (--trusted-proxy ADDR[/BITS]).
// Behind a reverse proxy every request comes from the proxy's address; the proxy names the
// client it serves by appending the address it took the request from to X-Forwarded-For
// (or to Forwarded's for=). The client is therefore the right-most address of that list that
// is not itself a trusted proxy; what lies left of it was written by the client and proves
// nothing. A peer that is not trusted is the client itself: anyone can write those headers.
#pragma once

#include "service/http/HttpMessage.h"
#include "service/http/IpAddress.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

class TrustedProxies {
  public:
    // Adds "127.0.0.1", "10.0.0.0/8", "::1" or "fd00::/8"; the reason when it is none.
    std::optional<std::string> Add(std::string_view network);
    bool Empty() const { return networks_.empty(); }
    bool Trusts(std::string_view address) const;
    // The client of a request whose connection came from request.peer.
    std::string ClientOf(const HttpRequest& request) const;

  private:
    struct Network {
        IpGroups address;
        int bits = 128;
    };
    std::vector<Network> networks_;
};

} // namespace tervane::service

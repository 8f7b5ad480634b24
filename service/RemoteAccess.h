// Who may use a shared service (--allow-remote with --api-keys, --rate-limit): programs on
// this machine freely, every other client with a key of the operator's file and within its
// share of requests a minute.
#pragma once

#include "service/http/ApiKeys.h"
#include "service/http/HttpMessage.h"
#include "service/http/RateLimiter.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tervane::service {

class RemoteAccess {
  public:
    // keys: null when the service takes requests from anywhere without one; perMinute: 0
    // for no limit.
    RemoteAccess(std::unique_ptr<ApiKeys> keys, std::size_t perMinute);

    // The refusal (403 without a valid key, 429 with Retry-After beyond the limit), in the
    // shape its client reads, or nullopt when the request may go on. A request from this
    // machine's loopback is a local program's, unless it carries an Origin: a web page's is
    // treated as another machine's. The key is looked for where the clients of the service's
    // faces send it: an "Authorization: Bearer KEY" header, an api_key parameter of the query
    // or of a form body, an "api_key" member of a JSON body (LibreTranslate's clients). The
    // lists of what the service offers (GET /languages, /health) need none.
    std::optional<HttpResponse> Check(const HttpRequest& request);

  private:
    std::unique_ptr<ApiKeys> keys_;
    std::size_t perMinute_;
    std::optional<RateLimiter> limiter_;
};

} // namespace tervane::service

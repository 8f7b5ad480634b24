// Who may use a shared service (--allow-remote with --api-keys, --rate-limit): programs on
// this machine freely, every other client with a key of the operator's file and within its
// share of requests a minute.
#pragma once

#include "service/http/ApiKeys.h"
#include "service/http/HttpMessage.h"
#include "service/http/RateStorage.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tervane::service {

class RemoteAccess {
  public:
    // keys: null when the service takes requests from anywhere without one; perMinute: 0
    // for no limit; rates: where the counters live (null: this instance's memory).
    RemoteAccess(std::unique_ptr<ApiKeys> keys, std::size_t perMinute,
                 std::unique_ptr<RateStorage> rates = nullptr);

    // The refusal (403 without a valid key, 429 with Retry-After beyond the limit), in the
    // shape its client reads, or nullopt when the request may go on. A request from this
    // machine's loopback is a local program's, unless it carries an Origin: a web page's is
    // treated as another machine's. The key is looked for where the clients of the service's
    // faces send it: an "Authorization: Bearer KEY" header, an api_key parameter of the query
    // or of a form body, an "api_key" member of a JSON body (LibreTranslate's clients). The
    // lists of what the service offers (GET /languages, /health) need none.
    std::optional<HttpResponse> Check(const HttpRequest& request);

    // Where the rate counters are, for /health; nullopt without --rate-limit.
    std::optional<RateStorageState> RateState();

  private:
    std::unique_ptr<ApiKeys> keys_;
    std::size_t perMinute_;
    std::unique_ptr<RateStorage> limiter_;
};

} // namespace tervane::service

// A remote engine's pair list, fetched when first needed and again after a while, so that
// pairs added on the server appear without a restart.
//
// One fetch at a time: a request that needs the list while it is being fetched waits for
// that fetch, never past its own deadline, instead of queueing a fetch of its own behind it.
// A failed fetch is remembered for a short time from its end, so that a server that hangs
// costs one fetch's time per few seconds, not every request's. Last() never waits: /health
// reports the last known state and leaves a refresh to run in the background.
#pragma once

#include "service/engines/Engine.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tervane::service {

struct PairCacheTimes {
    std::chrono::milliseconds fetch{5000};  // at most, also when the request has longer
    std::chrono::milliseconds fresh{60000}; // a list is kept this long after its fetch
    std::chrono::milliseconds failed{2000}; // a failure is kept this long after its fetch
};

class PairCache {
  public:
    // fetch must not refer to its owner: a refresh Last() started may end after it.
    using Fetch = std::function<Result<PairListing>(Clock::time_point deadline)>;

    PairCache(std::string label, Fetch fetch, PairCacheTimes times = {});

    // The list, fetched or waited for until the deadline at most (504 when it did not come).
    Result<PairListing> Get(Clock::time_point deadline);

    // The last list or failure, nullopt before the first fetch ended; never waits. When
    // that is old, a fetch starts in the background for the next look.
    std::optional<Result<PairListing>> Last();

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace tervane::service

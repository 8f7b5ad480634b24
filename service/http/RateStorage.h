// Where a shared service's rate counters live. The default is this instance's memory
// (RateLimiter); several instances behind one balancer share them in a Redis
// (--rate-limit-storage, SharedRateStorage.h), so that one client's limit holds across all.
#pragma once

#include <string>
#include <vector>

namespace tervane::service {

// What /health tells about the counters in use.
struct RateStorageState {
    std::string storage; // "memory", or the Redis's address
    bool shared = false; // counted with every instance naming the same storage
    std::string reason;  // why they are not shared now (the Redis cannot be reached), or empty
};

class RateStorage {
  public:
    virtual ~RateStorage() = default;
    // Takes one request from every named client's allowance, or none when any of them has
    // none left: then the seconds until each of them has one again (at least 1), for
    // Retry-After. Zero: the request may go ahead. Never waits long.
    virtual long Take(const std::vector<std::string>& clients) = 0;
    virtual RateStorageState State() = 0;
};

} // namespace tervane::service

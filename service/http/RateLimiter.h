// Requests per minute for each client of a shared service (--rate-limit N/min), counted per
// key and per address, so that neither one key used from many machines nor one machine
// trying many keys takes more than its share.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tervane::service {

class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(std::size_t perMinute);

    // Takes one request from every named client's allowance, or none when any of them has
    // none left: then the seconds until each of them has one again (at least 1), for
    // Retry-After. Zero: the request may go ahead.
    long Take(const std::vector<std::string>& clients, Clock::time_point now = Clock::now());

  private:
    // A bucket of up to perMinute requests that fills at perMinute a minute: a client may
    // send its minute's requests at once, then one as each comes back.
    struct Bucket {
        double tokens;
        Clock::time_point filled;
    };
    Bucket& Refilled(const std::string& client, Clock::time_point now);
    void ForgetFullBuckets(Clock::time_point now);

    double capacity_;
    double perSecond_;
    std::mutex mutex_;
    std::map<std::string, Bucket> buckets_;
};

} // namespace tervane::service

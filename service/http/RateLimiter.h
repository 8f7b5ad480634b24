// Requests per minute for each client of a shared service (--rate-limit N/min), counted per
// key and per address, so that neither one key used from many machines nor one machine
// trying many keys takes more than its share. An IPv6 client is its /64: one machine has a
// whole /64 to pick addresses from.
#pragma once

#include "service/http/RateStorage.h"

#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tervane::service {

// The client an address counts as: "address 192.0.2.7" (an IPv4 address mapped into IPv6
// too), "address 2001:db8:0:1::/64" for every IPv6 address of that /64.
std::string RateClientOfAddress(std::string_view address);

// The counters in this instance's memory.
class RateLimiter : public RateStorage {
  public:
    using Clock = std::chrono::steady_clock;

    // At most maxClients buckets are kept: beyond that the least recently used goes.
    explicit RateLimiter(std::size_t perMinute, std::size_t maxClients = 65536);

    // RateStorage::Take at a given time.
    long Take(const std::vector<std::string>& clients, Clock::time_point now);
    long Take(const std::vector<std::string>& clients) override {
        return Take(clients, Clock::now());
    }
    RateStorageState State() override { return {"memory", false, ""}; }

    std::size_t Clients();

  private:
    // A bucket of up to perMinute requests that fills at perMinute a minute: a client may
    // send its minute's requests at once, then one as each comes back.
    struct Bucket {
        double tokens;
        Clock::time_point filled;
        std::list<std::string>::iterator used; // its place in used_
    };
    Bucket& Refilled(const std::string& client, Clock::time_point now);
    void Forget(Clock::time_point now);

    double capacity_;
    double perSecond_;
    std::size_t maxClients_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::list<std::string> used_; // most recently used first
};

} // namespace tervane::service

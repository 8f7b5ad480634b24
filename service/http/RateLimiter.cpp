#include "service/http/RateLimiter.h"

#include "service/http/IpAddress.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace tervane::service {
namespace {

// A client idle this long has its whole share again: its bucket is as good as a new one.
constexpr std::chrono::seconds kRefillTime{60};

} // namespace

std::string RateClientOfAddress(std::string_view address) {
    if (address.find(':') == std::string_view::npos)
        return "address " + std::string(address);
    const auto groups = ParseIpv6(address);
    if (!groups)
        return "address " + std::string(address);
    const bool mapped =
        std::all_of(groups->begin(), groups->begin() + 5, [](std::uint16_t g) { return g == 0; }) &&
        (*groups)[5] == 0xFFFF;
    if (mapped) {
        return "address " + std::to_string((*groups)[6] >> 8) + "." +
               std::to_string((*groups)[6] & 0xFF) + "." + std::to_string((*groups)[7] >> 8) + "." +
               std::to_string((*groups)[7] & 0xFF);
    }
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "address %x:%x:%x:%x::/64", (*groups)[0], (*groups)[1],
                  (*groups)[2], (*groups)[3]);
    return prefix;
}

RateLimiter::RateLimiter(std::size_t perMinute, std::size_t maxClients)
    : capacity_(static_cast<double>(perMinute)), perSecond_(static_cast<double>(perMinute) / 60),
      maxClients_(std::max<std::size_t>(1, maxClients)) {}

RateLimiter::Bucket& RateLimiter::Refilled(const std::string& client, Clock::time_point now) {
    auto [it, added] = buckets_.try_emplace(client, Bucket{capacity_, now, {}});
    Bucket& bucket = it->second;
    if (added) {
        used_.push_front(client);
    } else {
        used_.splice(used_.begin(), used_, bucket.used);
    }
    bucket.used = used_.begin();
    const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
    if (seconds > 0) {
        bucket.tokens = std::min(capacity_, bucket.tokens + seconds * perSecond_);
        bucket.filled = now;
    }
    return bucket;
}

// From the least recently used end only, so no request pays for a scan of every client:
// those idle for a full refill are forgotten (they would start full anyway), and beyond
// maxClients the least recently used go.
void RateLimiter::Forget(Clock::time_point now) {
    while (!used_.empty()) {
        const auto oldest = buckets_.find(used_.back());
        if (buckets_.size() <= maxClients_ && now - oldest->second.filled < kRefillTime)
            break;
        buckets_.erase(oldest);
        used_.pop_back();
    }
}

long RateLimiter::Take(const std::vector<std::string>& clients, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    double wait = 0;
    for (const std::string& client : clients) {
        const Bucket& bucket = Refilled(client, now);
        // Within a rounding error of a whole request, the request has come back.
        if (bucket.tokens < 1 - 1e-9)
            wait = std::max(wait, (1 - bucket.tokens) / perSecond_);
    }
    Forget(now);
    if (wait > 0)
        return std::max(1L, static_cast<long>(std::ceil(wait)));
    for (const std::string& client : clients) {
        if (const auto found = buckets_.find(client); found != buckets_.end())
            found->second.tokens -= 1;
    }
    return 0;
}

std::size_t RateLimiter::Clients() {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

} // namespace tervane::service

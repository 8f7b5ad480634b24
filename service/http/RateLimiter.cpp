#include "service/http/RateLimiter.h"

#include <algorithm>
#include <cmath>

namespace tervane::service {
namespace {

// Buckets kept before the full ones (clients idle for a minute) are forgotten: many
// addresses passing by cost no more memory than this.
constexpr std::size_t kBucketsBeforeSweep = 4096;

} // namespace

RateLimiter::RateLimiter(std::size_t perMinute)
    : capacity_(static_cast<double>(perMinute)), perSecond_(static_cast<double>(perMinute) / 60) {}

RateLimiter::Bucket& RateLimiter::Refilled(const std::string& client, Clock::time_point now) {
    auto [it, added] = buckets_.try_emplace(client, Bucket{capacity_, now});
    Bucket& bucket = it->second;
    const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
    if (seconds > 0) {
        bucket.tokens = std::min(capacity_, bucket.tokens + seconds * perSecond_);
        bucket.filled = now;
    }
    return bucket;
}

void RateLimiter::ForgetFullBuckets(Clock::time_point now) {
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        const double seconds = std::chrono::duration<double>(now - it->second.filled).count();
        if (it->second.tokens + seconds * perSecond_ >= capacity_)
            it = buckets_.erase(it);
        else
            ++it;
    }
}

long RateLimiter::Take(const std::vector<std::string>& clients, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (buckets_.size() > kBucketsBeforeSweep)
        ForgetFullBuckets(now);
    double wait = 0;
    for (const std::string& client : clients) {
        const Bucket& bucket = Refilled(client, now);
        // Within a rounding error of a whole request, the request has come back.
        if (bucket.tokens < 1 - 1e-9)
            wait = std::max(wait, (1 - bucket.tokens) / perSecond_);
    }
    if (wait > 0)
        return std::max(1L, static_cast<long>(std::ceil(wait)));
    for (const std::string& client : clients)
        buckets_[client].tokens -= 1;
    return 0;
}

} // namespace tervane::service

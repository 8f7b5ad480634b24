// A remote engine's pair list, fetched when first needed and again after a while, so that
// pairs added on the server appear without a restart; a failed fetch is retried soon.
#pragma once

#include "service/engines/Engine.h"

#include <functional>
#include <mutex>
#include <optional>

namespace tervane::service {

class PairCache {
  public:
    explicit PairCache(std::function<Result<PairListing>()> fetch) : fetch_(std::move(fetch)) {}

    Result<PairListing> Get() {
        std::lock_guard lock(mutex_);
        const auto now = Clock::now();
        if (!listing_ || now >= expires_) {
            listing_ = fetch_();
            expires_ = now + (listing_->Ok() ? std::chrono::seconds(60) : std::chrono::seconds(2));
        }
        return *listing_;
    }

  private:
    std::function<Result<PairListing>()> fetch_;
    std::mutex mutex_;
    std::optional<Result<PairListing>> listing_; // nullopt until first fetched
    Clock::time_point expires_;
};

} // namespace tervane::service

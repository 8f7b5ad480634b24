// A remote engine's pair list, fetched when first needed and again after a while, so that
// pairs added on the server appear without a restart; a failed fetch is retried soon.
#pragma once

#include "service/Engine.h"

#include <functional>
#include <mutex>

namespace tervane::service {

class PairCache {
public:
  explicit PairCache(std::function<PairListing()> fetch) : fetch_(std::move(fetch)) {}

  PairListing get() {
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    if (!fetched_ || now >= expires_) {
      listing_ = fetch_();
      fetched_ = true;
      expires_ = now + (listing_.error ? std::chrono::seconds(2) : std::chrono::seconds(60));
    }
    return listing_;
  }

private:
  std::function<PairListing()> fetch_;
  std::mutex mutex_;
  PairListing listing_;
  bool fetched_ = false;
  Clock::time_point expires_;
};

} // namespace tervane::service

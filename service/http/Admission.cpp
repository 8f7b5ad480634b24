#include "service/http/Admission.h"

namespace tervane::service {

bool Admission::Enter(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (active_ < maxActive_) {
        ++active_;
        return true;
    }
    if (waiting_ >= maxWaiting_)
        return false;
    ++waiting_;
    const bool got = freed_.wait_until(lock, deadline, [this] { return active_ < maxActive_; });
    --waiting_;
    if (got)
        ++active_;
    return got;
}

void Admission::Leave() {
    {
        std::lock_guard lock(mutex_);
        --active_;
    }
    freed_.notify_one();
}

} // namespace tervane::service

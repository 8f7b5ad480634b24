#include "service/Admission.h"

#include <algorithm>

namespace tervane::service {

bool Admission::Enter(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    const auto room = [this] { return active_ < maxActive_ || waiting_ < maxWaiting_; };
    const auto refuseAt = std::min(deadline, std::chrono::steady_clock::now() + kRefusalDelay);
    if (!room() && !queueMoved_.wait_until(lock, refuseAt, room))
        return false;
    if (active_ < maxActive_) {
        ++active_;
        return true;
    }
    ++waiting_;
    const bool got = freed_.wait_until(lock, deadline, [this] { return active_ < maxActive_; });
    --waiting_;
    queueMoved_.notify_one();
    if (got)
        ++active_;
    return got;
}

void Admission::Leave() {
    bool queued = false;
    {
        std::lock_guard lock(mutex_);
        --active_;
        queued = waiting_ > 0;
    }
    if (queued) {
        freed_.notify_one();
    } else {
        queueMoved_.notify_one(); // no queue (or an empty one): the place goes to one beyond it
    }
}

} // namespace tervane::service

#include "service/http/Admission.h"

namespace tervane::service {

Admission::Outcome Admission::Enter(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (std::chrono::steady_clock::now() >= deadline)
        return Outcome::TimedOut;
    if (active_ < maxActive_) {
        ++active_;
        return Outcome::Admitted;
    }
    if (waiting_ >= maxWaiting_)
        return Outcome::QueueFull;
    ++waiting_;
    const bool got = freed_.wait_until(lock, deadline, [this] { return active_ < maxActive_; });
    --waiting_;
    // A turn that comes just as the deadline passes is no turn: the work would start with
    // no time left, and its engine be blamed for it.
    if (!got || std::chrono::steady_clock::now() >= deadline) {
        if (got)
            freed_.notify_one();
        return Outcome::TimedOut;
    }
    ++active_;
    return Outcome::Admitted;
}

void Admission::Leave() {
    {
        std::lock_guard lock(mutex_);
        --active_;
    }
    freed_.notify_one();
}

std::size_t Admission::Active() {
    std::lock_guard lock(mutex_);
    return active_;
}

std::size_t Admission::Waiting() {
    std::lock_guard lock(mutex_);
    return waiting_;
}

} // namespace tervane::service

// Bounds the translations in progress: a few run, a few more wait their turn, the rest
// are told that the service is busy (503) instead of piling up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace tervane::service {

// How long a request beyond the queue waits for a place before it is refused. A refused
// client that tries again at once (load generators and impatient scripts do, whatever
// Retry-After says) then comes back at a pace that leaves the CPU to the admitted work.
inline constexpr std::chrono::milliseconds kRefusalDelay{250};

class Admission {
  public:
    Admission(std::size_t maxActive, std::size_t maxWaiting)
        : maxActive_(maxActive), maxWaiting_(maxWaiting) {}

    // True when admitted (call Leave() afterwards); false when the queue stayed full for
    // kRefusalDelay or the deadline passed while waiting.
    bool Enter(std::chrono::steady_clock::time_point deadline);
    void Leave();

  private:
    std::mutex mutex_;
    std::condition_variable freed_;      // a translation ended: the queue moves
    std::condition_variable queueMoved_; // a place in the queue came free
    std::size_t maxActive_;
    std::size_t maxWaiting_;
    std::size_t active_ = 0;
    std::size_t waiting_ = 0;
};

// Leaves on scope exit.
class AdmissionTicket {
  public:
    AdmissionTicket(Admission& admission, std::chrono::steady_clock::time_point deadline)
        : admission_(admission), admitted_(admission.Enter(deadline)) {}
    ~AdmissionTicket() {
        if (admitted_)
            admission_.Leave();
    }
    AdmissionTicket(const AdmissionTicket&) = delete;
    AdmissionTicket& operator=(const AdmissionTicket&) = delete;
    bool Admitted() const { return admitted_; }

  private:
    Admission& admission_;
    bool admitted_;
};

} // namespace tervane::service

// Bounds the translations in progress: a few run, a few more wait their turn, the rest
// are told at once that the service is busy (503) instead of piling up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace tervane::service {

class Admission {
  public:
    Admission(std::size_t maxActive, std::size_t maxWaiting)
        : maxActive_(maxActive), maxWaiting_(maxWaiting) {}

    enum class Outcome { Admitted, QueueFull, TimedOut };

    // Admitted: call Leave() afterwards. QueueFull: refused at once. TimedOut: the deadline
    // passed while waiting (or had passed): nothing of the work may start.
    Outcome Enter(std::chrono::steady_clock::time_point deadline);
    void Leave();

    // Now: the work running, and the requests waiting for a turn.
    std::size_t Active();
    std::size_t Waiting();

  private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::size_t maxActive_;
    std::size_t maxWaiting_;
    std::size_t active_ = 0;
    std::size_t waiting_ = 0;
};

// Leaves on scope exit.
class AdmissionTicket {
  public:
    AdmissionTicket(Admission& admission, std::chrono::steady_clock::time_point deadline)
        : admission_(admission), outcome_(admission.Enter(deadline)) {}
    ~AdmissionTicket() {
        if (Admitted())
            admission_.Leave();
    }
    AdmissionTicket(const AdmissionTicket&) = delete;
    AdmissionTicket& operator=(const AdmissionTicket&) = delete;
    bool Admitted() const { return outcome_ == Admission::Outcome::Admitted; }
    Admission::Outcome Outcome() const { return outcome_; }

  private:
    Admission& admission_;
    Admission::Outcome outcome_;
};

} // namespace tervane::service

#include "service/PipelinePool.h"

namespace tervane::service {

PipelinePool::PipelinePool(std::vector<Command> commands, std::size_t maxPipelines)
    : commands_(std::move(commands)), maxPipelines_(std::max<std::size_t>(1, maxPipelines)) {}

Result<std::unique_ptr<PipelinePool::Lease>>
PipelinePool::Acquire(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    while (true) {
        while (!idle_.empty()) {
            std::unique_ptr<Pipeline> pipeline = std::move(idle_.back());
            idle_.pop_back();
            if (pipeline->Alive())
                return std::make_unique<Lease>(*this, std::move(pipeline));
            --existing_; // died while idle (killed, crashed): replace it below
        }
        if (existing_ < maxPipelines_) {
            ++existing_;
            lock.unlock(); // starting takes a while; others may use the idle ones meanwhile
            Result<std::unique_ptr<Pipeline>> started = Pipeline::Start(commands_);
            if (started.Ok() && started.Value()->Alive())
                return std::make_unique<Lease>(*this, std::move(started).Value());
            lock.lock();
            --existing_;
            returned_.notify_one();
            const bool late = std::chrono::steady_clock::now() >= deadline;
            return Error{late ? 504 : 502, started.Ok()
                                               ? "its pipeline stopped as soon as it started"
                                               : started.Failure().reason};
        }
        if (returned_.wait_until(lock, deadline) == std::cv_status::timeout) {
            return Error{504, "all pipelines of the pair stayed busy until the time-out"};
        }
    }
}

void PipelinePool::GiveBack(std::unique_ptr<Pipeline> pipeline) {
    {
        std::lock_guard lock(mutex_);
        if (pipeline && pipeline->Alive()) {
            idle_.push_back(std::move(pipeline));
        } else {
            --existing_;
        }
    }
    returned_.notify_one();
    // A dead pipeline is destroyed here, outside the lock: its processes are reaped.
}

} // namespace tervane::service

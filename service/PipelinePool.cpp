#include "service/PipelinePool.h"

namespace tervane::service {

PipelinePool::PipelinePool(std::vector<Command> commands, std::size_t maxPipelines)
    : commands_(std::move(commands)), maxPipelines_(std::max<std::size_t>(1, maxPipelines)) {}

std::unique_ptr<PipelinePool::Lease>
PipelinePool::acquire(std::chrono::steady_clock::time_point deadline, std::string &error) {
  std::unique_lock lock(mutex_);
  while (true) {
    while (!idle_.empty()) {
      std::unique_ptr<Pipeline> pipeline = std::move(idle_.back());
      idle_.pop_back();
      if (pipeline->alive()) return std::make_unique<Lease>(*this, std::move(pipeline));
      --existing_; // died while idle (killed, crashed): replace it below
    }
    if (existing_ < maxPipelines_) {
      ++existing_;
      lock.unlock(); // starting takes a while; others may use the idle ones meanwhile
      auto pipeline = std::make_unique<Pipeline>(commands_);
      if (!pipeline->alive()) {
        error = pipeline->error();
        lock.lock();
        --existing_;
        returned_.notify_one();
        return nullptr;
      }
      return std::make_unique<Lease>(*this, std::move(pipeline));
    }
    if (returned_.wait_until(lock, deadline) == std::cv_status::timeout) {
      error = "all pipelines of the pair stayed busy until the time-out";
      return nullptr;
    }
  }
}

void PipelinePool::giveBack(std::unique_ptr<Pipeline> pipeline) {
  {
    std::lock_guard lock(mutex_);
    if (pipeline && pipeline->alive()) {
      idle_.push_back(std::move(pipeline));
    } else {
      --existing_;
    }
  }
  returned_.notify_one();
  // A dead pipeline is destroyed here, outside the lock: its processes are reaped.
}

std::vector<pid_t> PipelinePool::idlePids() {
  std::lock_guard lock(mutex_);
  std::vector<pid_t> pids;
  for (const auto &pipeline : idle_) {
    pids.insert(pids.end(), pipeline->pids().begin(), pipeline->pids().end());
  }
  return pids;
}

} // namespace tervane::service

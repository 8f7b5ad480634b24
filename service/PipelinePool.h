// A bounded set of warm pipelines for one pair. Pipelines start on first use and are kept;
// a broken one is dropped and a new one started in its place.
#pragma once

#include "service/Pipeline.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace tervane::service {

class PipelinePool {
  public:
    PipelinePool(std::vector<Command> commands, std::size_t maxPipelines);

    class Lease; // a pipeline lent to one request

    // A pipeline to use until the deadline. A fresh one is started when fewer than
    // maxPipelines exist. Fails with 504 when none came free in time, and with 502 when a
    // fresh one could not start.
    Result<std::unique_ptr<Lease>> Acquire(std::chrono::steady_clock::time_point deadline);

  private:
    void GiveBack(std::unique_ptr<Pipeline> pipeline);

    std::vector<Command> commands_;
    std::size_t maxPipelines_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<std::unique_ptr<Pipeline>> idle_;
    std::size_t existing_ = 0; // idle plus lent
};

class PipelinePool::Lease {
  public:
    Lease(PipelinePool& pool, std::unique_ptr<Pipeline> pipeline)
        : pool_(pool), pipeline_(std::move(pipeline)) {}
    ~Lease() { pool_.GiveBack(std::move(pipeline_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Pipeline& operator*() { return *pipeline_; }
    Pipeline* operator->() { return pipeline_.get(); }

  private:
    PipelinePool& pool_;
    std::unique_ptr<Pipeline> pipeline_;
};

} // namespace tervane::service

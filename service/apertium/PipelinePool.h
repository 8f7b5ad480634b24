// The warm pipelines of every pair, under one bound. A pair's first pipeline starts on its
// first request; a further one (up to perPair) only while the pair's requests wait for
// one. When maxPipelines are live and another is needed, the least recently used idle one
// is ended first. A pipeline ends after idleTimeout unused, after recycleAfter requests
// (some stages grow with every request), and as soon as one of its processes dies while
// idle, so that nothing is left behind as a zombie.
#pragma once

#include "service/apertium/Pipeline.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tervane::service {

struct PoolSettings {
    std::size_t maxPipelines = 24; // live at once, every pair together
    std::size_t perPair = 2;
    std::chrono::milliseconds idleTimeout{300 * 1000};
    unsigned long recycleAfter = 100000; // requests one pipeline serves before it is replaced
};

// A pair's pipelines now, by state, and the requests waiting for one (for /metrics).
struct PairPipelines {
    std::size_t idle = 0;
    std::size_t busy = 0; // lent to a request
    std::size_t starting = 0;
    std::size_t waiting = 0;
};

class PipelinePool {
  public:
    using Clock = std::chrono::steady_clock;
    using Starter = std::function<Result<std::unique_ptr<Pipeline>>(const std::string& pair)>;
    using Log = std::function<void(const std::string&)>;

    PipelinePool(PoolSettings settings, Starter start, Log log);
    ~PipelinePool(); // ends every pipeline; none may be lent any more
    PipelinePool(const PipelinePool&) = delete;
    PipelinePool& operator=(const PipelinePool&) = delete;

    class Lease; // a pipeline lent to one request

    // A pipeline of the pair to use until the deadline. Fails with 504 when none came free
    // in time, and with 502 when a fresh one could not start.
    Result<std::unique_ptr<Lease>> Acquire(const std::string& pair, Clock::time_point deadline);
    // Whether the pair has a pipeline, idle, lent or starting.
    bool Has(const std::string& pair);
    // Every pair that has a pipeline or a request waiting for one.
    std::map<std::string, PairPipelines> Census();

  private:
    struct Idle {
        std::unique_ptr<Pipeline> pipeline;
        Clock::time_point since;
    };
    struct PairState {
        std::vector<Idle> idle;   // most recently used last
        std::size_t existing = 0; // idle, lent and starting
        std::size_t starting = 0;
        std::size_t waiting = 0; // requests in Acquire without a pipeline yet
    };
    struct Ending {
        std::string pair;
        std::unique_ptr<Pipeline> pipeline;
        std::string why;         // for the log; empty when the request's failure said it
        bool countedOut = false; // already taken off the counts
    };

    void GiveBack(const std::string& pair, std::unique_ptr<Pipeline> pipeline);
    // Ends pipelines taken out of the pool, outside the lock, then lets the bound count them
    // out: their processes are gone before another pipeline may take their place.
    void End(std::vector<Ending> ending);
    bool TakeLeastRecentlyUsed(std::vector<Ending>& ending);
    void Reap();
    void Wake();

    PoolSettings settings_;
    Starter start_;
    Log log_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, PairState> pairs_;
    std::size_t live_ = 0;
    bool stopping_ = false;
    int wakeFd_ = -1; // an eventfd that wakes the reaper
    std::thread reaper_;
};

class PipelinePool::Lease {
  public:
    Lease(PipelinePool& pool, std::string pair, std::unique_ptr<Pipeline> pipeline)
        : pool_(pool), pair_(std::move(pair)), pipeline_(std::move(pipeline)) {}
    ~Lease() { pool_.GiveBack(pair_, std::move(pipeline_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Pipeline& operator*() { return *pipeline_; }
    Pipeline* operator->() { return pipeline_.get(); }

  private:
    PipelinePool& pool_;
    std::string pair_;
    std::unique_ptr<Pipeline> pipeline_;
};

} // namespace tervane::service

#include "service/apertium/PipelinePool.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tervane::service {
namespace {

// How often the reaper looks at idle pipelines while any live; idle pipelines whose last
// use is at least this old are also watched for a hang-up between looks.
constexpr auto kTick = std::chrono::seconds(1);

} // namespace

PipelinePool::PipelinePool(PoolSettings settings, Starter start, Log log)
    : settings_(settings), start_(std::move(start)), log_(std::move(log)) {
    settings_.maxPipelines = std::max<std::size_t>(1, settings_.maxPipelines);
    settings_.perPair = std::max<std::size_t>(1, settings_.perPair);
    settings_.recycleAfter = std::max<unsigned long>(1, settings_.recycleAfter);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    reaper_ = std::thread([this] { Reap(); });
}

PipelinePool::~PipelinePool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    reaper_.join();
    ::close(wakeFd_);
    // The idle pipelines end with the pairs' states here.
}

void PipelinePool::Wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

Result<std::unique_ptr<PipelinePool::Lease>> PipelinePool::Acquire(const std::string& pair,
                                                                   Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    PairState& state = pairs_[pair];
    ++state.waiting;
    const auto stopWaiting = [&state](auto result) {
        --state.waiting;
        return result;
    };
    while (true) {
        std::vector<Ending> ending;
        while (!state.idle.empty()) {
            // One that still owes a timed-out request's answer only when no other is idle.
            auto chosen = std::find_if(state.idle.rbegin(), state.idle.rend(),
                                       [](const Idle& idle) { return !idle.pipeline->Owes(); });
            if (chosen == state.idle.rend())
                chosen = state.idle.rbegin();
            std::unique_ptr<Pipeline> pipeline = std::move(chosen->pipeline);
            state.idle.erase(std::next(chosen).base());
            if (pipeline->Alive())
                return stopWaiting(std::make_unique<Lease>(*this, pair, std::move(pipeline)));
            ending.push_back({pair, std::move(pipeline), "a process had exited", false});
        }
        if (!ending.empty()) {
            lock.unlock();
            End(std::move(ending));
            lock.lock();
            continue;
        }
        // A further pipeline of the pair only for a request that no starting one will serve.
        const bool wanted = state.waiting > state.starting && state.existing < settings_.perPair;
        if (wanted && (live_ < settings_.maxPipelines || TakeLeastRecentlyUsed(ending))) {
            ++state.existing;
            ++state.starting;
            const bool first = live_++ == 0;
            lock.unlock();
            End(std::move(ending)); // before the start: never more than the bound live
            if (first)
                Wake(); // the reaper sleeps while no pipeline lives
            Result<std::unique_ptr<Pipeline>> started = start_(pair);
            const bool ok = started.Ok() && started.Value()->Alive();
            if (log_ && ok)
                log_("pipeline " + pair + " started");
            lock.lock();
            --state.starting;
            if (ok)
                return stopWaiting(
                    std::make_unique<Lease>(*this, pair, std::move(started).Value()));
            --state.existing;
            --live_;
            changed_.notify_all();
            const bool late = Clock::now() >= deadline;
            return stopWaiting(
                Error{late ? 504 : 502, started.Ok() ? "its pipeline stopped as soon as it started"
                                                     : started.Failure().reason});
        }
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
            return stopWaiting(Error{504, "no pipeline of the pair came free before the time-out"});
        }
    }
}

bool PipelinePool::Has(const std::string& pair) {
    std::lock_guard lock(mutex_);
    const auto found = pairs_.find(pair);
    return found != pairs_.end() && found->second.existing > 0;
}

std::map<std::string, PairPipelines> PipelinePool::Census() {
    std::lock_guard lock(mutex_);
    std::map<std::string, PairPipelines> census;
    for (const auto& [pair, state] : pairs_) {
        if (state.existing == 0 && state.waiting == 0)
            continue;
        census[pair] = {state.idle.size(), state.existing - state.idle.size() - state.starting,
                        state.starting, state.waiting};
    }
    return census;
}

bool PipelinePool::TakeLeastRecentlyUsed(std::vector<Ending>& ending) {
    Idle* oldest = nullptr;
    std::string oldestPair;
    for (auto& [pair, state] : pairs_) {
        for (Idle& idle : state.idle) {
            if (oldest == nullptr || idle.since < oldest->since) {
                oldest = &idle;
                oldestPair = pair;
            }
        }
    }
    if (oldest == nullptr)
        return false;
    ending.push_back({oldestPair, std::move(oldest->pipeline), "least recently used", true});
    auto& idle = pairs_[oldestPair].idle;
    idle.erase(idle.begin() + (oldest - idle.data()));
    // Counted out now: the caller's new pipeline takes its place once it has ended.
    --pairs_[oldestPair].existing;
    --live_;
    return true;
}

void PipelinePool::GiveBack(const std::string& pair, std::unique_ptr<Pipeline> pipeline) {
    std::vector<Ending> ending;
    {
        std::lock_guard lock(mutex_);
        if (!pipeline->Stopped() && pipeline->Exchanges() < settings_.recycleAfter) {
            pairs_[pair].idle.push_back({std::move(pipeline), Clock::now()});
            changed_.notify_all();
            return;
        }
    }
    // A pipeline that failed was stopped and its failure reported with the request.
    const std::string why =
        pipeline->Stopped()
            ? ""
            : "recycled after " + std::to_string(pipeline->Exchanges()) + " requests";
    ending.push_back({pair, std::move(pipeline), why, false});
    End(std::move(ending));
}

void PipelinePool::End(std::vector<Ending> ending) {
    if (ending.empty())
        return;
    for (Ending& end : ending) {
        end.pipeline.reset(); // kills and reaps its processes
        if (log_ && !end.why.empty())
            log_("pipeline " + end.pair + " ended: " + end.why);
    }
    std::lock_guard lock(mutex_);
    for (const Ending& end : ending) {
        if (end.countedOut)
            continue;
        --pairs_[end.pair].existing;
        --live_;
    }
    changed_.notify_all();
}

void PipelinePool::Reap() {
    const std::string idleSeconds = std::to_string(
        std::chrono::duration_cast<std::chrono::seconds>(settings_.idleTimeout).count());
    const std::string graceSeconds = std::to_string(Pipeline::kLateAnswerGrace.count());
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const auto now = Clock::now();
        std::vector<Ending> ending;
        std::vector<pollfd> watch{{wakeFd_, POLLIN, 0}};
        auto nextLook = now + kTick;
        for (auto& [pair, state] : pairs_) {
            for (auto it = state.idle.begin(); it != state.idle.end();) {
                const bool expired = now - it->since >= settings_.idleTimeout;
                const bool owed = it->pipeline->Owes();
                const bool dead = !expired && (it->pipeline->Troubled() || !it->pipeline->Alive());
                if (expired || dead) {
                    ending.push_back(
                        {pair, std::move(it->pipeline),
                         expired ? "unused for " + idleSeconds + " s"
                         : owed  ? "no answer " + graceSeconds + " s after a request's time-out"
                                 : "a process exited while idle",
                         false});
                    it = state.idle.erase(it);
                    continue;
                }
                nextLook = std::min(nextLook, it->since + settings_.idleTimeout);
                if (it->pipeline->Owes())
                    nextLook = std::min(nextLook, it->pipeline->OwedUntil());
                // A late answer is taken in as it comes, so the pipeline never blocks on it.
                if (now - it->since >= kTick || it->pipeline->Owes())
                    watch.push_back({it->pipeline->OutputFd(), POLLIN, 0});
                ++it;
            }
        }
        if (!ending.empty()) {
            lock.unlock();
            End(std::move(ending));
            lock.lock();
            continue;
        }
        const int timeout =
            live_ == 0 ? -1
                       : static_cast<int>(
                             std::chrono::ceil<std::chrono::milliseconds>(nextLook - now).count());
        lock.unlock();
        // A watched pipeline that hangs up or speaks while idle has lost a process: the next
        // look finds it. One taken for a request meanwhile may wake this early; no harm.
        while (::poll(watch.data(), watch.size(), timeout) < 0 && errno == EINTR) {
        }
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
        lock.lock();
    }
}

} // namespace tervane::service

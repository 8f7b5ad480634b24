#include "service/platform/LogQueue.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace tervane::service {

// Shared with the writer thread, which may outlive the queue when its output is blocked.
struct LogQueue::State {
    LogOutput output;
    std::string prefix;
    std::size_t capacity = 0;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> lines;
    unsigned long dropped = 0;
    bool done = false;
    std::atomic<bool> stopping{false};
    std::atomic<unsigned long> busy{0};
    std::atomic<unsigned long> closedForRoom{0};
};

LogQueue::LogQueue(LogOutput output, std::string prefix, std::size_t capacity)
    : state_(std::make_shared<State>()) {
    state_->output = std::move(output);
    state_->prefix = std::move(prefix);
    state_->capacity = capacity;
    writer_ = std::thread([state = state_] { Write(state); });
}

LogQueue::~LogQueue() {
    Stop(std::chrono::milliseconds(300));
}

void LogQueue::Post(std::string line) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping)
            return;
        if (state_->lines.size() >= state_->capacity) {
            ++state_->dropped;
            return;
        }
        state_->lines.push_back(std::move(line));
    }
    state_->changed.notify_one();
}

void LogQueue::CountBusy() {
    state_->busy.fetch_add(1, std::memory_order_relaxed);
}

void LogQueue::CountClosedForRoom() {
    state_->closedForRoom.fetch_add(1, std::memory_order_relaxed);
}

void LogQueue::Stop(std::chrono::milliseconds grace) {
    if (!writer_.joinable())
        return;
    std::unique_lock lock(state_->mutex);
    state_->stopping = true;
    state_->changed.notify_all();
    const bool finished = state_->changed.wait_for(lock, grace, [this] { return state_->done; });
    lock.unlock();
    if (finished) {
        writer_.join();
    } else {
        writer_.detach(); // blocked on its output; it holds the state it needs
    }
}

void LogQueue::Write(const std::shared_ptr<State>& state) {
    using Clock = std::chrono::steady_clock;
    auto lastSummary = Clock::now();
    std::unique_lock lock(state->mutex);
    while (true) {
        state->changed.wait_for(lock, std::chrono::seconds(1),
                                [&] { return state->stopping || !state->lines.empty(); });
        const bool stopping = state->stopping;
        std::string text;
        const auto add = [&](const std::string& line) {
            text += state->prefix + ": " + line + "\n";
        };
        if (state->dropped > 0) {
            add(std::to_string(state->dropped) + " log lines dropped: " + state->output.name +
                " was not taking them");
            state->dropped = 0;
        }
        for (const std::string& line : state->lines)
            add(line);
        state->lines.clear();
        lock.unlock();

        const auto now = Clock::now();
        if (now - lastSummary >= std::chrono::seconds(1) || stopping) {
            const unsigned long busy = state->busy.exchange(0);
            const unsigned long closed = state->closedForRoom.exchange(0);
            if (busy > 0 || closed > 0) {
                const auto ms =
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - lastSummary);
                add("busy: refused " + std::to_string(busy) + " requests (503) and closed " +
                    std::to_string(closed) + " idle or slow connections in the last " +
                    std::to_string(ms.count()) + "ms");
            }
            lastSummary = now;
        }
        if (!text.empty())
            state->output.write(text, state->stopping); // a broken output loses the lines
        lock.lock();
        if (stopping) {
            state->done = true;
            state->changed.notify_all();
            return;
        }
    }
}

} // namespace tervane::service

#include "service/platform/LogQueue.h"

#include "service/core/LogText.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>

namespace tervane::service {
namespace {

// After a write the writer takes in the lines of the next few milliseconds without being
// woken for each: under load a request then costs no wake-up of another thread (on two
// cores that wake-up delayed the answer), and the lines still appear within this time.
constexpr auto kGathering = std::chrono::milliseconds(10);

// The local time with its offset from UTC, as ISO 8601 writes it: 2026-12-08T14:25:03+01:00.
// The offset is worked out, not taken from strftime's %z, which Windows' C library writes
// as the zone's name. Only the log's own thread asks, so localtime's shared result is safe.
std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    std::tm utc = *std::gmtime(&now);
    utc.tm_isdst = local.tm_isdst;
    const long offset = static_cast<long>(std::difftime(now, std::mktime(&utc)));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60 % (24 * 60));
    char zone[32];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return std::string(text) + zone;
}

} // namespace

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
    bool gathering = false; // the writer will look again soon: no need to wake it
    std::atomic<bool> stopping{false};
    std::atomic<unsigned long> busy{0};
    std::atomic<unsigned long> closedForRoom{0};
    std::atomic<bool> reopen{false};
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
    // The last defence of the one-line rule, and of URLs' passwords.
    line = BoundLogLine(RedactUrlUserInfo(line));
    {
        std::lock_guard lock(state_->mutex);
        if (state_->stopping)
            return;
        if (state_->lines.size() >= state_->capacity) {
            ++state_->dropped;
            return;
        }
        state_->lines.push_back(std::move(line));
        if (state_->gathering)
            return;
    }
    state_->changed.notify_one();
}

void LogQueue::Reopen() {
    state_->reopen = true;
    state_->changed.notify_all();
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
        const std::string stamp = state->output.stamped ? LocalTimeStamp() + " " : "";
        const auto add = [&](const std::string& line) {
            text += stamp + state->prefix + ": " + line + "\n";
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
        if (state->reopen.exchange(false) && state->output.reopen)
            state->output.reopen();
        if (!text.empty())
            state->output.write(text, state->stopping); // a broken output loses the lines
        lock.lock();
        if (stopping) {
            state->done = true;
            state->changed.notify_all();
            return;
        }
        state->gathering = true;
        state->changed.wait_for(lock, kGathering, [&] { return state->stopping.load(); });
        state->gathering = false;
    }
}

} // namespace tervane::service

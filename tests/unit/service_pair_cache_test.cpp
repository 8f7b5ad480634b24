// A remote engine's pair list: one fetch at a time, failures remembered from their end, and a
// last known state that never waits.
#include "service/engines/PairCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace tervane::service;
using namespace std::chrono_literals;

namespace {

// A server's list that comes only when the test lets it, or fails at the fetch's deadline.
struct SlowServer {
    std::mutex mutex;
    std::condition_variable changed;
    bool answer = false;
    std::atomic<int> fetches{0};

    Result<PairListing> Fetch(Clock::time_point deadline) {
        ++fetches;
        std::unique_lock lock(mutex);
        if (!changed.wait_until(lock, deadline, [this] { return answer; }))
            return Error{504, "hung"};
        return PairListing{{Hop{"fr", "es", "fr>es"}, false}};
    }
    void Answer() {
        std::lock_guard lock(mutex);
        answer = true;
        changed.notify_all();
    }
};

} // namespace

TEST(PairCache, OneFetchAtATimeEachWaitingNoLongerThanItsDeadline) {
    SlowServer server;
    PairCache cache(
        "Test", [&](Clock::time_point deadline) { return server.Fetch(deadline); },
        PairCacheTimes{10s, 60s, 60s});
    auto first = std::async(std::launch::async, [&] { return cache.Get(Clock::now() + 10s); });
    const auto until = Clock::now() + 10s;
    while (server.fetches == 0 && Clock::now() < until)
        std::this_thread::sleep_for(1ms);
    std::vector<std::future<Result<PairListing>>> waiting;
    for (int i = 0; i < 3; ++i) {
        waiting.push_back(std::async(std::launch::async, [&cache, i] {
            return cache.Get(Clock::now() + std::chrono::milliseconds(50 + 50 * i));
        }));
    }
    for (auto& result : waiting) {
        const Result<PairListing> listing = result.get();
        ASSERT_FALSE(listing.Ok());
        EXPECT_EQ(listing.Failure().reason, "Test did not list its pairs in time");
    }
    // Never waits, even while the fetch hangs: nothing is known yet.
    EXPECT_FALSE(cache.Last().has_value());
    server.Answer();
    EXPECT_TRUE(first.get().Ok());
    EXPECT_EQ(server.fetches, 1);
}

TEST(PairCache, RemembersAFailureFromItsEndAndTheListAfterIt) {
    SlowServer server;
    PairCache cache(
        "Test", [&](Clock::time_point deadline) { return server.Fetch(deadline); },
        PairCacheTimes{300ms, 60s, 200ms});
    // The fetch fails after 300 ms, longer than the 200 ms a failure is kept: kept all the
    // same, since its time counts from the fetch's end.
    EXPECT_FALSE(cache.Get(Clock::now() + 10s).Ok());
    EXPECT_FALSE(cache.Get(Clock::now() + 10s).Ok());
    EXPECT_EQ(server.fetches, 1);
    ASSERT_TRUE(cache.Last().has_value());
    EXPECT_EQ(cache.Last()->Failure().reason, "hung");

    server.Answer();
    const auto until = Clock::now() + 10s;
    while (Clock::now() < until && !cache.Get(Clock::now() + 1s).Ok())
        std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(cache.Get(Clock::now() + 1s).Ok());
    ASSERT_TRUE(cache.Last().has_value());
    EXPECT_EQ(cache.Last()->Value().size(), 1u);
}

#include "service/engines/PairCache.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tervane::service {

struct PairCache::State {
    std::string label;
    Fetch fetch;
    PairCacheTimes times;
    std::mutex mutex;
    std::condition_variable fetched;
    std::optional<Result<PairListing>> listing; // nullopt until the first fetch ended
    Clock::time_point expires;
    bool fetching = false;

    bool Fresh(Clock::time_point now) const { return listing && now < expires; }

    // Called by the one fetcher, without the lock; stores the outcome and wakes the waiters.
    Result<PairListing> FetchAndStore(Clock::time_point deadline) {
        Result<PairListing> result = fetch(std::min(deadline, Clock::now() + times.fetch));
        std::lock_guard lock(mutex);
        listing = result;
        expires = Clock::now() + (result.Ok() ? times.fresh : times.failed);
        fetching = false;
        fetched.notify_all();
        return result;
    }
};

PairCache::PairCache(std::string label, Fetch fetch, PairCacheTimes times)
    : state_(std::make_shared<State>()) {
    state_->label = std::move(label);
    state_->fetch = std::move(fetch);
    state_->times = times;
}

Result<PairListing> PairCache::Get(Clock::time_point deadline) {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    while (true) {
        if (state.Fresh(Clock::now()))
            return *state.listing;
        if (!state.fetching) {
            state.fetching = true;
            lock.unlock();
            return state.FetchAndStore(deadline);
        }
        // A list still good while it is refreshed serves at once.
        if (state.listing && state.listing->Ok())
            return *state.listing;
        if (!state.fetched.wait_until(lock, deadline, [&] { return !state.fetching; }))
            return Error{504, state.label + " did not list its pairs in time"};
    }
}

std::optional<Result<PairListing>> PairCache::Last() {
    std::lock_guard lock(state_->mutex);
    if (!state_->fetching && !state_->Fresh(Clock::now())) {
        state_->fetching = true;
        try {
            std::thread([state = state_] {
                state->FetchAndStore(Clock::now() + state->times.fetch);
            }).detach();
        } catch (const std::system_error&) {
            state_->fetching = false; // no thread to be had: the next request fetches
        }
    }
    return state_->listing;
}

} // namespace tervane::service

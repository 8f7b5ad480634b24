// What APy and LibreTranslate have in common: a server at a URL, whose pair list is kept
// (PairCache) and whose translations have turns of their own (Remote()).
#pragma once

#include "service/engines/Engine.h"
#include "service/engines/PairCache.h"
#include "service/engines/RemoteHttp.h"

#include <functional>
#include <string>

namespace tervane::service {

class RemoteEngine : public Engine {
  public:
    bool Remote() const override { return true; }
    Result<PairListing> Pairs(Clock::time_point deadline) override { return cache_.Get(deadline); }
    std::optional<Result<PairListing>> LastPairs() override { return cache_.Last(); }

  protected:
    // fetchPairs asks the server at url for its list; label names it in failures.
    using FetchPairs = std::function<Result<PairListing>(const RemoteUrl&, Clock::time_point)>;
    RemoteEngine(RemoteUrl url, const std::string& label, FetchPairs fetchPairs)
        : url_(std::move(url)),
          cache_(label + " at " + url_.shown,
                 [url = url_, fetch = std::move(fetchPairs)](Clock::time_point deadline) {
                     return fetch(url, deadline);
                 }) {}

    RemoteUrl url_;

  private:
    PairCache cache_;
};

} // namespace tervane::service

// A LibreTranslate-compatible server: /languages gives what translates into what,
// /translate one step (the server pivots by itself where it needs to).
#pragma once

#include "service/engines/Engine.h"
#include "service/engines/PairCache.h"
#include "service/engines/RemoteHttp.h"

namespace tervane::service {

class LibreTranslateEngine : public Engine {
  public:
    LibreTranslateEngine(RemoteUrl url, std::string apiKey);

    std::string Name() const override { return "libretranslate"; }
    bool Remote() const override { return true; }
    Result<PairListing> Pairs(Clock::time_point deadline) override { return cache_.Get(deadline); }
    std::optional<Result<PairListing>> LastPairs() override { return cache_.Last(); }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    RemoteUrl url_;
    std::string apiKey_;
    PairCache cache_;
};

} // namespace tervane::service

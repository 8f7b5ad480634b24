// A remote Apertium APy server: its /listPairs gives the pairs, /translate one hop; chains
// are routed here like local pairs.
#pragma once

#include "service/engines/Engine.h"
#include "service/engines/PairCache.h"
#include "service/engines/RemoteHttp.h"

namespace tervane::service {

class ApyEngine : public Engine {
  public:
    explicit ApyEngine(RemoteUrl url);

    std::string Name() const override { return "apy"; }
    bool Remote() const override { return true; }
    Result<PairListing> Pairs(Clock::time_point deadline) override { return cache_.Get(deadline); }
    std::optional<Result<PairListing>> LastPairs() override { return cache_.Last(); }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    RemoteUrl url_;
    PairCache cache_;
};

} // namespace tervane::service

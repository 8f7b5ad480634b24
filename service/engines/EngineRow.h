// The engines the service was started with (--engine apertium,libretranslate), in the
// order they are asked for a route: the first that has one translates.
#pragma once

#include "service/engines/Engine.h"

#include <memory>
#include <vector>

namespace tervane::service {

class EngineRow {
  public:
    explicit EngineRow(std::vector<std::unique_ptr<Engine>> engines)
        : engines_(std::move(engines)) {}

    const std::vector<std::unique_ptr<Engine>>& Engines() const { return engines_; }

    // "apertium,libretranslate", as on the command line.
    std::string Name() const;

    // Every engine's pairs together as last known, without waiting on any (for /health);
    // when one could not say (a remote server down), its failure; 503 while one is not
    // known yet.
    Result<PairListing> LastPairs();

  private:
    std::vector<std::unique_ptr<Engine>> engines_;
};

} // namespace tervane::service

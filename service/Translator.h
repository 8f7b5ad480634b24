// Routes a request over the engine's pairs and runs the chain hop by hop.
#pragma once

#include "service/Engine.h"

#include <string>

namespace tervane::service {

struct Translation {
    Result<std::string> text; // the translation, or why there is none (422 when no route)
    std::string route;        // for the log: pair ids, "identity" or "none"
};

class Translator {
  public:
    Translator(Engine& engine, std::size_t maxHops) : engine_(engine), maxHops_(maxHops) {}

    // source and target are known table codes; text is valid UTF-8 without NUL.
    Translation Translate(const std::string& source, const std::string& target,
                          const std::string& text, Clock::time_point deadline);

    Engine& UsedEngine() { return engine_; }
    std::size_t MaxHops() const { return maxHops_; }

  private:
    Engine& engine_;
    std::size_t maxHops_;
};

PairGraph BuildGraph(const PairListing& listing);

} // namespace tervane::service

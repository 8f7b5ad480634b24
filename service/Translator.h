// Routes a request over the engine's pairs and runs the chain hop by hop.
#pragma once

#include "service/Engine.h"

#include <string>

namespace tervane::service {

struct Translation {
  int status = 200;
  std::string reason; // reason phrase when status is not 200
  std::string text;   // the translation when status is 200
  std::string route;  // for the log: pair ids or "identity"
};

class Translator {
public:
  Translator(Engine &engine, std::size_t maxHops) : engine_(engine), maxHops_(maxHops) {}

  // source and target are known table codes; text is valid UTF-8 without NUL.
  Translation translate(const std::string &source, const std::string &target,
                        const std::string &text, Clock::time_point deadline);

  Engine &engine() { return engine_; }
  std::size_t maxHops() const { return maxHops_; }

private:
  Engine &engine_;
  std::size_t maxHops_;
};

PairGraph buildGraph(const PairListing &listing);

} // namespace tervane::service

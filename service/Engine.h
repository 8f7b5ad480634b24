// What the service needs from a translation engine: the pairs it offers and one step of
// translation. Apertium pipelines, an APy server and a LibreTranslate server sit behind it.
#pragma once

#include "service/Router.h"

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tervane::service {

using Clock = std::chrono::steady_clock;

// A failure the client is told about: an HTTP status (502, 503, 504) and a one-line reason.
struct EngineError {
  int status;
  std::string reason;
};

using HopResult = std::variant<std::string, EngineError>;

struct PairEntry {
  Hop hop;
  bool variant = false;
};

struct PairListing {
  std::vector<PairEntry> pairs;
  std::optional<EngineError> error; // set when the engine could not say what it offers
};

class Engine {
public:
  virtual ~Engine() = default;
  virtual std::string name() const = 0;
  virtual PairListing pairs() = 0;
  // Translates text (valid UTF-8, no NUL) one step; must return by the deadline.
  virtual HopResult translate(const Hop &hop, const std::string &text,
                              Clock::time_point deadline) = 0;
  // What would make a missing pair work, e.g. "install apertium-fra-jpn".
  virtual std::string missingPairHint(std::string_view from, std::string_view to) const = 0;
};

} // namespace tervane::service

// What the service needs from a translation engine: the pairs it offers and one step of
// translation. Apertium pipelines, an APy server and a LibreTranslate server sit behind it.
#pragma once

#include "service/core/Result.h"
#include "service/engines/Router.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

using Clock = std::chrono::steady_clock;

struct PairEntry {
    Hop hop;
    bool variant = false;
    bool operator==(const PairEntry&) const = default;
};

using PairListing = std::vector<PairEntry>;

class Engine {
  public:
    virtual ~Engine() = default;
    virtual std::string Name() const = 0;
    // What the engine offers; a failure when it could not say (a remote server down).
    virtual Result<PairListing> Pairs() = 0;
    // Translates text (valid UTF-8, no NUL) one step; must return by the deadline. Its
    // failures are the client's status: 502 (engine failed), 503 (busy), 504 (too slow).
    virtual Result<std::string> Translate(const Hop& hop, const std::string& text,
                                          Clock::time_point deadline) = 0;
    // What would make a missing pair work, e.g. "install apertium-fra-jpn".
    virtual std::string MissingPairHint(std::string_view from, std::string_view to) const = 0;
};

} // namespace tervane::service

// Routes a request over the engines in their order and runs the chain of the first engine
// that has one, hop by hop.
#pragma once

#include "service/engines/EngineRow.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

struct Translation {
    Result<std::string> text; // the translation, or why there is none (422 when no route)
    std::string route;        // for the log: pair ids, "identity" or "none"
    std::string engine;       // the engine that translated; empty when none did
};

struct RouteChoice {
    std::string engine;
    std::vector<Hop> route;
};

struct RouteListing {
    // For each distinct code of the program's table, every code of the table it reaches,
    // through the engine that would translate it.
    std::map<std::string, std::map<std::string, RouteChoice>> targets;
    // Engines left out because they could not list their pairs, with why.
    std::vector<std::pair<std::string, Error>> unavailable;
};

class Translator {
  public:
    Translator(EngineRow& engines, std::size_t maxHops);

    // source and target are known table codes; text is valid UTF-8 without NUL.
    Translation Translate(const std::string& source, const std::string& target,
                          const std::string& text, Clock::time_point deadline);

    RouteListing ListRoutes();

    EngineRow& UsedEngine() { return engines_; }
    std::size_t MaxHops() const { return maxHops_; }

  private:
    // An engine's graph and the routes found on it, kept while its pairs stay the same.
    struct Routes {
        std::optional<PairListing> listing;
        PairGraph graph;
        std::map<std::pair<std::string, std::string>, std::optional<std::vector<Hop>>> found;
    };
    Routes& RoutesFor(std::size_t engine, PairListing listing);

    EngineRow& engines_;
    std::size_t maxHops_;
    std::mutex mutex_;
    std::vector<Routes> routes_; // one per engine
};

PairGraph BuildGraph(const PairListing& listing);

} // namespace tervane::service

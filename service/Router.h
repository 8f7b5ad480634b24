// Finds the shortest chain of installed pairs between two of the program's languages.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

// One translation step an engine can do, between two of the program's codes. id names
// the engine's own pair (an Apertium mode such as "fr-es", an APy "fra|spa").
struct Hop {
    std::string from;
    std::string to;
    std::string id;
};

class PairGraph {
  public:
    // A variant pair ("spa-eng_US") only serves a direction that no plain pair serves.
    void Add(Hop hop, bool variant);

    // Fewest hops from one code to another, at most maxHops; between equally short chains
    // the one through the best-connected pivot wins, then the alphabetically first, so the
    // same installation always takes the same route. nullopt when unreachable; an empty
    // chain when from == to.
    std::optional<std::vector<Hop>> Route(const std::string& from, const std::string& to,
                                          std::size_t maxHops) const;

    // Every code reachable from a code, with its route.
    std::map<std::string, std::vector<Hop>> ReachableFrom(const std::string& from,
                                                          std::size_t maxHops) const;

  private:
    struct Edge {
        Hop hop;
        bool variant;
    };
    // Keyed by (from, to): one pair per direction.
    std::map<std::pair<std::string, std::string>, Edge> edges_;
};

// The route as "fr-es,spa-eng" for logs and listings.
std::string DescribeRoute(const std::vector<Hop>& route);

} // namespace tervane::service

// Finds the shortest chain of installed directions between two languages. The graph's
// languages are the program's codes and, as pivots, languages outside its table (named by
// their Apertium code: "epo", "oci", "nno").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

// One translation step an engine can do. id names the engine's own pair (an Apertium mode
// such as "fr-es", an APy "fra|spa").
struct Hop {
    std::string from;
    std::string to;
    std::string id;
    bool operator==(const Hop&) const = default;
};

class PairGraph {
  public:
    // A variant ("spa-eng_US", "nob-nno_e") only serves a direction that no plain pair
    // serves; between two of the same kind the first id in order is kept.
    void Add(Hop hop, bool variant);

    // Fewest hops from one language to another, at most maxHops. Between equally short
    // chains the one with the fewest pivots other than English and Spanish (the best
    // maintained pairs) wins, then the one whose pivots come first in a fixed order (English,
    // Spanish, then by code), so the same installation always takes the same route. nullopt
    // when unreachable; an empty chain when from == to.
    std::optional<std::vector<Hop>> Route(const std::string& from, const std::string& to,
                                          std::size_t maxHops) const;

    // Every language reachable from one, with its route as Route() gives it.
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

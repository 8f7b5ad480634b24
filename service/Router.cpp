#include "service/Router.h"

#include <algorithm>
#include <deque>

namespace tervane::service {

void PairGraph::Add(Hop hop, bool variant) {
    if (hop.from == hop.to)
        return;
    const auto key = std::make_pair(hop.from, hop.to);
    const auto found = edges_.find(key);
    if (found != edges_.end()) {
        const Edge& have = found->second;
        // Keep a plain pair over a variant, and otherwise the first id in order.
        const bool better =
            (have.variant && !variant) || (have.variant == variant && hop.id < have.hop.id);
        if (!better)
            return;
    }
    edges_[key] = Edge{std::move(hop), variant};
}

std::map<std::string, std::vector<Hop>> PairGraph::ReachableFrom(const std::string& from,
                                                                 std::size_t maxHops) const {
    // How many pairs touch each language: a well-connected pivot (Spanish among Debian's
    // pairs) is the one Apertium's developers maintain best, so equally short chains go
    // through it first, then through the alphabetically first.
    std::map<std::string, std::size_t> degree;
    for (const auto& [key, edge] : edges_) {
        ++degree[key.first];
        ++degree[key.second];
    }
    // Breadth-first: the first time a code is reached is by a fewest-hop route.
    std::map<std::string, std::vector<Hop>> routes;
    routes[from] = {};
    std::deque<std::string> queue{from};
    while (!queue.empty()) {
        const std::string current = queue.front();
        queue.pop_front();
        const std::vector<Hop> path = routes[current];
        if (path.size() >= maxHops)
            continue;
        std::vector<const Hop*> next;
        for (auto it = edges_.lower_bound({current, std::string()});
             it != edges_.end() && it->first.first == current; ++it) {
            next.push_back(&it->second.hop);
        }
        std::stable_sort(next.begin(), next.end(), [&degree](const Hop* a, const Hop* b) {
            return degree[a->to] > degree[b->to];
        });
        for (const Hop* hop : next) {
            if (routes.count(hop->to) != 0)
                continue;
            std::vector<Hop> extended = path;
            extended.push_back(*hop);
            routes[hop->to] = std::move(extended);
            queue.push_back(hop->to);
        }
    }
    routes.erase(from);
    return routes;
}

std::optional<std::vector<Hop>> PairGraph::Route(const std::string& from, const std::string& to,
                                                 std::size_t maxHops) const {
    if (from == to)
        return std::vector<Hop>{};
    auto routes = ReachableFrom(from, maxHops);
    const auto found = routes.find(to);
    if (found == routes.end())
        return std::nullopt;
    return std::move(found->second);
}

std::string DescribeRoute(const std::vector<Hop>& route) {
    if (route.empty())
        return "identity";
    std::string text;
    for (const Hop& hop : route) {
        if (!text.empty())
            text += ',';
        text += hop.id;
    }
    return text;
}

} // namespace tervane::service

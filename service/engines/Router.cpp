#include "service/engines/Router.h"

#include <algorithm>

namespace tervane::service {
namespace {

// English and Spanish have the most and the most used Apertium pairs.
int PivotRank(const std::string& code) {
    return code == "en" ? 0 : code == "es" ? 1 : 2;
}

// The pivots of a chain, in order; what ties between equally short chains are decided on.
struct PivotKey {
    std::size_t others = 0; // pivots that are neither English nor Spanish
    std::vector<std::pair<int, std::string>> order;

    PivotKey With(const std::string& pivot) const {
        PivotKey key = *this;
        key.others += PivotRank(pivot) == 2 ? 1 : 0;
        key.order.emplace_back(PivotRank(pivot), pivot);
        return key;
    }
    bool operator<(const PivotKey& other) const {
        if (others != other.others)
            return others < other.others;
        return order < other.order;
    }
};

struct Reached {
    std::vector<Hop> route;
    PivotKey pivots; // of the route to here, this language included as the next pivot
};

} // namespace

void PairGraph::Add(Hop hop, bool variant) {
    if (hop.from == hop.to)
        return;
    const auto key = std::make_pair(hop.from, hop.to);
    const auto found = edges_.find(key);
    if (found != edges_.end()) {
        const Edge& have = found->second;
        const bool better =
            (have.variant && !variant) || (have.variant == variant && hop.id < have.hop.id);
        if (!better)
            return;
    }
    edges_[key] = Edge{std::move(hop), variant};
}

std::map<std::string, std::vector<Hop>> PairGraph::ReachableFrom(const std::string& from,
                                                                 std::size_t maxHops) const {
    // Breadth-first, one layer per hop: a language is settled in the first layer that
    // reaches it (a shortest chain), by its best chain among those of that length. Every
    // prefix of a shortest chain is itself a shortest chain and the pivot order is kept when
    // the same language is appended, so the best chain extends a settled best chain. A
    // settled language is never entered again: cycles end there.
    std::map<std::string, Reached> settled;
    settled[from] = Reached{};
    std::vector<std::string> layer{from};
    for (std::size_t hops = 1; hops <= maxHops && !layer.empty(); ++hops) {
        std::map<std::string, Reached> next;
        for (const std::string& current : layer) {
            const Reached& base = settled.at(current);
            for (auto it = edges_.lower_bound({current, std::string()});
                 it != edges_.end() && it->first.first == current; ++it) {
                const std::string& to = it->first.second;
                if (settled.count(to) != 0)
                    continue;
                const PivotKey& key = base.pivots;
                const auto found = next.find(to);
                if (found != next.end() && !(key < found->second.pivots))
                    continue;
                Reached candidate{base.route, key};
                candidate.route.push_back(it->second.hop);
                next[to] = std::move(candidate);
            }
        }
        layer.clear();
        for (auto& [code, reached] : next) {
            reached.pivots = reached.pivots.With(code);
            layer.push_back(code);
            settled.emplace(code, std::move(reached));
        }
    }
    std::map<std::string, std::vector<Hop>> routes;
    for (auto& [code, reached] : settled) {
        if (code != from)
            routes.emplace(code, std::move(reached.route));
    }
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

#include "service/Translator.h"

#include "translate/ServiceProtocol.h"

namespace tervane::service {

PairGraph BuildGraph(const PairListing& listing) {
    PairGraph graph;
    for (const PairEntry& entry : listing)
        graph.Add(entry.hop, entry.variant);
    return graph;
}

Translation Translator::Translate(const std::string& source, const std::string& target,
                                  const std::string& text, Clock::time_point deadline) {
    if (source == target)
        return Translation{text, "identity"};
    const Result<PairListing> listing = engine_.Pairs();
    if (!listing.Ok())
        return Translation{listing.Failure(), ""};
    const auto route = BuildGraph(listing.Value()).Route(source, target, maxHops_);
    if (!route) {
        const auto* from = protocol::FindLanguage(source);
        const auto* to = protocol::FindLanguage(target);
        return Translation{Error{422, "No translation route from " + std::string(from->name) +
                                          " to " + std::string(to->name) + ": " +
                                          engine_.MissingPairHint(source, target)},
                           "none"};
    }
    Translation result{text, DescribeRoute(*route)};
    for (const Hop& hop : *route) {
        result.text = engine_.Translate(hop, result.text.Value(), deadline);
        if (!result.text.Ok())
            break;
    }
    return result;
}

} // namespace tervane::service

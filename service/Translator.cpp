#include "service/Translator.h"

#include "translate/ServiceProtocol.h"

namespace tervane::service {

PairGraph buildGraph(const PairListing &listing) {
  PairGraph graph;
  for (const PairEntry &entry : listing.pairs) graph.add(entry.hop, entry.variant);
  return graph;
}

Translation Translator::translate(const std::string &source, const std::string &target,
                                  const std::string &text, Clock::time_point deadline) {
  Translation result;
  if (source == target) {
    result.text = text;
    result.route = "identity";
    return result;
  }
  const PairListing listing = engine_.pairs();
  if (listing.error) {
    result.status = listing.error->status;
    result.reason = listing.error->reason;
    return result;
  }
  const auto route = buildGraph(listing).route(source, target, maxHops_);
  if (!route) {
    const auto *from = protocol::FindLanguage(source);
    const auto *to = protocol::FindLanguage(target);
    result.status = 422;
    result.route = "none";
    result.reason = "No translation route from " + std::string(from->name) + " to " +
                    std::string(to->name) + ": " + engine_.missingPairHint(source, target);
    return result;
  }
  result.route = describeRoute(*route);
  std::string current = text;
  for (const Hop &hop : *route) {
    HopResult step = engine_.translate(hop, current, deadline);
    if (auto *error = std::get_if<EngineError>(&step)) {
      result.status = error->status;
      result.reason = std::move(error->reason);
      return result;
    }
    current = std::move(std::get<std::string>(step));
  }
  result.text = std::move(current);
  return result;
}

} // namespace tervane::service

// How APy names languages and pairs, and how its names meet the service's routing graph.
#pragma once

#include "service/engines/Router.h"

#include <string>
#include <string_view>
#include <utility>

namespace tervane::service {

// APy's own reading of a code: an ISO 639-1 code becomes its ISO 639-3 one ("fr" -> "fra",
// "pt_BR" -> "por_BR"); anything else stays as it is.
std::string ApyAlpha3(std::string_view code);

// The other way, as APy looks a name up: an ISO 639-3 code that has an ISO 639-1 one becomes
// it ("fra" -> "fr", "hbs" -> "sh"); anything else stays as it is.
std::string ApyAlpha2(std::string_view code);

// The language of the routing graph an APy code stands for: a table code ("fra" -> "fr",
// "por_BR" -> "pt"), or a pivot's three-letter code ("epo"); empty when none.
std::string RoutingNodeForApy(std::string_view code);

// The APy pair a hop of any engine translates, in APy's codes: an Apertium mode "fr-es" is
// ("fra", "spa") as APy lists it, an APy hop is its own pair, another engine's hop is named
// by the Apertium codes of its languages.
std::pair<std::string, std::string> ApyPairOfHop(const Hop& hop);

} // namespace tervane::service

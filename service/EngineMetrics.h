// What /metrics tells of the translator and its engines: pipelines (or pair hosts) by pair and
// state, the turns' running and waiting translations, the remote engines' failures.
#pragma once

#include "service/engines/Translator.h"
#include "service/http/Metrics.h"

#include <vector>

namespace tervane::service {

std::vector<MetricFamily> EngineMetrics(Translator& translator);

} // namespace tervane::service

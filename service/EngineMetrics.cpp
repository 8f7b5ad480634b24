#include "service/EngineMetrics.h"

namespace tervane::service {

std::vector<MetricFamily> EngineMetrics(Translator& translator) {
    MetricFamily pipelines{"tervane_pipelines",
                           "Translation pipelines (pair hosts) by pair and state: idle, busy, "
                           "starting.",
                           "gauge",
                           {}};
    MetricFamily waiting{"tervane_pair_requests_waiting",
                         "Requests waiting for a pipeline of their pair.",
                         "gauge",
                         {}};
    for (const auto& engine : translator.UsedEngine().Engines()) {
        for (const PipelineCount& count : engine->Pipelines()) {
            const double value = static_cast<double>(count.count);
            if (count.state == "waiting")
                waiting.samples.push_back({{{"pair", count.pair}}, value});
            else
                pipelines.samples.push_back(
                    {{{"pair", count.pair}, {"state", count.state}}, value});
        }
    }

    const TurnCounts turns = translator.Turns();
    MetricFamily running{"tervane_translations_running",
                         "Translations holding a turn, offline or by remote engines.",
                         "gauge",
                         {{{{"turns", "offline"}}, static_cast<double>(turns.offlineActive)},
                          {{{"turns", "remote"}}, static_cast<double>(turns.remoteActive)}}};
    MetricFamily queue{"tervane_admission_queue_length",
                       "Translations waiting for a turn (at most --max-queue each).",
                       "gauge",
                       {{{{"turns", "offline"}}, static_cast<double>(turns.offlineWaiting)},
                        {{{"turns", "remote"}}, static_cast<double>(turns.remoteWaiting)}}};

    MetricFamily errors{"tervane_remote_engine_errors_total",
                        "Translations a remote engine failed, by engine and the status told.",
                        "counter",
                        {}};
    for (const auto& [key, count] : translator.RemoteErrors()) {
        errors.samples.push_back({{{"engine", key.first}, {"status", std::to_string(key.second)}},
                                  static_cast<double>(count)});
    }
    return {std::move(pipelines), std::move(waiting), std::move(running), std::move(queue),
            std::move(errors)};
}

} // namespace tervane::service

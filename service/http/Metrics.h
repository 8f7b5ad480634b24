// What operators watch the service by, in Prometheus' text format (GET /metrics): answers by
// face, route and status, their time, and the refusals of a shared or overloaded service.
// Labels take only values of a fixed set (a path no face knows is "other"), so that no
// client can make the output grow.
#pragma once

#include "service/http/RateStorage.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace tervane::service {

// Samples read from elsewhere when /metrics is asked (the engines' pipelines, the turns):
// one metric, its help, "gauge" or "counter", and each sample's labels and value.
struct MetricFamily {
    using Labels = std::vector<std::pair<std::string, std::string>>;
    std::string name;
    std::string help;
    std::string type;
    std::vector<std::pair<Labels, double>> samples;
};

class Metrics {
  public:
    // Read at each Render; added before the service serves.
    void AddSource(std::function<std::vector<MetricFamily>()> source);
    void CountAnswer(std::string_view face, std::string_view path, int status,
                     std::chrono::steady_clock::duration took);
    // A refusal of an overloaded service (503, the connection closed).
    void CountBusyRefusal();
    // The text of the metrics, each with its HELP and TYPE.
    std::string Render() const;

  private:
    static constexpr std::array<double, 11> kBuckets = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25,
                                                        0.5,   1,    2.5,   5,    10};
    struct Histogram {
        std::array<std::uint64_t, kBuckets.size()> counts{}; // each bucket alone, summed when shown
        std::uint64_t count = 0;
        double sum = 0;
    };
    mutable std::mutex mutex_;
    std::map<std::tuple<std::string, std::string, int>, std::uint64_t> answers_;
    std::map<std::string, Histogram> durations_; // by face
    std::uint64_t busyRefusals_ = 0;
    std::vector<std::function<std::vector<MetricFamily>()>> sources_;
};

// Whether the rate counters are shared now (1) or each instance counts alone (0), by storage.
MetricFamily RateStorageMetric(const RateStorageState& state);

// A path as a metric's label: one of the routes the faces answer, else "other".
std::string_view RouteLabel(std::string_view path);

} // namespace tervane::service

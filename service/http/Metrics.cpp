#include "service/http/Metrics.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tervane::service {

std::string_view RouteLabel(std::string_view path) {
    static constexpr std::array<std::string_view, 12> kRoutes = {
        "/translate",    "/languages", "/health",         "/metrics",
        "/detect",       "/listPairs", "/translateChain", "/listLanguageNames",
        "/identifyLang", "/spec",      "/suggest",        "/frontend/settings"};
    const auto found = std::find(kRoutes.begin(), kRoutes.end(), path);
    return found == kRoutes.end() ? std::string_view("other") : *found;
}

void Metrics::CountAnswer(std::string_view face, std::string_view path, int status,
                          std::chrono::steady_clock::duration took) {
    const double seconds = std::chrono::duration<double>(took).count();
    std::lock_guard lock(mutex_);
    ++answers_[{std::string(face), std::string(RouteLabel(path)), status}];
    Histogram& histogram = durations_[std::string(face)];
    const auto bucket =
        std::lower_bound(kBuckets.begin(), kBuckets.end(), seconds) - kBuckets.begin();
    if (bucket < static_cast<std::ptrdiff_t>(kBuckets.size()))
        ++histogram.counts[static_cast<std::size_t>(bucket)];
    ++histogram.count;
    histogram.sum += seconds;
}

void Metrics::AddSource(std::function<std::vector<MetricFamily>()> source) {
    sources_.push_back(std::move(source));
}

namespace {

// A label's value as the text format quotes it.
std::string LabelValue(std::string_view value) {
    std::string quoted;
    for (char c : value) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return quoted;
}

std::string RenderFamily(const MetricFamily& family) {
    std::string text = "# HELP " + family.name + " " + family.help + "\n# TYPE " + family.name +
                       " " + family.type + "\n";
    for (const auto& [labels, value] : family.samples) {
        text += family.name;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            text += (i == 0 ? "{" : ",") + labels[i].first + "=\"" + LabelValue(labels[i].second) +
                    "\"";
        }
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", value);
        text += std::string(labels.empty() ? "" : "}") + " " + number + "\n";
    }
    return text;
}

} // namespace

void Metrics::CountBusyRefusal() {
    std::lock_guard lock(mutex_);
    ++busyRefusals_;
}

std::string Metrics::Render() const {
    std::string text;
    // Read first, outside the lock: a source takes locks of its own.
    for (const auto& source : sources_) {
        for (const MetricFamily& family : source())
            text += RenderFamily(family);
    }
    std::lock_guard lock(mutex_);
    text += "# HELP tervane_requests_total Answers sent, by face, route and status.\n"
            "# TYPE tervane_requests_total counter\n";
    std::uint64_t rateRefusals = 0;
    for (const auto& [key, count] : answers_) {
        const auto& [face, route, status] = key;
        text += "tervane_requests_total{face=\"" + face + "\",route=\"" + route + "\",status=\"" +
                std::to_string(status) + "\"} " + std::to_string(count) + "\n";
        rateRefusals += status == 429 ? count : 0;
    }
    text += "# HELP tervane_request_duration_seconds Time from a request read to its answer, by "
            "face.\n"
            "# TYPE tervane_request_duration_seconds histogram\n";
    for (const auto& [face, histogram] : durations_) {
        std::uint64_t cumulative = 0;
        for (std::size_t i = 0; i < kBuckets.size(); ++i) {
            cumulative += histogram.counts[i];
            char bound[32];
            std::snprintf(bound, sizeof bound, "%g", kBuckets[i]);
            text += "tervane_request_duration_seconds_bucket{face=\"" + face + "\",le=\"" + bound +
                    "\"} " + std::to_string(cumulative) + "\n";
        }
        char sum[64];
        std::snprintf(sum, sizeof sum, "%.6f", histogram.sum);
        text += "tervane_request_duration_seconds_bucket{face=\"" + face + "\",le=\"+Inf\"} " +
                std::to_string(histogram.count) + "\n" +
                "tervane_request_duration_seconds_sum{face=\"" + face + "\"} " + sum + "\n" +
                "tervane_request_duration_seconds_count{face=\"" + face + "\"} " +
                std::to_string(histogram.count) + "\n";
    }
    text += "# HELP tervane_rate_limit_refusals_total Requests refused beyond --rate-limit (429).\n"
            "# TYPE tervane_rate_limit_refusals_total counter\n"
            "tervane_rate_limit_refusals_total " +
            std::to_string(rateRefusals) +
            "\n"
            "# HELP tervane_busy_refusals_total Requests refused by an overloaded service (503).\n"
            "# TYPE tervane_busy_refusals_total counter\n"
            "tervane_busy_refusals_total " +
            std::to_string(busyRefusals_) + "\n";
    return text;
}

MetricFamily RateStorageMetric(const RateStorageState& state) {
    return {"tervane_rate_limit_shared",
            "Whether the rate counters are shared with the other instances (1) or this "
            "instance counts alone (0)",
            "gauge",
            {{{{"storage", state.storage}}, state.shared ? 1.0 : 0.0}}};
}

} // namespace tervane::service

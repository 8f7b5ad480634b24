#include "service/engines/ApertiumEngine.h"

#include "service/apertium/ApertiumText.h"
#include "service/engines/DebianPairs.h"
#include "service/engines/LanguageCodes.h"

#include <algorithm>

namespace tervane::service {

ApertiumEngine::ApertiumEngine(ApertiumSettings settings)
    : settings_(std::move(settings)),
      pool_(
          settings_.pool, [this](const std::string& mode) { return StartPipeline(mode); },
          settings_.log) {
    ModeScan scan = ScanModes(settings_.modesDir);
    std::vector<PairCheck::Pair> checked;
    skipped_ = std::move(scan.skipped);
    for (InstalledMode& mode : scan.modes) {
        const bool variant =
            IsApertiumVariant(mode.pair.source) || IsApertiumVariant(mode.pair.target);
        for (const std::string& from : RoutingNodesForApertium(mode.pair.source)) {
            for (const std::string& to : RoutingNodesForApertium(mode.pair.target))
                listing_.push_back({Hop{from, to, mode.name}, variant});
        }
        // The mode file and every file its commands name: a package update changes one.
        std::vector<std::filesystem::path> files = {settings_.modesDir + "/" + mode.name + ".mode"};
        for (const Command& command : mode.commands) {
            for (const std::string& argument : command) {
                if (!argument.empty() && argument.front() == '/')
                    files.emplace_back(argument);
            }
        }
        commands_[mode.name] = std::move(mode.commands);
        checked.push_back({mode.name, mode.pair.source, std::move(files)});
    }
    if (settings_.checkPairs)
        check_ =
            std::make_unique<PairCheck>(std::move(checked), settings_.log, settings_.checkRecord);
}

ApertiumEngine::~ApertiumEngine() {
    std::lock_guard lock(startingMutex_);
    for (auto& [pair, start] : starting_)
        start.wait();
}

void ApertiumEngine::Prepare(const std::vector<Hop>& route) {
    std::lock_guard lock(startingMutex_);
    std::erase_if(starting_, [](const auto& start) {
        return start.second.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    for (std::size_t i = 1; i < route.size(); ++i) {
        const std::string& pair = route[i].id;
        const bool started = std::any_of(starting_.begin(), starting_.end(),
                                         [&](const auto& start) { return start.first == pair; });
        if (started || pool_.Has(pair))
            continue;
        // A lease taken and given back at once: the pipeline waits, idle, for its hop.
        starting_.emplace_back(pair, std::async(std::launch::async, [this, pair] {
                                   pool_.Acquire(pair, Clock::now() + std::chrono::seconds(60));
                               }));
    }
}

Result<std::unique_ptr<Pipeline>> ApertiumEngine::StartPipeline(const std::string& mode) {
    // A pair host is a pipeline of one process that reads the mode itself.
    if (!settings_.pairHost.empty())
        return Pipeline::Start({{settings_.pairHost, settings_.modesDir + "/" + mode + ".mode"}});
    return Pipeline::Start(commands_.at(mode));
}

PairListing ApertiumEngine::WorkingPairs() const {
    if (!check_)
        return listing_;
    PairListing working;
    for (const PairEntry& entry : listing_) {
        if (!check_->Broken(entry.hop.id))
            working.push_back(entry);
    }
    return working;
}

Result<std::string> ApertiumEngine::Translate(const Hop& hop, const std::string& text,
                                              Clock::time_point deadline) {
    const std::string stream = ToApertiumStream(text);
    const std::size_t maxOutput = stream.size() * settings_.maxOutputFactor + 64 * 1024;
    const std::string pair = "Apertium pair " + hop.id;
    // A pipeline that died between requests is noticed on Acquire; one that breaks during
    // the request (503) is replaced and the request tried once more on a fresh pipeline.
    // Broken twice, the pair itself is at fault: 502.
    for (int attempt = 0;; ++attempt) {
        Result<std::unique_ptr<PipelinePool::Lease>> lease = pool_.Acquire(hop.id, deadline);
        if (!lease.Ok())
            return Error{lease.Failure().status, pair + ": " + lease.Failure().reason};
        PipelinePool::Lease& pipeline = *lease.Value();
        if (check_ && check_->Unchecked(hop.id)) {
            // The pair's first use: its check sentence first, on the same pipeline. A pair
            // that fails it is left out; the translator then routes around it.
            const Result<std::string> check = pipeline->Exchange(
                ToApertiumStream(check_->SentenceFor(hop.id)), deadline, 1024 * 1024);
            if (check_->Settle(hop.id, check))
                return Error{502, pair + " failed on its check sentence and is left out"};
            if (!check.Ok())
                return Error{check.Failure().status, pair + " " + check.Failure().reason};
        }
        Result<std::string> output = pipeline->Exchange(stream, deadline, maxOutput);
        if (output.Ok())
            return RemoveUnknownWordMarks(FromApertiumStream(output.Value()), text);
        const Error& failure = output.Failure();
        if (failure.status != 503 || attempt == 1)
            return Error{failure.status == 503 ? 502 : failure.status, pair + " " + failure.reason};
    }
}

std::vector<PipelineCount> ApertiumEngine::Pipelines() {
    std::vector<PipelineCount> counts;
    for (const auto& [pair, state] : pool_.Census()) {
        for (const auto& [name, count] : {std::pair{"idle", state.idle},
                                          {"busy", state.busy},
                                          {"starting", state.starting},
                                          {"waiting", state.waiting}})
            counts.push_back({pair, name, count});
    }
    return counts;
}

std::string ApertiumEngine::MissingPairHint(std::string_view from, std::string_view to) const {
    // Short: with engines in a row the hints of all of them share one reason phrase. Only a
    // package Debian has is named.
    if (const auto package = DebianPairPackage(from, to))
        return "install the Apertium pair " + *package + ", or pairs that chain them";
    return "no Apertium pair between them is packaged for Debian";
}

} // namespace tervane::service

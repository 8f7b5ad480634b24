// The default engine: Apertium pairs installed on this machine, run as warm null-flush
// pipelines that start on first use and end when unused (PipelinePool).
#pragma once

#include "service/apertium/ApertiumMode.h"
#include "service/apertium/PipelinePool.h"
#include "service/engines/Engine.h"
#include "service/engines/PairCheck.h"

#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <utility>

namespace tervane::service {

struct ApertiumSettings {
    std::string modesDir = "/usr/share/apertium/modes";
    PoolSettings pool;
    // The pair host program (tervane-pair-host); empty: each stage its own process.
    std::string pairHost;
    bool checkPairs = false;           // each pair's check sentence at first use (PairCheck)
    std::filesystem::path checkRecord; // where the checks' results are kept across starts
    std::size_t maxOutputFactor = 16;  // output may be this many times the input, plus 64 KiB
    std::function<void(const std::string&)> log; // pipelines started and ended
};

class ApertiumEngine : public Engine {
  public:
    // Reads the modes once.
    explicit ApertiumEngine(ApertiumSettings settings);

    // Modes left out because they cannot run without a shell, one line each.
    const std::vector<std::string>& Skipped() const { return skipped_; }
    // Installed Apertium pairs (mode files) read; each gives one language direction or more.
    std::size_t InstalledPairs() const { return commands_.size(); }

    std::string Name() const override { return "apertium"; }
    // The listing, less the pairs that failed their check (in-process runner).
    Result<PairListing> Pairs(Clock::time_point) override { return WorkingPairs(); }
    std::optional<Result<PairListing>> LastPairs() override { return WorkingPairs(); }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    // Starts the pipelines of a route's later hops that have none, beside the first hop's.
    void Prepare(const std::vector<Hop>& route) override;
    // A stage's own processes, started for the request (ApertiumWordStages.cpp).
    std::optional<Result<std::vector<std::string>>>
    RunWordStage(const Hop& hop, WordStage stage, const std::vector<std::string>& streams,
                 Clock::time_point deadline) override;
    ~ApertiumEngine() override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;
    std::vector<PipelineCount> Pipelines() override;

  private:
    Result<std::unique_ptr<Pipeline>> StartPipeline(const std::string& mode);

    ApertiumSettings settings_;
    std::map<std::string, std::vector<Command>> commands_; // by mode name
    PairListing WorkingPairs() const;

    PairListing listing_;
    std::vector<std::string> skipped_;
    PipelinePool pool_; // its pipelines end before the commands they were made from
    std::mutex startingMutex_;
    // Prepare's starts by pair, waited for at the end.
    std::vector<std::pair<std::string, std::future<void>>> starting_;
    std::unique_ptr<PairCheck> check_; // null: pairs are not checked
};

} // namespace tervane::service

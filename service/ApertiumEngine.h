// The default engine: Apertium pairs installed on this machine, each kept warm in a pool of
// null-flush pipelines.
#pragma once

#include "service/ApertiumMode.h"
#include "service/Engine.h"
#include "service/PipelinePool.h"

#include <map>
#include <memory>
#include <mutex>

namespace tervane::service {

struct ApertiumSettings {
    std::string modesDir = "/usr/share/apertium/modes";
    std::size_t pipesPerPair = 2;
    std::size_t maxOutputFactor = 16; // output may be this many times the input, plus 64 KiB
};

class ApertiumEngine : public Engine {
  public:
    // Reads the modes once.
    explicit ApertiumEngine(ApertiumSettings settings);

    // Modes left out because they cannot run without a shell, one line each.
    const std::vector<std::string>& Skipped() const { return skipped_; }

    std::string Name() const override { return "apertium"; }
    Result<PairListing> Pairs() override { return listing_; }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    PipelinePool& Pool(const std::string& mode);

    ApertiumSettings settings_;
    std::map<std::string, std::vector<Command>> commands_; // by mode name
    PairListing listing_;
    std::vector<std::string> skipped_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<PipelinePool>> pools_;
};

} // namespace tervane::service

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
  // Reads the modes once; skipped modes are reported through skipped.
  ApertiumEngine(ApertiumSettings settings, std::vector<std::string> *skipped = nullptr);

  std::string name() const override { return "apertium"; }
  PairListing pairs() override { return listing_; }
  HopResult translate(const Hop &hop, const std::string &text,
                      Clock::time_point deadline) override;
  std::string missingPairHint(std::string_view from, std::string_view to) const override;

private:
  PipelinePool &pool(const std::string &mode);

  ApertiumSettings settings_;
  std::map<std::string, std::vector<Command>> commands_; // by mode name
  PairListing listing_;
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<PipelinePool>> pools_;
};

} // namespace tervane::service

#include "service/ApertiumEngine.h"

#include "service/ApertiumText.h"
#include "service/LanguageCodes.h"

namespace tervane::service {

ApertiumEngine::ApertiumEngine(ApertiumSettings settings, std::vector<std::string> *skipped)
    : settings_(std::move(settings)) {
  for (InstalledMode &mode : scanModes(settings_.modesDir, skipped)) {
    const bool variant =
        isApertiumVariant(mode.pair.source) || isApertiumVariant(mode.pair.target);
    for (std::string_view from : tableCodesForApertium(mode.pair.source)) {
      for (std::string_view to : tableCodesForApertium(mode.pair.target)) {
        listing_.pairs.push_back({Hop{std::string(from), std::string(to), mode.name}, variant});
      }
    }
    commands_[mode.name] = std::move(mode.commands);
  }
}

PipelinePool &ApertiumEngine::pool(const std::string &mode) {
  std::lock_guard lock(mutex_);
  auto &slot = pools_[mode];
  if (!slot) slot = std::make_unique<PipelinePool>(commands_.at(mode), settings_.pipesPerPair);
  return *slot;
}

HopResult ApertiumEngine::translate(const Hop &hop, const std::string &text,
                                    Clock::time_point deadline) {
  PipelinePool &pairPool = pool(hop.id);
  const std::string stream = toApertiumStream(text);
  const std::size_t maxOutput = stream.size() * settings_.maxOutputFactor + 64 * 1024;
  // A pipeline that died between requests is noticed on acquire; one that dies during the
  // request is replaced and the request tried once more on a fresh pipeline.
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string error;
    auto lease = pairPool.acquire(deadline, error);
    if (!lease) {
      const bool late = Clock::now() >= deadline;
      return EngineError{late ? 504 : 502, "Apertium pair " + hop.id + ": " + error};
    }
    std::string output;
    switch ((*lease)->exchange(stream, output, deadline, maxOutput)) {
    case Pipeline::Status::Ok:
      return removeUnknownWordMarks(fromApertiumStream(output), text);
    case Pipeline::Status::Timeout:
      return EngineError{504, "Apertium pair " + hop.id +
                                  " did not answer in time; its pipeline was restarted"};
    case Pipeline::Status::TooLarge:
      return EngineError{502, "Apertium pair " + hop.id + " produced too much output"};
    case Pipeline::Status::Crashed:
      break;
    }
  }
  return EngineError{502, "Apertium pair " + hop.id +
                              " stopped while translating; its pipeline was restarted"};
}

std::string ApertiumEngine::missingPairHint(std::string_view from, std::string_view to) const {
  return "install an Apertium pair between them (a Debian package such as apertium-" +
         std::string(preferredApertiumCode(from)) + "-" + std::string(preferredApertiumCode(to)) +
         ") or pairs that chain them through a third language";
}

} // namespace tervane::service

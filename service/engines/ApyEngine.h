// A remote Apertium APy server: its /listPairs gives the pairs, /translate one hop, /perWord
// a word's dictionary; chains are routed here like local pairs.
#pragma once

#include "service/engines/EngineDefinition.h"
#include "service/engines/RemoteEngine.h"

namespace tervane::service {

class ApyEngine : public RemoteEngine {
  public:
    explicit ApyEngine(RemoteUrl url);

    std::string Name() const override { return "apy"; }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    // APy's /perWord (its analyses and their bilingual lookup), where the server has the
    // pair's analyser; nothing where it answers none.
    std::optional<Result<std::vector<protocol::WordEntry>>>
    LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;
};

// Its row of the engine table: the options that name its server (and key).
EngineDefinition ApyEngineDefinition();

} // namespace tervane::service

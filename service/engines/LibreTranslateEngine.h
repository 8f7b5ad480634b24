// A LibreTranslate-compatible server: /languages gives what translates into what,
// /translate one step (the server pivots by itself where it needs to).
#pragma once

#include "service/engines/EngineDefinition.h"
#include "service/engines/RemoteEngine.h"

namespace tervane::service {

class LibreTranslateEngine : public RemoteEngine {
  public:
    LibreTranslateEngine(RemoteUrl url, std::string apiKey);

    std::string Name() const override { return "libretranslate"; }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    std::string apiKey_;
};

// Its row of the engine table: the options that name its server (and key).
EngineDefinition LibreTranslateEngineDefinition();

} // namespace tervane::service

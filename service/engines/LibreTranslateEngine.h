// A LibreTranslate-compatible server: /languages gives what translates into what,
// /translate one step (the server pivots by itself where it needs to).
#pragma once

#include "service/engines/EngineDefinition.h"
#include "service/engines/RemoteEngine.h"

#include <nlohmann/json.hpp>

namespace tervane::service {

class LibreTranslateEngine : public RemoteEngine {
  public:
    LibreTranslateEngine(RemoteUrl url, std::string apiKey);

    std::string Name() const override { return "libretranslate"; }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    // The translation and its "alternatives" as one entry without a part of speech, for a
    // single word; none where the server gives no alternatives.
    std::optional<Result<std::vector<protocol::WordEntry>>>
    LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    // A few: a server bounds how many a request may ask for, and refuses more.
    static constexpr int kAlternatives = 3;
    // One /translate; its JSON answer holds a "translatedText" string.
    Result<nlohmann::json> Ask(const Hop& hop, const std::string& text, int alternatives,
                               Clock::time_point deadline) const;
    std::string apiKey_;
};

// Its row of the engine table: the options that name its server (and key).
EngineDefinition LibreTranslateEngineDefinition();

} // namespace tervane::service

// Another Tervane service (a shared one on another machine, or the user's WSL): its
// /languages gives what it translates into what, and its /translate, in the program's own
// protocol, one step (it routes through its own pairs). Its key goes as a bearer token.
#pragma once

#include "service/engines/EngineDefinition.h"
#include "service/engines/RemoteEngine.h"

namespace tervane::service {

class TervaneEngine : public RemoteEngine {
  public:
    // apiKey: empty when the service asks for none (it is this machine's, or open).
    TervaneEngine(RemoteUrl url, const std::string& apiKey);

    std::string Name() const override { return "tervane"; }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    std::string authorization_;
};

// Its row of the engine table: the options that name its server (and key).
EngineDefinition TervaneEngineDefinition();

} // namespace tervane::service

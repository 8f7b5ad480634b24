// Another Tervane service (a shared one on another machine, or the user's WSL): its
// /languages gives what it translates into what, and its /translate, in the program's own
// protocol, one step (it routes through its own pairs), its /words a word's dictionary. Its key
// goes as a bearer token.
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
    // Its /words' entries; nothing from a service without /words (404, 405).
    std::optional<Result<std::vector<protocol::WordEntry>>>
    LookUpWord(const Hop& hop, const std::string& text, Clock::time_point deadline) override;
    std::string MissingPairHint(std::string_view from, std::string_view to) const override;

  private:
    // The program's form posted to path; a refusal as a failure, but for 404 and 405 when
    // the service may lack the path (it is from before it).
    Result<RemoteReply> Ask(std::string_view path, const Hop& hop, const std::string& text,
                            Clock::time_point deadline, bool mayLackPath) const;
    std::string authorization_;
};

// Its row of the engine table: the options that name its server (and key).
EngineDefinition TervaneEngineDefinition();

} // namespace tervane::service

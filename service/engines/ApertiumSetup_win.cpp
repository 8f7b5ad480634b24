#include "service/engines/ApertiumSetup.h"

namespace tervane::service {

Result<std::unique_ptr<Engine>> MakeApertiumEngine(const ApertiumOptions&, const EngineLog&) {
    return Error{400, "the apertium engine is not available on Windows; use --engine "
                      "libretranslate or --engine apy"};
}

void EndApertiumProcesses(std::chrono::milliseconds) {}

} // namespace tervane::service

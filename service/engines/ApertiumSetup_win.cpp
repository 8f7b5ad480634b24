#include "service/engines/ApertiumSetup.h"

namespace tervane::service {

Result<std::unique_ptr<Engine>> MakeApertiumEngine(const Options&,
                                                   const std::function<void(const std::string&)>&) {
    return Error{400, "the apertium engine is not available on Windows; use --engine "
                      "libretranslate or --engine apy"};
}

void EndApertiumProcesses(std::chrono::milliseconds) {}

} // namespace tervane::service

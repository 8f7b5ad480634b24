// One row of the engine table (EngineTable.h): an engine's name, the command-line options it
// owns and its factory. Each engine defines its row beside itself.
#pragma once

#include "service/core/Options.h"
#include "service/engines/Engine.h"

#include <functional>
#include <memory>
#include <string>

namespace tervane::service {

using EngineLog = std::function<void(const std::string&)>;

struct EngineDefinition {
    EngineSyntax syntax; // its name, its options
    // The engine as the command line asks for it (its options are read with
    // Options::EngineValue), or why it cannot run: the service does not start then.
    Result<std::unique_ptr<Engine>> (*make)(const Options& options, const EngineLog& log);
};

} // namespace tervane::service

// Every engine the service knows, in the order --help and its errors name them. Adding an
// engine: its row (EngineDefinition) beside the engine, and one line in EngineTable.cpp.
#pragma once

#include "service/engines/EngineDefinition.h"

#include <vector>

namespace tervane::service {

const std::vector<EngineDefinition>& EngineTable();

// The table as the command line reads it (ParseOptions, Usage).
std::vector<EngineSyntax> EngineSyntaxes();

// The engine of that name, made by its row's factory.
Result<std::unique_ptr<Engine>> MakeEngine(const std::string& name, const Options& options,
                                           const EngineLog& log);

} // namespace tervane::service

// The offline Apertium engine as the command line asks for it. Its pipelines are Linux
// processes (ApertiumSetup_posix.cpp); on Windows it is refused at start with a clear
// message (ApertiumSetup_win.cpp).
#pragma once

#include "service/core/Options.h"
#include "service/engines/Engine.h"

#include <chrono>
#include <functional>
#include <memory>

namespace tervane::service {

Result<std::unique_ptr<Engine>>
MakeApertiumEngine(const Options& options, const std::function<void(const std::string&)>& log);

// Ends every process group of Apertium's pipelines still running (SIGTERM, then SIGKILL
// after grace), so that none outlives the service; nothing to do on Windows, where the
// service starts no process.
void EndApertiumProcesses(std::chrono::milliseconds grace);

} // namespace tervane::service

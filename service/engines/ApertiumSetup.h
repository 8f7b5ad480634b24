// The offline Apertium engine as the command line asks for it. Its pipelines are Linux
// processes (ApertiumSetup_posix.cpp); on Windows it is refused at start with a clear
// message (ApertiumSetup_win.cpp).
#pragma once

#include "service/core/Options.h"
#include "service/engines/Engine.h"

#include <functional>
#include <memory>

namespace tervane::service {

Result<std::unique_ptr<Engine>>
MakeApertiumEngine(const Options& options, const std::function<void(const std::string&)>& log);

} // namespace tervane::service

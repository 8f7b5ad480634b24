// The stages the pair host runs through Apertium's libraries, one maker per program. Each
// returns nullptr for a command line it does not carry exactly as the program would.
#pragma once

#include "service/apertium/host/CommandFlags.h"
#include "service/apertium/host/Stage.h"

namespace tervane::service::host {

std::unique_ptr<Stage> MakeLtProcStage(const CommandFlags& flags);      // lttoolbox
std::unique_ptr<Stage> MakeTaggerStage(const CommandFlags& flags);      // apertium
std::unique_ptr<Stage> MakeTransferStage(const CommandFlags& flags);    // apertium
std::unique_ptr<Stage> MakeLexicalSelection(const CommandFlags& flags); // apertium-lex-tools

} // namespace tervane::service::host

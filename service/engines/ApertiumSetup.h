// The offline Apertium engine as the command line asks for it: its row of the engine table
// and its options (ApertiumSetup.cpp). Its pipelines are Linux processes
// (ApertiumSetup_posix.cpp); on Windows it is refused at start with a clear message
// (ApertiumSetup_win.cpp).
#pragma once

#include "service/engines/EngineDefinition.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace tervane::service {

// The apertium engine's options, read from the command line by its row.
struct ApertiumOptions {
    std::string modesDir;
    std::size_t pipesPerPair = 0;
    std::size_t maxPipelines = 0;   // Apertium pipelines live at once, all pairs together
    double idleTimeoutSeconds = 0;  // an unused pipeline ends after this
    unsigned long recycleAfter = 0; // requests one pipeline serves before it is replaced
    // How a pair's stages run: "processes" (a process per stage) or "inprocess" (one pair
    // host process per pipeline, its stages through Apertium's libraries).
    std::string apertiumRunner;
    bool checkPairs = true; // inprocess: each pair's check sentence before its first use
    bool alone = true;      // the only engine asked for: without a pair it refuses to start
};

EngineDefinition ApertiumEngineDefinition();

Result<std::unique_ptr<Engine>> MakeApertiumEngine(const ApertiumOptions& options,
                                                   const EngineLog& log);

// Ends every process group of Apertium's pipelines still running (SIGTERM, then SIGKILL
// after grace), so that none outlives the service; nothing to do on Windows, where the
// service starts no process.
void EndApertiumProcesses(std::chrono::milliseconds grace);

} // namespace tervane::service

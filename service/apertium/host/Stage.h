// One step of a pair's chain inside the pair host: Apertium's stream in, Apertium's stream
// out. A stage runs its whole input to the end, as the `apertium` command's stages do, so
// that each request is translated on its own, whatever came before it.
#pragma once

#include "service/apertium/ApertiumMode.h"

#include <memory>
#include <string>
#include <vector>

namespace tervane::service::host {

class Stage {
  public:
    virtual ~Stage() = default;
    // Throws std::runtime_error when the stage cannot go on; the host then ends, as a
    // stage's process would.
    virtual std::string Run(const std::string& input) = 0;
    // Where the stage runs, for the host's account of itself ("library", "process").
    virtual std::string Kind() const = 0;
};

// A stage run by Apertium's libraries, for the commands whose program and flags the host
// knows; nullptr for any other command (it then runs as a process).
std::unique_ptr<Stage> MakeLibraryStage(const Command& command);

// The commands (consecutive ones together) as processes joined by pipes, fed the same
// null-flushed stream the service's pipelines are.
std::unique_ptr<Stage> MakeProcessStage(const std::vector<Command>& commands);

} // namespace tervane::service::host

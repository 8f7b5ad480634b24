// A pair's whole chain in the pair host, from its mode file: the stages in the mode's order
// with the mode's flags, each through Apertium's libraries where Debian ships one for it,
// else as its program (consecutive programs share one pipeline).
#pragma once

#include "service/apertium/host/Stage.h"

#include <string>
#include <vector>

namespace tervane::service::host {

class PairChain {
  public:
    // Loads every stage; throws std::runtime_error saying what could not be loaded.
    explicit PairChain(const std::vector<Command>& commands);

    // One request: an Apertium stream without NUL, translated to the end.
    std::string Translate(const std::string& stream);

    // Each command and where it runs: "lt-proc library", "cg-proc process", one a line.
    const std::vector<std::string>& Placement() const { return placement_; }

  private:
    std::vector<std::unique_ptr<Stage>> stages_;
    std::vector<std::string> placement_;
};

} // namespace tervane::service::host

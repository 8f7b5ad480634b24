// Apertium's installed modes (/usr/share/apertium/modes/*.mode): which pair each one is and
// the argument vectors of its pipeline, ready to start without a shell.
#pragma once

#include "service/core/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

using Command = std::vector<std::string>;

struct ModeName {
    std::string source; // Apertium codes, possibly with a variant: "eng", "cat_valencia"
    std::string target;
};

// "fr-es" -> {fr, es}; names of other shapes ("eco-fr-es", "fr-es-debug") -> nullopt.
std::optional<ModeName> ParseModeName(std::string_view name);

// Splits a mode's one-line shell pipeline into commands. Quotes and backslashes are
// honoured; $1 becomes the generator's option (unmarked output, so unknown-word marks
// never reach the user) and $2 (extra tagger options) is dropped. Anything else a shell
// would interpret (redirections, substitutions, sequencing) makes the mode unsupported.
// Apertium's stream tools get -z so that each NUL-terminated request is flushed on its own.
// A mode that cannot be run without a shell is a failure saying why.
Result<std::vector<Command>> ParseModeCommands(std::string_view text);

struct InstalledMode {
    std::string name; // file name without .mode
    ModeName pair;
    std::vector<Command> commands;
};

struct ModeScan {
    std::vector<InstalledMode> modes; // by name
    std::vector<std::string> skipped; // one line each: a mode that does not parse, and why
};

// Every *.mode file of a directory that names a pair and parses; the others are listed as
// skipped and left out.
ModeScan ScanModes(const std::string& directory);

} // namespace tervane::service

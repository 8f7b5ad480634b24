// Apertium's installed modes (/usr/share/apertium/modes/*.mode): which pair each one is and
// the argument vectors of its pipeline, ready to start without a shell.
#pragma once

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
std::optional<ModeName> parseModeName(std::string_view name);

struct ModeParse {
  std::vector<Command> commands;
  std::string error; // non-empty when the mode cannot be run without a shell
};

// Splits a mode's one-line shell pipeline into commands. Quotes and backslashes are
// honoured; $1 becomes the generator's option (unmarked output, so unknown-word marks
// never reach the user) and $2 (extra tagger options) is dropped. Anything else a shell
// would interpret (redirections, substitutions, sequencing) makes the mode unsupported.
// Apertium's stream tools get -z so that each NUL-terminated request is flushed on its own.
ModeParse parseModeCommands(std::string_view text);

struct InstalledMode {
  std::string name; // file name without .mode
  ModeName pair;
  std::vector<Command> commands;
};

// Every *.mode file of a directory that names a pair and parses; the others are reported
// through skipped (one line each) and left out.
std::vector<InstalledMode> scanModes(const std::string &directory,
                                     std::vector<std::string> *skipped = nullptr);

} // namespace tervane::service

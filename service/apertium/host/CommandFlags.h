// A stage's command as its program would read it: the program's name, its one-letter
// flags (with the value of those that take one) and its file arguments.
#pragma once

#include "service/apertium/ApertiumMode.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service::host {

struct CommandFlags {
    std::string program;             // base name: "lt-proc"
    std::map<char, std::string> set; // flag -> value ("" for a flag without one)
    std::vector<std::string> files;

    bool Has(char flag) const { return set.count(flag) != 0; }
    // True when every flag given is one of known.
    bool OnlyFrom(std::string_view known) const;
};

// valued: the flags that take a value ("N" for lt-proc's -N1 or -N 1). nullopt for a
// command the host would have to guess at (long options, a lone "-").
std::optional<CommandFlags> ReadFlags(const Command& command, std::string_view valued);

} // namespace tervane::service::host

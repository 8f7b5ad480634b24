// The Apertium language pairs Debian packages, for messages that tell an operator what to
// install: a message names only a package that exists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tervane::service {

// The Debian package of an Apertium pair between two of the program's codes, in either
// direction ("fr", "es" -> "apertium-fr-es"); nothing when Debian packages none.
std::optional<std::string> DebianPairPackage(std::string_view fromTable, std::string_view toTable);

} // namespace tervane::service

#pragma once
// Which translation server the Windows service asks, as the installer set it up: the
// engine and URL in the service's command line, which the installer writes as the Run value
// "Tervane Service" (installer/tervane.nsi). The program names them when the service is not
// running or cannot reach that server, so that the user knows what failed and what to do.
#include "base/Registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace tervane {

inline constexpr std::string_view kServiceRunKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kServiceRunValue = "Tervane Service";

struct InstalledServer {
    std::string engine; // as a person names it: "Apertium APy", "LibreTranslate", ...
    std::string url;    // empty for the offline engine
};

// The server of a service command line ("... --engine apy --apy-url \"URL\" ..."); the
// service's default engine, offline Apertium, when it names none. Nothing for a line that
// is not a command line of the service.
std::optional<InstalledServer> ServerOfServiceCommand(std::string_view commandLine);

// The server the installer set up for the current user, read from the Run value; nothing
// when the service was not installed.
std::optional<InstalledServer> ReadInstalledServer(Registry& registry);

// "Apertium APy at https://apertium.org/apy", or only the engine when it has no URL.
std::string DescribeServer(const InstalledServer& server);

} // namespace tervane

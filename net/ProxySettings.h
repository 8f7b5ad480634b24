#pragma once
// The current user's system proxy, read from the registry before every request, so that a
// change takes effect at the next request without a restart.
#include "base/Registry.h"
#include "net/HttpClient.h"

#include <cstdint>
#include <string>

namespace tervane {

inline constexpr std::string_view kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Reads "ProxyServer" (host, colon, port) and "ProxyEnable" (number, text or binary).
// Returns true exactly when a non-empty "ProxyServer" was read; only then are host and port
// written. `enabled` is always written. A value of a type that cannot hold what it should
// throws "Invalid data type for '<name>'".
bool GetProxySettings(Registry& registry, std::string& host, std::int32_t& port, bool& enabled);

// Gives the client the system proxy: used (with basic proxy authentication) when enabled,
// cleared when disabled, left as it was when the system names no proxy server.
void ApplySystemProxy(HttpClient& http, Registry& registry);

} // namespace tervane

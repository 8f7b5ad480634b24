// IP addresses as sockets, clients and proxies write them, read into their eight 16-bit
// groups, so that addresses and networks of both families compare alike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tervane::service {

using IpGroups = std::array<std::uint16_t, 8>;

// The groups of an IPv6 address's text ("::" and a final dotted IPv4 part included, a zone
// "%eth0" ignored), or nothing when it is not one.
std::optional<IpGroups> ParseIpv6(std::string_view text);

// An IPv6 address, or an IPv4 one ("192.0.2.7") as its IPv4-mapped IPv6 address
// (::ffff:192.0.2.7), or nothing.
std::optional<IpGroups> ParseIpAddress(std::string_view text);

} // namespace tervane::service

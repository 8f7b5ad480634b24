// This machine's own addresses on its network interfaces, not loopback: a connection from
// the machine to one of them reaches the service from that address, as another machine's
// would (the service sees a peer that is not loopback), with no switch in the service.
#pragma once

#include <string>

namespace tervane::testing {

// The first address of an interface that is up and not loopback, of the family (AF_INET,
// AF_INET6; IPv6 link-local addresses left out); "" when the machine has none.
std::string NonLoopbackAddress(int family);

// "http://192.0.2.2:8080", "http://[fd00::2]:8080".
std::string HttpOrigin(const std::string& address, unsigned short port);

} // namespace tervane::testing

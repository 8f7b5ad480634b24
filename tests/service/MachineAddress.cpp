#include "MachineAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace tervane::testing {

std::string NonLoopbackAddress(int family) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return "";
    std::string found;
    for (const ifaddrs* entry = list; entry != nullptr && found.empty(); entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != family ||
            (entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        char text[INET6_ADDRSTRLEN] = {};
        if (family == AF_INET) {
            const auto* v4 = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
            ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        } else {
            const auto* v6 = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
            if (IN6_IS_ADDR_LINKLOCAL(&v6->sin6_addr))
                continue; // would need a scope to connect to
            ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        }
        found = text;
    }
    ::freeifaddrs(list);
    return found;
}

std::string HttpOrigin(const std::string& address, unsigned short port) {
    const bool v6 = address.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

} // namespace tervane::testing

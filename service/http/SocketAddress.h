// Reading a socket address, the same over POSIX sockets and Winsock: included by
// Socket_posix.cpp and Socket_win.cpp after their system's socket headers.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

namespace tervane::service::socket_address {

inline bool IsLoopback(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
    }
    return false;
}

// Whether every address host resolved to is a loopback one, before any is bound.
inline bool AllLoopback(const addrinfo* found) {
    for (const addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
        sockaddr_storage address{};
        std::memcpy(&address, ai->ai_addr, std::min<std::size_t>(ai->ai_addrlen, sizeof address));
        if (!IsLoopback(address))
            return false;
    }
    return true;
}

// Where a client on this machine reaches a listener bound to ai's address: there, or on
// loopback for the unspecified address (0.0.0.0, ::).
inline sockaddr_storage Reachable(const addrinfo* ai) {
    sockaddr_storage target{};
    std::memcpy(&target, ai->ai_addr, std::min<std::size_t>(ai->ai_addrlen, sizeof target));
    if (target.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&target);
        if (v4->sin_addr.s_addr == htonl(INADDR_ANY))
            v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    } else if (target.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&target);
        if (IN6_IS_ADDR_UNSPECIFIED(&v6->sin6_addr))
            v6->sin6_addr = in6addr_loopback;
    }
    return target;
}

inline unsigned short Port(const sockaddr_storage& address) {
    return ntohs(address.ss_family == AF_INET
                     ? reinterpret_cast<const sockaddr_in*>(&address)->sin_port
                     : reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
}

inline std::string Text(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (address.ss_family == AF_INET) {
        auto v4 = reinterpret_cast<const sockaddr_in*>(&address)->sin_addr;
        ::inet_ntop(AF_INET, &v4, text, sizeof text);
    } else if (address.ss_family == AF_INET6) {
        auto v6 = reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr;
        ::inet_ntop(AF_INET6, &v6, text, sizeof text);
    }
    return text;
}

} // namespace tervane::service::socket_address

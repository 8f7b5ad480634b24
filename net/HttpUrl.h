#pragma once
// The parts of an http:// or https:// address that a request needs, and the loopback test
// that keeps requests to this machine away from a proxy.
#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

struct HttpUrl {
    std::string host;        // as written, an IPv6 address with its brackets
    std::uint16_t port = 80; // 443 for https:// unless given
    std::string path;        // path and query, "/" at least
    bool secure = false;     // https://: TLS, the server's certificate checked
};

// Splits "http[s]://host[:port][/path][?query]"; the fragment is dropped. Anything else
// (another scheme, no host, a bad port) is a std::runtime_error naming the address.
HttpUrl ParseHttpUrl(std::string_view url);

// The address a Location header (or any other reference) points to, read against the
// address of the request that received it: an absolute address stays as it is; "//host/x",
// "/x", "x", "../x" and "?q" are completed from `base`, dot segments removed. The
// fragment is dropped.
std::string ResolveHttpUrl(std::string_view base, std::string_view reference);

// True for names that always mean this machine: localhost, 127.0.0.0/8 and [::1]. A proxy
// elsewhere cannot reach them, so requests to them go direct.
bool IsLoopbackHost(std::string_view host);

} // namespace tervane

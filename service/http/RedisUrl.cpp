#include "service/http/RedisUrl.h"

#include <charconv>

namespace tervane::service {
namespace {

constexpr std::string_view kScheme = "redis://";

template <typename Number> bool ReadNumber(std::string_view text, Number& number, Number most) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           number <= most;
}

} // namespace

std::string RedisAddress::Text() const {
    const bool v6 = host.find(':') != std::string::npos;
    return std::string(kScheme) + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port) +
           "/" + std::to_string(database);
}

Result<RedisAddress> ParseRedisUrl(std::string_view url) {
    const Error wrong{400, "expected redis://HOST:PORT[/DB] (a password or other options are "
                           "not supported)"};
    if (url.substr(0, kScheme.size()) != kScheme)
        return wrong;
    std::string_view rest = url.substr(kScheme.size());
    RedisAddress address;
    if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
        if (!ReadNumber(rest.substr(slash + 1), address.database, 1 << 20))
            return wrong;
        rest = rest.substr(0, slash);
    }
    std::string_view host;
    std::string_view port;
    if (rest.substr(0, 1) == "[") {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos || rest.substr(close + 1, 1) != ":")
            return wrong;
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos)
            return wrong;
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    // A name, or an address: nothing that could be user information, a query or a second port.
    for (const char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':';
        if (!allowed)
            return wrong;
    }
    unsigned short number = 0;
    if (host.empty() || !ReadNumber<unsigned short>(port, number, 65535) || number == 0)
        return wrong;
    address.host = std::string(host);
    address.port = number;
    return address;
}

} // namespace tervane::service

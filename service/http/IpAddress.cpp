#include "service/http/IpAddress.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

namespace tervane::service {

std::optional<IpGroups> ParseIpv6(std::string_view text) {
    text = text.substr(0, text.find('%'));
    std::vector<std::uint16_t> head, tail;
    std::vector<std::uint16_t>* groups = &head;
    bool compressed = false;
    std::size_t at = 0;
    if (text.substr(0, 2) == "::") {
        compressed = true;
        groups = &tail;
        at = 2;
    }
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(':', at), text.size());
        const std::string_view part = text.substr(at, end - at);
        if (part.find('.') != std::string_view::npos && end == text.size()) {
            unsigned a, b, c, d;
            char extra;
            const std::string dotted(part);
            if (std::sscanf(dotted.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &extra) != 4 ||
                a > 255 || b > 255 || c > 255 || d > 255)
                return std::nullopt;
            groups->push_back(static_cast<std::uint16_t>(a << 8 | b));
            groups->push_back(static_cast<std::uint16_t>(c << 8 | d));
            break;
        }
        unsigned value = 0;
        const auto [stop, error] =
            std::from_chars(part.data(), part.data() + part.size(), value, 16);
        if (part.empty() || part.size() > 4 || error != std::errc() ||
            stop != part.data() + part.size())
            return std::nullopt;
        groups->push_back(static_cast<std::uint16_t>(value));
        at = end + 1;
        if (at < text.size() && text[at] == ':') {
            if (compressed)
                return std::nullopt;
            compressed = true;
            groups = &tail;
            ++at;
        } else if (end + 1 == text.size()) {
            return std::nullopt; // a single ':' at the end
        }
    }
    if (head.size() + tail.size() > 8 || (!compressed && head.size() != 8) ||
        (compressed && head.size() + tail.size() == 8))
        return std::nullopt;
    IpGroups address{};
    std::copy(head.begin(), head.end(), address.begin());
    std::copy(tail.begin(), tail.end(), address.end() - static_cast<std::ptrdiff_t>(tail.size()));
    return address;
}

std::optional<IpGroups> ParseIpAddress(std::string_view text) {
    if (text.find(':') != std::string_view::npos)
        return ParseIpv6(text);
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    return ParseIpv6("::ffff:" + std::string(text));
}

} // namespace tervane::service

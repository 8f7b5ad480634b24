#include "service/http/TrustedProxies.h"

#include <algorithm>
#include <charconv>

namespace tervane::service {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t at = text.find(separator);
        parts.push_back(Trim(text.substr(0, at)));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

// A node of Forwarded's for=: "192.0.2.7", "192.0.2.7:4711", "[2001:db8::1]:4711", quoted
// or not; the address without its port.
std::string_view NodeAddress(std::string_view node) {
    if (node.size() >= 2 && node.front() == '"' && node.back() == '"')
        node = node.substr(1, node.size() - 2);
    if (!node.empty() && node.front() == '[') {
        const std::size_t close = node.find(']');
        return close == std::string_view::npos ? node : node.substr(1, close - 1);
    }
    if (std::count(node.begin(), node.end(), ':') == 1)
        return node.substr(0, node.find(':'));
    return node;
}

// Every address the forwarding headers name, left to right, each header line in turn:
// Forwarded when the request has it (the standard), else X-Forwarded-For.
std::vector<std::string_view> ForwardedChain(const HttpRequest& request) {
    std::vector<std::string_view> chain;
    for (const auto& [name, value] : request.headers) {
        if (!EqualsIgnoreCase(name, "Forwarded"))
            continue;
        for (std::string_view element : Split(value, ',')) {
            for (std::string_view pair : Split(element, ';')) {
                if (pair.size() > 4 && EqualsIgnoreCase(pair.substr(0, 4), "for="))
                    chain.push_back(NodeAddress(Trim(pair.substr(4))));
            }
        }
    }
    if (!chain.empty())
        return chain;
    for (const auto& [name, value] : request.headers) {
        if (EqualsIgnoreCase(name, "X-Forwarded-For")) {
            for (std::string_view address : Split(value, ','))
                chain.push_back(address);
        }
    }
    return chain;
}

bool InNetwork(const IpGroups& address, const IpGroups& network, int bits) {
    for (int group = 0; group < 8 && bits > 0; ++group, bits -= 16) {
        const unsigned mask = bits >= 16 ? 0xFFFFu : (0xFFFFu << (16 - bits)) & 0xFFFFu;
        if ((address[group] & mask) != (network[group] & mask))
            return false;
    }
    return true;
}

} // namespace

std::optional<std::string> TrustedProxies::Add(std::string_view network) {
    const std::size_t slash = network.find('/');
    const std::string_view address = network.substr(0, slash);
    const std::optional<IpGroups> parsed = ParseIpAddress(address);
    if (!parsed)
        return "not an IPv4 or IPv6 address: '" + std::string(address) + "'";
    const bool v4 = address.find(':') == std::string_view::npos;
    const int most = v4 ? 32 : 128;
    int bits = most;
    if (slash != std::string_view::npos) {
        const std::string_view text = network.substr(slash + 1);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || bits < 0 ||
            bits > most)
            return "the prefix length after '/' must be 0 to " + std::to_string(most);
    }
    networks_.push_back({*parsed, v4 ? bits + 96 : bits});
    return std::nullopt;
}

bool TrustedProxies::Trusts(std::string_view address) const {
    const std::optional<IpGroups> parsed = ParseIpAddress(address);
    return parsed && std::any_of(networks_.begin(), networks_.end(), [&](const Network& network) {
               return InNetwork(*parsed, network.address, network.bits);
           });
}

std::string TrustedProxies::ClientOf(const HttpRequest& request) const {
    if (!Trusts(request.peer))
        return request.peer;
    const std::vector<std::string_view> chain = ForwardedChain(request);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it->empty())
            continue;
        if (!Trusts(*it))
            return std::string(*it);
    }
    // Every hop a trusted proxy: the first of them is the client, or the peer itself when
    // nothing was forwarded (the proxy's own health checks).
    for (std::string_view address : chain) {
        if (!address.empty())
            return std::string(address);
    }
    return request.peer;
}

} // namespace tervane::service

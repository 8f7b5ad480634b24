#include "net/HttpUrl.h"

#include <stdexcept>

namespace tervane {

namespace {

[[noreturn]] void ThrowBadUrl(std::string_view url) {
    throw std::runtime_error("Invalid HTTP address '" + std::string(url) + "'");
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// A dotted quad of four decimal numbers up to 255 whose first number is 127.
bool IsLoopbackIpv4(std::string_view host) {
    int parts = 0;
    std::size_t i = 0;
    bool first127 = false;
    while (parts < 4) {
        std::size_t digits = 0;
        int value = 0;
        while (i < host.size() && host[i] >= '0' && host[i] <= '9' && digits < 3) {
            value = value * 10 + (host[i++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255)
            return false;
        if (parts == 0)
            first127 = value == 127;
        ++parts;
        if (parts < 4) {
            if (i >= host.size() || host[i] != '.')
                return false;
            ++i;
        }
    }
    return i == host.size() && first127;
}

} // namespace

HttpUrl ParseHttpUrl(std::string_view url) {
    constexpr std::string_view kPlain = "http://";
    constexpr std::string_view kSecure = "https://";
    const auto startsWith = [&](std::string_view scheme) {
        return url.size() >= scheme.size() &&
               EqualsIgnoringCase(url.substr(0, scheme.size()), scheme);
    };
    HttpUrl result;
    std::string_view rest;
    if (startsWith(kPlain)) {
        rest = url.substr(kPlain.size());
    } else if (startsWith(kSecure)) {
        rest = url.substr(kSecure.size());
        result.secure = true;
        result.port = 443;
    } else {
        ThrowBadUrl(url);
    }
    rest = rest.substr(0, rest.find('#'));
    const std::size_t pathStart = rest.find_first_of("/?");
    const std::string_view authority = rest.substr(0, pathStart);

    std::string_view portText;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            ThrowBadUrl(url);
        result.host = authority.substr(0, close + 1);
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && !after.starts_with(':'))
            ThrowBadUrl(url);
        if (!after.empty())
            portText = after.substr(1);
        if (after == ":")
            ThrowBadUrl(url);
    } else {
        const std::size_t colon = authority.find(':');
        result.host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
            if (portText.empty())
                ThrowBadUrl(url);
        }
    }
    if (result.host.empty())
        ThrowBadUrl(url);
    if (!portText.empty()) {
        unsigned long port = 0;
        for (char c : portText) {
            if (c < '0' || c > '9' || port > 65535)
                ThrowBadUrl(url);
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (port == 0 || port > 65535)
            ThrowBadUrl(url);
        result.port = static_cast<std::uint16_t>(port);
    }
    // "http://host?q" asks for "/?q".
    const std::string_view path =
        pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
    if (!path.starts_with('/'))
        result.path.push_back('/');
    result.path.append(path);
    return result;
}

bool IsLoopbackHost(std::string_view host) {
    if (host.ends_with('.'))
        host.remove_suffix(1); // the fully qualified "localhost."
    return EqualsIgnoringCase(host, "localhost") || host == "[::1]" || IsLoopbackIpv4(host);
}

namespace {

// RFC 3986's remove_dot_segments, for an absolute path.
std::string RemoveDotSegments(std::string_view path) {
    std::string out;
    while (!path.empty()) {
        if (path.starts_with("../")) {
            path.remove_prefix(3);
        } else if (path.starts_with("./")) {
            path.remove_prefix(2);
        } else if (path.starts_with("/./")) {
            path.remove_prefix(2);
        } else if (path == "/.") {
            path = "/";
        } else if (path.starts_with("/../") || path == "/..") {
            path = path == "/.." ? std::string_view("/") : path.substr(3);
            const std::size_t cut = out.rfind('/');
            out.erase(cut == std::string::npos ? 0 : cut);
        } else if (path == "." || path == "..") {
            path = {};
        } else {
            const std::size_t next = path.find('/', 1);
            out.append(path.substr(0, next));
            path = next == std::string_view::npos ? std::string_view() : path.substr(next);
        }
    }
    return out;
}

bool HasScheme(std::string_view reference) {
    const std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = reference[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

} // namespace

std::string ResolveHttpUrl(std::string_view base, std::string_view reference) {
    reference = reference.substr(0, reference.find('#'));
    if (HasScheme(reference))
        return std::string(reference);
    base = base.substr(0, base.find('#'));
    const std::size_t schemeEnd = base.find("//");
    if (schemeEnd == std::string_view::npos)
        return std::string(reference);
    const std::string_view scheme = base.substr(0, schemeEnd); // "http:"
    if (reference.starts_with("//"))
        return std::string(scheme) + std::string(reference);
    const std::size_t pathStart = base.find_first_of("/?", schemeEnd + 2);
    const std::string_view origin = base.substr(0, pathStart);
    const std::string_view pathAndQuery =
        pathStart == std::string_view::npos ? std::string_view() : base.substr(pathStart);
    const std::string_view basePath = pathAndQuery.substr(0, pathAndQuery.find('?'));
    if (reference.empty())
        return std::string(origin) + std::string(pathAndQuery);
    if (reference.starts_with("?"))
        return std::string(origin) + std::string(basePath.empty() ? "/" : basePath) +
               std::string(reference);
    const std::size_t queryStart = reference.find('?');
    const std::string_view refPath = reference.substr(0, queryStart);
    const std::string_view refQuery =
        queryStart == std::string_view::npos ? std::string_view() : reference.substr(queryStart);
    std::string merged;
    if (refPath.starts_with("/")) {
        merged = std::string(refPath);
    } else {
        const std::size_t lastSlash = basePath.rfind('/');
        merged =
            (lastSlash == std::string_view::npos ? std::string("/")
                                                 : std::string(basePath.substr(0, lastSlash + 1))) +
            std::string(refPath);
    }
    return std::string(origin) + RemoveDotSegments(merged) + std::string(refQuery);
}

} // namespace tervane

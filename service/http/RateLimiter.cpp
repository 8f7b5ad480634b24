#include "service/http/RateLimiter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace tervane::service {
namespace {

// The eight 16-bit groups of an IPv6 address's text ("::" and a final dotted IPv4 part
// included, a zone "%eth0" ignored), or nothing when it is not one.
std::optional<std::array<std::uint16_t, 8>> ParseIpv6(std::string_view text) {
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
    std::array<std::uint16_t, 8> address{};
    std::copy(head.begin(), head.end(), address.begin());
    std::copy(tail.begin(), tail.end(), address.end() - static_cast<std::ptrdiff_t>(tail.size()));
    return address;
}

// A client idle this long has its whole share again: its bucket is as good as a new one.
constexpr std::chrono::seconds kRefillTime{60};

} // namespace

std::string RateClientOfAddress(std::string_view address) {
    if (address.find(':') == std::string_view::npos)
        return "address " + std::string(address);
    const auto groups = ParseIpv6(address);
    if (!groups)
        return "address " + std::string(address);
    const bool mapped =
        std::all_of(groups->begin(), groups->begin() + 5, [](std::uint16_t g) { return g == 0; }) &&
        (*groups)[5] == 0xFFFF;
    if (mapped) {
        return "address " + std::to_string((*groups)[6] >> 8) + "." +
               std::to_string((*groups)[6] & 0xFF) + "." + std::to_string((*groups)[7] >> 8) + "." +
               std::to_string((*groups)[7] & 0xFF);
    }
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "address %x:%x:%x:%x::/64", (*groups)[0], (*groups)[1],
                  (*groups)[2], (*groups)[3]);
    return prefix;
}

RateLimiter::RateLimiter(std::size_t perMinute, std::size_t maxClients)
    : capacity_(static_cast<double>(perMinute)), perSecond_(static_cast<double>(perMinute) / 60),
      maxClients_(std::max<std::size_t>(1, maxClients)) {}

RateLimiter::Bucket& RateLimiter::Refilled(const std::string& client, Clock::time_point now) {
    auto [it, added] = buckets_.try_emplace(client, Bucket{capacity_, now, {}});
    Bucket& bucket = it->second;
    if (added) {
        used_.push_front(client);
    } else {
        used_.splice(used_.begin(), used_, bucket.used);
    }
    bucket.used = used_.begin();
    const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
    if (seconds > 0) {
        bucket.tokens = std::min(capacity_, bucket.tokens + seconds * perSecond_);
        bucket.filled = now;
    }
    return bucket;
}

// From the least recently used end only, so no request pays for a scan of every client:
// those idle for a full refill are forgotten (they would start full anyway), and beyond
// maxClients the least recently used go.
void RateLimiter::Forget(Clock::time_point now) {
    while (!used_.empty()) {
        const auto oldest = buckets_.find(used_.back());
        if (buckets_.size() <= maxClients_ && now - oldest->second.filled < kRefillTime)
            break;
        buckets_.erase(oldest);
        used_.pop_back();
    }
}

long RateLimiter::Take(const std::vector<std::string>& clients, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    double wait = 0;
    for (const std::string& client : clients) {
        const Bucket& bucket = Refilled(client, now);
        // Within a rounding error of a whole request, the request has come back.
        if (bucket.tokens < 1 - 1e-9)
            wait = std::max(wait, (1 - bucket.tokens) / perSecond_);
    }
    Forget(now);
    if (wait > 0)
        return std::max(1L, static_cast<long>(std::ceil(wait)));
    for (const std::string& client : clients) {
        if (const auto found = buckets_.find(client); found != buckets_.end())
            found->second.tokens -= 1;
    }
    return 0;
}

std::size_t RateLimiter::Clients() {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

} // namespace tervane::service

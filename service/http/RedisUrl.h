// The Redis a shared service's rate counters live in: --rate-limit-storage
// redis://HOST:PORT[/DB] (HOST a name, an IPv4 address or [an IPv6 address]).
#pragma once

#include "service/core/Result.h"

#include <string>
#include <string_view>

namespace tervane::service {

struct RedisAddress {
    std::string host;
    unsigned short port = 6379;
    int database = 0;
    // "redis://127.0.0.1:6379/0": for the log and /health.
    std::string Text() const;
};

// The address, or a 400 saying what the value should look like.
Result<RedisAddress> ParseRedisUrl(std::string_view url);

} // namespace tervane::service

// Rate counters shared by every instance that names the same Redis (--rate-limit-storage
// redis://HOST:PORT[/DB]), with the limits and Retry-After of the in-memory ones.
//
// A Redis that cannot be reached never stops the service nor the limiting: the instance
// counts with its own counters meanwhile (each instance then grants the whole rate), says so
// in its log and in /health (an idle connection is tried once a second), and connects
// again in the background, after 0.5 s, then twice as long each time up to 8 s. A request never
// waits long on a dead Redis: connecting and each command are bounded at a quarter of a second, and
// a request that finds the Redis gone counts with the instance's own counters at once.
#pragma once

#include "service/core/Result.h"
#include "service/http/RateStorage.h"
#include "service/http/RedisUrl.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace tervane::service {

// The storage, or the reason it cannot be used here (Windows: no Redis client is built in).
Result<std::unique_ptr<RateStorage>>
MakeSharedRateStorage(const RedisAddress& redis, std::size_t perMinute,
                      std::function<void(const std::string&)> log);

} // namespace tervane::service

#include "service/http/SharedRateStorage.h"

#include "service/http/RateLimiter.h"

#include <hiredis/hiredis.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tervane::service {
namespace {

using Log = std::function<void(const std::string&)>;

constexpr timeval kRedisTimeout{0, 250000}; // connecting, and each command
constexpr std::chrono::milliseconds kFirstRetry{500};
constexpr std::chrono::milliseconds kLastRetry{8000};
constexpr std::chrono::seconds kWatch{1}; // a connection unused this long is asked for a PING

// RateLimiter's buckets, one hash a client (tokens, filled), taken all or none in one
// script so that instances never interleave within a request. The Redis's clock serves
// every instance, so theirs need not agree. A bucket is forgotten a minute after its last
// use, when it would be full anyway. Clients (a key among them) are stored only hashed.
constexpr const char* kTakeScript = R"(
local capacity = tonumber(ARGV[1])
local perSecond = capacity / 60
local time = redis.call('TIME')
local now = tonumber(time[1]) + tonumber(time[2]) / 1000000
local names, tokens, wait = {}, {}, 0
for i = 2, #ARGV do
  names[i] = 'tervane:rate:' .. redis.sha1hex(ARGV[i])
  local bucket = redis.call('HMGET', names[i], 'tokens', 'filled')
  local left = tonumber(bucket[1]) or capacity
  local filled = tonumber(bucket[2]) or now
  if now > filled then left = math.min(capacity, left + (now - filled) * perSecond) end
  tokens[i] = left
  if left < 1 - 1e-9 then wait = math.max(wait, (1 - left) / perSecond) end
end
if wait > 0 then return math.max(1, math.ceil(wait)) end
for i = 2, #ARGV do
  redis.call('HSET', names[i], 'tokens', tostring(tokens[i] - 1), 'filled', tostring(now))
  redis.call('EXPIRE', names[i], 60)
end
return 0
)";

struct ReplyDeleter {
    void operator()(redisReply* reply) const { freeReplyObject(reply); }
};
using Reply = std::unique_ptr<redisReply, ReplyDeleter>;

struct ContextDeleter {
    void operator()(redisContext* context) const { redisFree(context); }
};
using Context = std::unique_ptr<redisContext, ContextDeleter>;

Reply Command(redisContext& context, const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    std::vector<std::size_t> lengths;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.data());
        lengths.push_back(argument.size());
    }
    return Reply(static_cast<redisReply*>(
        redisCommandArgv(&context, static_cast<int>(argv.size()), argv.data(), lengths.data())));
}

// What went wrong with a command: the Redis's error, or the connection's. A read that timed
// out is worded as such, not as the socket's EAGAIN.
std::string Failure(const redisContext& context, const redisReply* reply) {
    if (reply && reply->type == REDIS_REPLY_ERROR)
        return std::string(reply->str, reply->len);
    if (context.err == REDIS_ERR_IO && (errno == EAGAIN || errno == EWOULDBLOCK))
        return "no answer within 250 ms";
    if (context.err)
        return context.errstr;
    return "an unexpected answer";
}

class RedisRateStorage final : public RateStorage {
  public:
    RedisRateStorage(RedisAddress redis, std::size_t perMinute, Log log)
        : redis_(std::move(redis)), perMinute_(std::to_string(perMinute)), log_(std::move(log)),
          own_(perMinute) {
        std::string reason;
        Context context = Connect(reason);
        {
            std::lock_guard lock(mutex_);
            if (context) {
                context_ = std::move(context);
                log_("rate limits: shared through " + redis_.Text() +
                     " with every instance that names it");
            } else {
                LostLocked(reason);
            }
        }
        reconnecting_ = std::thread([this] { ReconnectWhenLost(); });
    }

    ~RedisRateStorage() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        reconnecting_.join();
    }

    long Take(const std::vector<std::string>& clients) override {
        {
            std::lock_guard lock(mutex_);
            if (context_) {
                std::vector<std::string> arguments{"EVAL", kTakeScript, "0", perMinute_};
                arguments.insert(arguments.end(), clients.begin(), clients.end());
                const Reply reply = Command(*context_, arguments);
                if (reply && reply->type == REDIS_REPLY_INTEGER)
                    return static_cast<long>(reply->integer);
                LostLocked(Failure(*context_, reply.get()));
            }
        }
        return own_.Take(clients);
    }

    RateStorageState State() override {
        std::lock_guard lock(mutex_);
        return {redis_.Text(), context_ != nullptr, context_ ? "" : reason_};
    }

  private:
    // A connection that answers, or null with the reason.
    Context Connect(std::string& reason) const {
        Context context(redisConnectWithTimeout(redis_.host.c_str(), redis_.port, kRedisTimeout));
        if (!context) {
            reason = "out of memory";
            return nullptr;
        }
        if (context->err == 0 && redisSetTimeout(context.get(), kRedisTimeout) == REDIS_OK) {
            const Reply reply = Command(*context, {"SELECT", std::to_string(redis_.database)});
            if (reply && reply->type == REDIS_REPLY_STATUS)
                return context;
            reason = Failure(*context, reply.get());
            return nullptr;
        }
        reason = context->errstr[0] ? context->errstr : "cannot connect";
        return nullptr;
    }

    // The connection is dropped: requests count with this instance's own counters at once,
    // and the reconnecting thread begins.
    void LostLocked(const std::string& reason) {
        context_.reset();
        reason_ = reason;
        log_("rate limits: " + redis_.Text() + " cannot be reached (" + reason +
             "): this instance counts requests with its own counters until it is back");
        wake_.notify_all();
    }

    void ReconnectWhenLost() {
        std::unique_lock lock(mutex_);
        std::chrono::milliseconds retry = kFirstRetry;
        while (!stopping_) {
            if (context_) {
                retry = kFirstRetry;
                // A Redis gone while no request came is seen within a second, for /health.
                if (!wake_.wait_for(lock, kWatch, [this] { return stopping_ || !context_; })) {
                    const Reply reply = Command(*context_, {"PING"});
                    if (!reply || reply->type != REDIS_REPLY_STATUS)
                        LostLocked(Failure(*context_, reply.get()));
                }
                continue;
            }
            if (wake_.wait_for(lock, retry, [this] { return stopping_; }))
                break;
            lock.unlock();
            std::string reason;
            Context context = Connect(reason);
            lock.lock();
            if (context) {
                context_ = std::move(context);
                log_("rate limits: shared through " + redis_.Text() + " again");
            } else {
                reason_ = reason;
                retry = std::min(retry * 2, kLastRetry);
            }
        }
    }

    const RedisAddress redis_;
    const std::string perMinute_;
    const Log log_;
    RateLimiter own_;  // while the Redis cannot be reached
    std::mutex mutex_; // the connection: one command at a time
    std::condition_variable wake_;
    Context context_;
    std::string reason_; // why the last connection or attempt failed
    bool stopping_ = false;
    std::thread reconnecting_;
};

} // namespace

Result<std::unique_ptr<RateStorage>> MakeSharedRateStorage(const RedisAddress& redis,
                                                           std::size_t perMinute, Log log) {
    return std::unique_ptr<RateStorage>(
        std::make_unique<RedisRateStorage>(redis, perMinute, std::move(log)));
}

} // namespace tervane::service

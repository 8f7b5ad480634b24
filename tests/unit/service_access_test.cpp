// What a shared service needs to decide who may translate: its key file's lines, each
// client's rate, the addresses that are this machine's, and the flags that turn them on.
#include "service/http/ApiKeys.h"
#include "service/http/HttpMessage.h"
#include "service/http/RateLimiter.h"
#include "service/http/RedisUrl.h"
#include "service/http/TrustedProxies.h"

#include <gtest/gtest.h>

using namespace tervane::service;

TEST(ApiKeyFile, HoldsOneKeyALineWithoutBlanksCommentsOrLineEnds) {
    const auto keys = ParseApiKeys("# office\n k1 \r\n\n\t#k2\nk3\r\nk 4\n#\n");
    EXPECT_EQ(keys, (std::set<std::string, std::less<>>{"k1", "k3", "k 4"}));
    EXPECT_TRUE(ParseApiKeys("\r\n \n# only a comment").empty());
}

TEST(RateLimiter, LetsAMinutesShareGoAtOnceThenOneAsEachComesBackPerClient) {
    RateLimiter limiter(3);
    const auto start = RateLimiter::Clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(limiter.Take({"address a", "key k"}, start), 0) << i;
    // 3 a minute: one comes back every 20 s.
    EXPECT_EQ(limiter.Take({"address a", "key k"}, start), 20);
    EXPECT_EQ(limiter.Take({"address a"}, start + std::chrono::seconds(5)), 15);
    // A refusal takes nothing: another client's share is whole, and the key's too.
    EXPECT_EQ(limiter.Take({"address b", "key j"}, start), 0);
    EXPECT_EQ(limiter.Take({"address b", "key k"}, start), 20);
    EXPECT_EQ(limiter.Take({"address a", "key k"}, start + std::chrono::seconds(20)), 0);
    EXPECT_EQ(limiter.Take({"address a"}, start + std::chrono::milliseconds(20500)), 20);
    // A client idle for a minute has its whole share again, never more.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(limiter.Take({"address a"}, start + std::chrono::minutes(10)), 0) << i;
    EXPECT_GT(limiter.Take({"address a"}, start + std::chrono::minutes(10)), 0);
}

TEST(PeerAddress, IsThisMachineOnlyOnLoopback) {
    for (const char* address : {"127.0.0.1", "127.1.2.3", "::1", "::ffff:127.0.0.1"})
        EXPECT_TRUE(IsLoopbackAddress(address)) << address;
    for (const char* address : {"192.0.2.2", "::ffff:192.0.2.2", "fd00::2", "", "1270.0.0.1"})
        EXPECT_FALSE(IsLoopbackAddress(address)) << address;
}

TEST(RateLimiter, CountsAnIpv6ClientByItsSlash64AndAnIpv4OneByItsAddress) {
    const struct {
        const char* address;
        const char* client;
    } rows[] = {
        {"192.0.2.7", "address 192.0.2.7"},
        {"::ffff:192.0.2.7", "address 192.0.2.7"},
        {"2001:db8:0:1::5", "address 2001:db8:0:1::/64"},
        {"2001:DB8:0:1:ffff:1:2:3", "address 2001:db8:0:1::/64"},
        {"2001:db8::1", "address 2001:db8:0:0::/64"},
        {"fe80::1%eth0", "address fe80:0:0:0::/64"},
        {"::1.2.3.4", "address 0:0:0:0::/64"},
        {"2001:db8:::1", "address 2001:db8:::1"}, // not an address: itself
        {"1:2:3:4:5:6:7:8:9", "address 1:2:3:4:5:6:7:8:9"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RateClientOfAddress(row.address), row.client) << row.address;
}

TEST(RateLimiter, KeepsABoundedNumberOfClientsWithoutLosingTheBusyOnes) {
    RateLimiter limiter(2, 100);
    const auto start = RateLimiter::Clock::now();
    EXPECT_EQ(limiter.Take({"address busy"}, start), 0);
    EXPECT_EQ(limiter.Take({"address busy"}, start), 0);
    for (int i = 0; i < 10000; ++i) {
        limiter.Take({"address passing " + std::to_string(i)}, start);
        EXPECT_LE(limiter.Clients(), 100u);
        if (i % 50 == 0) { // the busy client keeps coming: it stays, its share spent
            EXPECT_GT(limiter.Take({"address busy"}, start), 0);
        }
    }
    // Idle for a whole refill, every bucket is as good as new: all are forgotten.
    limiter.Take({"address late"}, start + std::chrono::minutes(2));
    EXPECT_EQ(limiter.Clients(), 1u);
}

TEST(TrustedProxies, NameTheRightMostUntrustedForwardedAddressAndIgnoreOthersHeaders) {
    TrustedProxies proxies;
    EXPECT_FALSE(proxies.Add("127.0.0.1"));
    EXPECT_FALSE(proxies.Add("10.1.0.0/16"));
    EXPECT_FALSE(proxies.Add("fd00:1::/32"));
    EXPECT_EQ(proxies.Add("10.0.0.0/33"), "the prefix length after '/' must be 0 to 32");
    EXPECT_EQ(proxies.Add("proxy.example"), "not an IPv4 or IPv6 address: 'proxy.example'");
    EXPECT_TRUE(proxies.Trusts("10.1.200.3"));
    EXPECT_TRUE(proxies.Trusts("::ffff:127.0.0.1"));
    EXPECT_FALSE(proxies.Trusts("10.2.0.1"));
    EXPECT_TRUE(proxies.Trusts("fd00:1:ffff::9"));
    EXPECT_FALSE(proxies.Trusts("fd00:2::9"));

    const auto client = [&](std::string peer,
                            std::vector<std::pair<std::string, std::string>> headers) {
        HttpRequest request;
        request.peer = std::move(peer);
        request.headers = std::move(headers);
        return proxies.ClientOf(request);
    };
    // What the client wrote left of its own address proves nothing; each proxy's line counts.
    EXPECT_EQ(client("127.0.0.1", {{"X-Forwarded-For", "127.0.0.1, 192.0.2.7, 10.1.0.4"}}),
              "192.0.2.7");
    EXPECT_EQ(
        client("127.0.0.1", {{"x-forwarded-for", "127.0.0.1"}, {"X-Forwarded-For", "192.0.2.8"}}),
        "192.0.2.8");
    EXPECT_EQ(
        client("127.0.0.1", {{"Forwarded", "for=192.0.2.9;proto=http, For=\"[2001:db8::1]:4711\""},
                             {"X-Forwarded-For", "192.0.2.10"}}),
        "2001:db8::1");
    EXPECT_EQ(client("127.0.0.1", {{"Forwarded", "for=192.0.2.11:8080;by=10.1.0.1"}}),
              "192.0.2.11");
    // All hops trusted: the first; nothing forwarded: the proxy itself.
    EXPECT_EQ(client("127.0.0.1", {{"X-Forwarded-For", "10.1.0.9, 10.1.0.4"}}), "10.1.0.9");
    EXPECT_EQ(client("127.0.0.1", {}), "127.0.0.1");
    // A peer that is not trusted is the client, whatever it writes.
    EXPECT_EQ(client("192.0.2.50", {{"X-Forwarded-For", "127.0.0.1"}}), "192.0.2.50");
}

TEST(RedisUrl, TakesAHostAPortAndADatabaseAndNothingElse) {
    const auto address = [](std::string_view url) {
        const Result<RedisAddress> parsed = ParseRedisUrl(url);
        return parsed.Ok() ? parsed.Value().Text() : "refused";
    };
    EXPECT_EQ(address("redis://127.0.0.1:6379"), "redis://127.0.0.1:6379/0");
    EXPECT_EQ(address("redis://redis.tervane.svc:6380/3"), "redis://redis.tervane.svc:6380/3");
    EXPECT_EQ(address("redis://[fd00::5]:6379/1"), "redis://[fd00::5]:6379/1");
    for (const char* wrong : {"redis://host", "redis://host:0", "redis://host:65536",
                              "redis://:6379", "redis://host:6379/x", "redis://host:6379/",
                              "rediss://host:6379", "redis://:secret@host:6379",
                              "redis://host:6379?db=1", "redis://fd00::5:6379", "host:6379"})
        EXPECT_EQ(address(wrong), "refused") << wrong;
}

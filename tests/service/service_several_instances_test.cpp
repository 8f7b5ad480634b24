// More than one machine's worth of service: two instances behind Debian's haproxy with the
// configuration the package ships (packaging/haproxy/tervane-service.cfg: the frontend on
// 58470, instances on 58471 and 58472, health checks, retries on another instance), their
// rate counters in one Debian redis-server. All of them run in the server namespace of a
// TestNetwork, on its own loopback, and the other machine in the client's namespace; the
// instances listen on every address, so that it can reach each one directly too.
#include "ChildProcess.h"
#include "ServiceClient.h"
#include "TestNetwork.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace tervane::testing;

namespace {

constexpr const char* kKey = "k-two-instances-77c1";
constexpr int kProxyPort = 58470;
constexpr std::array<unsigned short, 2> kInstancePorts = {58471, 58472};
constexpr const char* kRedisPort = "6390";
constexpr const char* kRedisUrl = "redis://127.0.0.1:6390/2";

// The program's request, the text marked with a number that its answer must carry.
struct Answer {
    int status = 0; // 0: no answer
    std::string body;
    std::string retryAfter;
};
Answer Translate(const std::string& address, int port, bool withKey, int marker = 1) {
    httplib::Client client(address, port);
    client.set_read_timeout(std::chrono::seconds(60));
    httplib::Headers headers;
    if (withKey)
        headers.emplace("Authorization", std::string("Bearer ") + kKey);
    const auto result = client.Post("/translate", headers,
                                    "text=Le+chat+" + std::to_string(marker) +
                                        "+est+noir.&source=fr&target=es&format=text&v=1",
                                    "application/x-www-form-urlencoded");
    if (!result)
        return {};
    return {result->status, result->body, result->get_header_value("Retry-After")};
}

bool TranslatedWithMarker(const Answer& answer, int marker) {
    return answer.status == 200 && answer.body.find("El gato " + std::to_string(marker) +
                                                    " es negro.") != std::string::npos;
}

class TwoInstances {
  public:
    TwoInstances(const TestNetwork& network, const std::string& rate)
        : network_(network), keys_(std::filesystem::temp_directory_path() /
                                   ("tervane-two-" + std::to_string(::getpid()) + "-keys")) {
        std::ofstream(keys_) << kKey << "\n";
        StartRedis();
        for (const unsigned short port : kInstancePorts) {
            instances_.push_back(std::make_unique<ChildProcess>(network.InServer(
                {TERVANE_SERVICE_BINARY, "--listen", "0.0.0.0:" + std::to_string(port),
                 "--allow-remote", "--trusted-proxy", "127.0.0.1", "--api-keys", keys_.string(),
                 "--rate-limit", rate, "--rate-limit-storage", kRedisUrl, "--drain-timeout",
                 "60"})));
        }
        for (auto& instance : instances_)
            started_ = started_ &&
                       instance->WaitForOutput("listening on", ChildProcess::kOutputWait) != "";
        haproxy_ = std::make_unique<ChildProcess>(
            network.InServer({"haproxy", "-db", "-f", HAPROXY_CONFIG}));
        const auto deadline = std::chrono::steady_clock::now() + ChildProcess::kOutputWait;
        // Asked from this machine, which is not counted, until haproxy has started.
        const auto local = [&] {
            return network.OnServer([] { return Translate("127.0.0.1", kProxyPort, false); });
        };
        while (local().status != 200 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~TwoInstances() { std::filesystem::remove(keys_); }

    bool Started() const { return started_; }
    ChildProcess& Instance(int index) { return *instances_[index]; }

    Answer ViaProxy(bool withKey, int marker = 1) const {
        return network_.OnClient(
            [&] { return Translate(TestNetwork::kServerV4, kProxyPort, withKey, marker); });
    }
    // The other machine straight to one instance: a peer it does not trust, its own client.
    Answer Direct(int index) const {
        return network_.OnClient(
            [&] { return Translate(TestNetwork::kServerV4, kInstancePorts[index], true); });
    }
    // /health as this machine's haproxy and operators read it.
    nlohmann::json Health(int index) const {
        return network_.OnServer([&] { return GetJson(kInstancePorts[index], "/health").json; });
    }

    // /metrics' gauge of the shared counters.
    bool MetricsSayShared(int index, bool shared) const {
        const std::string metrics =
            network_.OnServer([&] { return GetPath(kInstancePorts[index], "/metrics").body; });
        return std::regex_search(metrics,
                                 std::regex("\ntervane_rate_limit_shared\\{storage=\"redis://"
                                            "[^\"]+\"\\} " +
                                            std::string(shared ? "1" : "0") + "\n"));
    }

    void StartRedis() {
        redis_ = std::make_unique<ChildProcess>(
            network_.InServer({"redis-server", "--port", kRedisPort, "--bind", "127.0.0.1",
                               "--save", "", "--appendonly", "no"}));
        started_ =
            redis_->WaitForOutput("Ready to accept connections", ChildProcess::kOutputWait) != "";
    }
    void StopRedis() {
        ::kill(redis_->Pid(), SIGTERM);
        redis_->WaitExit(ChildProcess::kOutputWait);
        redis_.reset();
    }

  private:
    const TestNetwork& network_;
    std::filesystem::path keys_;
    bool started_ = true;
    std::unique_ptr<ChildProcess> redis_;
    std::vector<std::unique_ptr<ChildProcess>> instances_;
    std::unique_ptr<ChildProcess> haproxy_;
};

// Several clients of the other machine, each sending its translations through the proxy one
// after another; `meanwhile` runs once the first instance has answered a few of them. The
// requests that were not answered with their own translation, as "client/request: status".
std::vector<std::string> UnderLoad(TwoInstances& instances,
                                   const std::function<void()>& meanwhile) {
    constexpr int kClients = 4;
    constexpr int kRequests = 12;
    const std::size_t mark = instances.Instance(0).OutputSize();
    std::vector<std::string> lost;
    std::mutex lostMutex;
    std::vector<std::thread> clients;
    for (int client = 0; client < kClients; ++client) {
        clients.emplace_back([&, client] {
            for (int request = 0; request < kRequests; ++request) {
                const int marker = 1000 + client * 100 + request;
                const Answer answer = instances.ViaProxy(true, marker);
                if (!TranslatedWithMarker(answer, marker)) {
                    std::lock_guard lock(lostMutex);
                    lost.push_back(std::to_string(client) + "/" + std::to_string(request) + ": " +
                                   std::to_string(answer.status));
                }
            }
        });
    }
    instances.Instance(0).WaitForLines("from=" + std::string(TestNetwork::kClientV4), 3, mark);
    meanwhile();
    for (std::thread& client : clients)
        client.join();
    return lost;
}

#define SKIP_WITHOUT_NETWORK(network)                                                              \
    if (!(network).Made())                                                                         \
    GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)"

} // namespace

TEST(SeveralInstances, AForwardedClientNeedsAKeyAndOneLimitHoldsAcrossInstancesUntilRedisStops) {
    TestNetwork network;
    SKIP_WITHOUT_NETWORK(network);
    TwoInstances instances(network, "4/min");
    ASSERT_TRUE(instances.Started());
    for (int index = 0; index < 2; ++index)
        EXPECT_EQ(instances.Health(index)["rate_limits"]["shared"], true) << index;

    // Four a minute for the other machine's address, shared by both instances: the request
    // without a key takes one, so three translate, whichever instance haproxy picks.
    EXPECT_EQ(instances.ViaProxy(false).status, 403);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(instances.ViaProxy(true).status, 200) << i;
    const Answer refused = instances.ViaProxy(true);
    EXPECT_EQ(refused.status, 429);
    EXPECT_GE(std::atoi(refused.retryAfter.c_str()), 1) << refused.retryAfter;
    // Neither instance has any left for it (each alone would have four).
    EXPECT_EQ(instances.Direct(0).status, 429);
    EXPECT_EQ(instances.Direct(1).status, 429);

    // Without the Redis each instance limits with its own counters, and says so.
    std::array<std::size_t, 2> marks{};
    for (int index = 0; index < 2; ++index)
        marks[index] = instances.Instance(index).OutputSize();
    instances.StopRedis();
    for (int index = 0; index < 2; ++index) {
        EXPECT_NE(instances.Instance(index).WaitForLine("cannot be reached", marks[index]), "");
        const nlohmann::json health = instances.Health(index);
        EXPECT_EQ(health["status"], "ok") << health;
        EXPECT_EQ(health["rate_limits"]["shared"], false) << health;
        EXPECT_NE(health["rate_limits"].value("reason", ""), "") << health;
        EXPECT_TRUE(instances.MetricsSayShared(index, false)) << index;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(instances.Direct(index).status, 200) << index << " " << i;
        EXPECT_EQ(instances.Direct(index).status, 429) << index;
    }

    // Back, the Redis is taken again.
    for (int index = 0; index < 2; ++index)
        marks[index] = instances.Instance(index).OutputSize();
    instances.StartRedis();
    for (int index = 0; index < 2; ++index) {
        EXPECT_NE(instances.Instance(index).WaitForLine("shared through", marks[index]), "");
        EXPECT_EQ(instances.Health(index)["rate_limits"]["shared"], true) << index;
        EXPECT_TRUE(instances.MetricsSayShared(index, true)) << index;
    }
}

TEST(SeveralInstances, AnInstanceKilledUnderLoadLosesNoRequestButThoseInFlightOnIt) {
    TestNetwork network;
    SKIP_WITHOUT_NETWORK(network);
    TwoInstances instances(network, "100000/min");
    ASSERT_TRUE(instances.Started());
    const std::vector<std::string> lost = UnderLoad(instances, [&] {
        ::kill(instances.Instance(0).Pid(), SIGKILL);
        instances.Instance(0).WaitExit(ChildProcess::kOutputWait);
    });
    // At most one request of each client can have been in flight on it.
    EXPECT_LE(lost.size(), 4u) << ::testing::PrintToString(lost);
}

TEST(SeveralInstances, AnInstanceStoppedUnderLoadAnswersEveryRequestInFlight) {
    TestNetwork network;
    SKIP_WITHOUT_NETWORK(network);
    TwoInstances instances(network, "100000/min");
    ASSERT_TRUE(instances.Started());
    const std::vector<std::string> lost =
        UnderLoad(instances, [&] { ::kill(instances.Instance(0).Pid(), SIGTERM); });
    EXPECT_TRUE(lost.empty()) << ::testing::PrintToString(lost);
    EXPECT_EQ(instances.Instance(0).WaitExit(ChildProcess::kOutputWait), 0);
}

TEST(SeveralInstances, ABadRedisAddressEndsTheStart) {
    ChildProcess service({TERVANE_SERVICE_BINARY, "--listen", "127.0.0.1:0", "--allow-remote",
                          "--rate-limit", "5/min", "--rate-limit-storage", "redis://cache"});
    EXPECT_EQ(service.WaitExit(ChildProcess::kOutputWait), 2);
    EXPECT_NE(service.Output().find("bad value 'redis://cache' for --rate-limit-storage: "
                                    "expected redis://HOST:PORT[/DB]"),
              std::string::npos)
        << service.Output();
}

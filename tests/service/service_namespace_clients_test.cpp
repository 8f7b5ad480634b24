// Clients from other machines, made in a network namespace of the test's own: the service
// and curl run inside it, the clients' addresses are the namespace's (10.231.0.1 and
// fd00:231::/64 on its loopback device), so nothing leaves it and no address of this
// machine is used. Without the rights to make a namespace the test is skipped and says so
// (the rate limiter's IPv6 key is unit-tested in tests/unit/service_access_test.cpp).
#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace tervane::testing;

namespace {

class Namespace {
  public:
    Namespace() : name_("tervane-test-" + std::to_string(::getpid())) {
        std::string setup = "ip netns add " + name_ + " && " + In("ip link set lo up") + " && " +
                            In("ip addr add 10.231.0.1/24 dev lo");
        for (int i = 1; i <= kIpv6Clients + 1; ++i)
            setup += " && " + In("ip -6 addr add fd00:231::" + std::to_string(i) + "/64 dev lo");
        made_ = std::system(("(" + setup + ") >/dev/null 2>&1").c_str()) == 0;
    }
    ~Namespace() {
        [[maybe_unused]] int ignored =
            std::system(("ip netns del " + name_ + " 2>/dev/null").c_str());
    }

    static constexpr int kIpv6Clients = 12;
    bool Made() const { return made_; }
    std::vector<std::string> Command(std::vector<std::string> argv) const {
        argv.insert(argv.begin(), {"ip", "netns", "exec", name_});
        return argv;
    }
    // curl inside the namespace from address `from` to url: the status, then the body.
    std::pair<int, std::string> Curl(const std::string& from, const std::string& url) const {
        const std::string command = In("curl -s -g --max-time 30 --interface " + from +
                                       " -w '\\n%{http_code}' '" + url + "'");
        std::string output;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                output.append(buffer, got);
            ::pclose(pipe);
        }
        const std::size_t last = output.rfind('\n');
        if (last == std::string::npos)
            return {0, output};
        return {std::atoi(output.c_str() + last + 1), output.substr(0, last)};
    }

  private:
    std::string In(const std::string& command) const {
        return "ip netns exec " + name_ + " " + command;
    }
    std::string name_;
    bool made_ = false;
};

} // namespace

TEST(OtherMachines, GetTheHealthStatusOnlyAndAreLimitedPerSlash64) {
    Namespace space;
    if (!space.Made())
        GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)";
    RunningServer service = StartListening(
        space.Command({TERVANE_SERVICE_BINARY, "--allow-remote", "--rate-limit", "4/min"}), "::");
    const std::string port = std::to_string(service.port);

    // This machine's programs see the engine; another machine sees the status only.
    const auto local = space.Curl("127.0.0.1", "http://127.0.0.1:" + port + "/health");
    EXPECT_EQ(local.first, 200);
    EXPECT_EQ(nlohmann::json::parse(local.second).count("engine"), 1u) << local.second;
    const auto other = space.Curl("10.231.0.1", "http://10.231.0.1:" + port + "/health");
    EXPECT_EQ(other.first, 200);
    EXPECT_EQ(other.second, "{\"status\":\"ok\"}\n") << other.second;

    // Every request from another address of one /64 counts against the same four a minute.
    int refused = 0;
    for (int i = 1; i <= Namespace::kIpv6Clients; ++i) {
        const auto answer = space.Curl("fd00:231::" + std::to_string(i),
                                       "http://[fd00:231::1]:" + port + "/health");
        refused += answer.first == 429 ? 1 : 0;
    }
    EXPECT_EQ(refused, Namespace::kIpv6Clients - 4);
}

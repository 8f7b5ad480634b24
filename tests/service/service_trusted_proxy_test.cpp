// A shared service behind a real reverse proxy, as offices run it: Debian's haproxy with the
// configuration the package ships (packaging/haproxy/tervane-service.cfg: the frontend on
// port 58470, `option forwardfor`, instances on 58471 and 58472, health checks, retries on
// another instance). With --trusted-proxy the proxy's clients are the other machines they
// are, with keys, rates and log lines of their own. The service (one instance: the other is
// down, so haproxy's retries take it out) and haproxy run in the server namespace of a
// TestNetwork, whose ports nothing else uses, and the other machine in the client's.
#include "ChildProcess.h"
#include "ServiceClient.h"
#include "TestNetwork.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tervane::testing;

namespace {

constexpr const char* kKey = "k-office-proxy-5a21";
constexpr int kProxyPort = 58470;
constexpr const char* kInstance = "0.0.0.0:58471"; // on every address: reached directly too
constexpr unsigned short kInstancePort = 58471;

std::filesystem::path TempFile(const std::string& name, const std::string& text) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tervane-proxy-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path) << text;
    return path;
}

// The status of the program's request sent to address:port, with extra headers.
int Translate(const std::string& address, int port, httplib::Headers headers = {}) {
    httplib::Client client(address, port);
    client.set_read_timeout(std::chrono::seconds(30));
    const auto result = client.Post("/translate", headers,
                                    "text=Le+chat+est+noir.&source=fr&target=es&format=text&v=1",
                                    "application/x-www-form-urlencoded");
    return result ? result->status : 0;
}

} // namespace

TEST(TrustedProxy, AForwardedClientIsAnotherMachineWithItsOwnKeyRateAndLogLine) {
    TestNetwork network;
    if (!network.Made())
        GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)";
    const auto keys = TempFile("keys", std::string(kKey) + "\n");
    ChildProcess service(network.InServer(
        {TERVANE_SERVICE_BINARY, "--listen", kInstance, "--allow-remote", "--api-keys",
         keys.string(), "--rate-limit", "5/min", "--trusted-proxy", "127.0.0.1"}));
    ASSERT_NE(service.WaitForOutput("listening on", ChildProcess::kOutputWait), "");
    ChildProcess haproxy(network.InServer({"haproxy", "-db", "-f", HAPROXY_CONFIG}));
    const auto viaProxy = [&](httplib::Headers headers = {}) {
        return network.OnClient(
            [&] { return Translate(TestNetwork::kServerV4, kProxyPort, headers); });
    };
    const httplib::Headers withKey{{"Authorization", std::string("Bearer ") + kKey}};
    const auto deadline = std::chrono::steady_clock::now() + ChildProcess::kOutputWait;
    int first = 0;
    while ((first = viaProxy()) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // haproxy starting
    const std::size_t mark = service.OutputSize();

    EXPECT_EQ(first, 403); // no key: not "this machine", though it came from loopback
    EXPECT_EQ(viaProxy(withKey), 200);
    // The proxy appends the address it took the request from: a forged one left of it is not
    // the client.
    EXPECT_EQ(viaProxy({{"X-Forwarded-For", "127.0.0.1"}}), 403);
    // A peer that is not trusted is itself the client, whatever it writes.
    EXPECT_EQ(network.OnClient([&] {
        return Translate(TestNetwork::kServerV4, kInstancePort, {{"X-Forwarded-For", "127.0.0.1"}});
    }),
              403);
    // This machine's programs still need no key and are not counted.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(network.OnServer([&] { return Translate("127.0.0.1", kInstancePort); }), 200);
    // The other machine's five a minute, through the proxy and directly alike.
    EXPECT_EQ(viaProxy(withKey), 200);
    EXPECT_EQ(viaProxy(withKey), 429);
    EXPECT_NE(service.WaitForLine(
                  std::string("from=") + TestNetwork::kClientV4 + " fr->es engine=apertium", mark),
              "");
    std::filesystem::remove(keys);
}

// Clients from other machines, in a network namespace of the test's own (TestNetwork): the
// service runs in the server's namespace, curl in the client's. Without the rights to make
// namespaces the test is skipped and says so (the rate limiter's IPv6 key is unit-tested in
// tests/unit/service_access_test.cpp).
#include "ChildProcess.h"
#include "ServiceClient.h"
#include "TestNetwork.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tervane::testing;

TEST(OtherMachines, GetTheHealthStatusOnlyAndAreLimitedPerSlash64) {
    TestNetwork network;
    if (!network.Made())
        GTEST_SKIP() << "no network namespace could be made here (needs root and ip netns)";
    RunningServer service = StartListening(
        network.InServer({TERVANE_SERVICE_BINARY, "--allow-remote", "--rate-limit", "4/min"}),
        "::");

    // This machine's programs see the engine; another machine sees the status only.
    const auto local = network.OnServer([&] { return GetPath(service.port, "/health"); });
    EXPECT_EQ(local.status, 200);
    EXPECT_EQ(nlohmann::json::parse(local.body).count("engine"), 1u) << local.body;
    const auto other = network.CurlFromClient(
        TestNetwork::kClientV4, HttpOrigin(TestNetwork::kServerV4, service.port) + "/health");
    EXPECT_EQ(other.first, 200);
    EXPECT_EQ(other.second, "{\"status\":\"ok\"}\n") << other.second;

    // Every request from another address of one /64 counts against the same four a minute.
    int refused = 0;
    for (int i = 0; i < TestNetwork::kClientV6Count; ++i) {
        const auto answer = network.CurlFromClient(
            TestNetwork::ClientV6(i), HttpOrigin(TestNetwork::kServerV6, service.port) + "/health");
        refused += answer.first == 429 ? 1 : 0;
    }
    EXPECT_EQ(refused, TestNetwork::kClientV6Count - 4);
}

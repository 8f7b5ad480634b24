// The stop as a rolling restart needs it: on SIGTERM the service takes no new connection,
// says "draining" on /health, answers every request already sent, and only then exits.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

using namespace tervane::testing;

namespace {

// About 35 KB of French, marked with the client's number so that each answer is its own.
std::string LongText(int client) {
    const std::string sentence = "Le chat " + std::to_string(4700 + client) + " est noir. ";
    std::string text;
    while (text.size() < 35 * 1024)
        text += sentence;
    return text;
}

} // namespace

TEST(Drain, OnSigtermEveryRequestInFlightIsAnsweredAndHealthSaysDraining) {
    RunningServer server = StartListening(ServiceCommand({"--drain-timeout", "60"}));
    constexpr int kClients = 4;
    std::vector<std::unique_ptr<RawConnection>> clients;
    std::vector<std::string> requests;
    for (int client = 0; client < kClients; ++client) {
        clients.push_back(std::make_unique<RawConnection>(server.port));
        requests.push_back(TranslateRequest(LongText(client)));
        // A request begun: the connection is the service's before the stop.
        ASSERT_TRUE(clients.back()->Send(requests.back().substr(0, 10)));
    }
    RawConnection health(server.port);
    ASSERT_TRUE(health.Send("GET /hea"));
    // Connections are accepted in order: once a later one is answered, all these are in.
    ASSERT_EQ(GetPath(server.port, "/health").status, 200);

    const std::size_t mark = server.process->OutputSize();
    for (int client = 0; client < kClients; ++client)
        ASSERT_TRUE(clients[client]->Send(requests[client].substr(10)));
    ASSERT_EQ(::kill(server.process->Pid(), SIGTERM), 0);
    ASSERT_NE(server.process->WaitForLine("stopping on signal", mark), "");
    ASSERT_TRUE(health.Send("lth HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));

    const RawReply draining = health.Read();
    EXPECT_EQ(draining.status, 503);
    EXPECT_EQ(draining.body, "{\"status\":\"draining\"}\n") << draining.body;
    for (int client = 0; client < kClients; ++client) {
        const RawReply reply = clients[client]->Read();
        EXPECT_EQ(reply.status, 200) << client << ": " << reply.reason;
        EXPECT_NE(reply.body.find("El gato " + std::to_string(4700 + client) + " es negro."),
                  std::string::npos)
            << client << ": " << reply.body.substr(0, 200);
        EXPECT_EQ(reply.Header("connection"), "close") << client;
    }
    EXPECT_EQ(server.process->WaitExit(std::chrono::seconds(60)), 0);
}

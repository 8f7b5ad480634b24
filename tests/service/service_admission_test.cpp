// The real service when it is overloaded, attacked or misused: fair admission (503 with
// Retry-After and Connection: close, idle and slow connections closed first at the cap), a
// log that cannot block it, browsers kept out, and the small courtesies of HTTP.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <future>
#include <memory>
#include <thread>

using namespace tervane::testing;

namespace {

const std::vector<std::pair<std::string, std::string>> kSentences = {
    {"Le chat est noir.", "\"El gato es negro.\""},
    {"Le chien dort.", "\"El perro duerme.\""},
    {"La maison est grande.", "\"La casa es grande.\""},
};

} // namespace

TEST(Admission, UnderOverloadRefusesWith503RetryAfterAndCloseAndServesTheRestCorrectly) {
    RunningServer server = StartListening(ServiceCommand(
        {"--max-active", "2", "--max-remote", "2", "--max-queue", "2", "--pipes-per-pair", "1"}));
    for (const auto& [text, translation] : kSentences)
        ASSERT_EQ(PostTranslate(server.port, text, "fr", "es").body, translation);

    std::atomic<int> served{0}, refused{0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::future<std::string>> clients; // each gives its first fault, or ""
    for (int client = 0; client < 32; ++client) {
        clients.push_back(std::async(std::launch::async, [&, client]() -> std::string {
            auto connection = std::make_unique<RawConnection>(server.port);
            for (int n = client; std::chrono::steady_clock::now() < until; ++n) {
                const auto& [text, translation] = kSentences[n % kSentences.size()];
                if (!connection->Send(TranslateRequest(text)))
                    return "send failed";
                const RawReply reply = connection->Read();
                if (reply.status == 200 && reply.body == translation) {
                    ++served;
                    continue;
                }
                if (reply.status != 503)
                    return "status " + std::to_string(reply.status) + " " + reply.body;
                if (reply.Header("retry-after") != "1" || reply.Header("connection") != "close" ||
                    !connection->ClosedByServer()) {
                    return "a 503 without Retry-After or without closing: " + reply.reason;
                }
                ++refused;
                connection = std::make_unique<RawConnection>(server.port);
            }
            return std::string();
        }));
    }
    for (auto& client : clients)
        EXPECT_EQ(client.get(), "");
    EXPECT_GT(served, 0);
    EXPECT_GT(refused, 0); // 32 clients for 4 places: the load was real
    const Reply after = PostTranslate(server.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(after.status, 200) << after.reason;
    EXPECT_EQ(after.body, "\"El gato es negro.\"");
    // Refusals are summed up, not logged one by one.
    EXPECT_NE(server.process->WaitForLine("busy: refused ", 0), "") << server.process->Output();
}

TEST(Admission, IdleAndSlowConnectionsMakeRoomForAClientThatAsks) {
    {
        RunningServer server = StartListening(ServiceCommand({})); // 64 connections
        std::vector<std::unique_ptr<RawConnection>> idle;
        for (int i = 0; i < 64; ++i)
            idle.push_back(std::make_unique<RawConnection>(server.port));
        const Reply reply = PostTranslateRetrying(server.port, "Le chat est noir.", "fr", "es", 5);
        EXPECT_EQ(reply.status, 200) << reply.reason;
        EXPECT_EQ(reply.body, "\"El gato es negro.\"");
    }
    // Connections sending their request slowly: one of them is closed with a 408 that says why.
    RunningServer server = StartListening(ServiceCommand({"--max-connections", "4"}));
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 4; ++i) {
        slow.push_back(std::make_unique<RawConnection>(server.port));
        slow.back()->Send("POST /translate HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-");
    }
    const Reply reply = PostTranslateRetrying(server.port, "Le chat est noir.", "fr", "es", 5);
    EXPECT_EQ(reply.status, 200) << reply.reason;
    int closedForRoom = 0;
    for (auto& connection : slow) {
        const RawReply answer = connection->Read(false, std::chrono::milliseconds(100));
        if (answer.status != 0) {
            EXPECT_EQ(answer.status, 408);
            EXPECT_NE(answer.reason.find("make room for other clients"), std::string::npos)
                << answer.reason;
            ++closedForRoom;
        }
    }
    EXPECT_GE(closedForRoom, 1);
}

TEST(Admission, AStandardErrorNobodyReadsBlocksNeitherRequestsNorTheStop) {
    const unsigned short port = FreeLoopbackPort();
    ChildProcess process({TERVANE_SERVICE_BINARY, "--listen", "127.0.0.1:" + std::to_string(port)},
                         ChildProcess::OutputMode::Unread);
    ASSERT_TRUE(WaitForOk(port, "/health", std::chrono::seconds(30)));
    // 2,000 log lines are about three times what the pipe holds.
    std::vector<std::future<int>> clients;
    for (int client = 0; client < 4; ++client) {
        clients.push_back(std::async(std::launch::async, [port] {
            int ok = 0;
            for (int i = 0; i < 500; ++i)
                ok += PostTranslate(port, "Le chat.", "fr", "es").status == 200;
            return ok;
        }));
    }
    int ok = 0;
    for (auto& client : clients)
        ok += client.get();
    EXPECT_EQ(ok, 2000);
    EXPECT_EQ(GetPath(port, "/health").status, 200);

    // The pipe is still full: the stop does not wait for it.
    ASSERT_EQ(::kill(process.Pid(), SIGTERM), 0);
    EXPECT_EQ(process.WaitExit(std::chrono::seconds(1)), 0);
}

TEST(Admission, BrowsersAreKeptOutAndTheProgramsRequestsAreNot) {
    RunningServer server = StartListening(ServiceCommand({}));
    const std::size_t mark = server.process->OutputSize();
    for (const std::string& headers : {std::string("Origin: https://example.invalid\r\n"),
                                       std::string("Host: evil.example\r\n")}) {
        RawConnection connection(server.port);
        std::string request = TranslateRequest("Le chat.", headers);
        if (headers.starts_with("Host"))
            request.replace(request.find("Host: 127.0.0.1\r\n"), 17, "");
        connection.Send(request);
        const RawReply reply = connection.Read();
        EXPECT_EQ(reply.status, 403) << headers;
        EXPECT_EQ(reply.body, reply.reason + "\n");
    }
    EXPECT_EQ(server.process->WaitForLines(" status=403 ", 2, mark).size(), 2u);
    // The program's own request: Host 127.0.0.1:port, no Origin.
    EXPECT_EQ(PostTranslate(server.port, "Le chat.", "fr", "es").status, 200);
}

TEST(Admission, AnswersHeadBareLineFeedsAndEveryAnswerWithAContentTypeAndALogLine) {
    RunningServer server = StartListening(ServiceCommand({}));
    // A remote engine's list comes a moment after the start (the Windows build's engine).
    ASSERT_TRUE(WaitForOk(server.port, "/health", std::chrono::seconds(30)));
    RawConnection connection(server.port);
    // HEAD: GET's headers, no body; the next answer on the connection is read whole.
    connection.Send("HEAD /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                    "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const RawReply head = connection.Read(true);
    EXPECT_EQ(head.status, 200);
    EXPECT_NE(head.Header("content-length"), "0");
    const RawReply get = connection.Read();
    EXPECT_EQ(get.status, 200);
    EXPECT_EQ(get.Header("content-length"), std::to_string(get.body.size()));
    EXPECT_NE(get.body.find("\"engine\":"), std::string::npos) << get.body;

    // Bare line feeds: 400 at once (a bound well below the head's time limit).
    RawConnection bare(server.port);
    bare.Send("GET /health HTTP/1.1\nHost: 127.0.0.1\n\n");
    const RawReply refused = bare.Read(false, std::chrono::seconds(4));
    EXPECT_EQ(refused.status, 400);
    EXPECT_FALSE(refused.Header("content-type").empty());

    for (const std::string& request :
         {std::string("PUT /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"),
          std::string("GET /nowhere HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")}) {
        RawConnection other(server.port);
        other.Send(request);
        const RawReply reply = other.Read();
        EXPECT_TRUE(reply.status == 405 || reply.status == 404) << request;
        EXPECT_FALSE(reply.Header("content-type").empty()) << request;
    }
    ChildProcess& process = *server.process;
    for (const char* line :
         {"HEAD /health ", "GET /health ", "refused status=400 Malformed request", "PUT /health ",
          "GET /nowhere "}) {
        EXPECT_NE(process.WaitForLine(line, 0), "") << line << "\n" << process.Output();
    }
}

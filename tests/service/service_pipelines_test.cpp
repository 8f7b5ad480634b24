// The lifetime of the service's Apertium pipelines: started on first use, ended when
// unused, when the bound needs room, after a number of requests, and reaped at once when
// a process dies while idle. Processes are counted in /proc.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

using namespace tervane::testing;

namespace {

// Polls until the condition holds or a generous deadline passes (a bound for a broken
// service, not a measure).
template <typename Condition> bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + ChildProcess::kOutputWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Every pipeline of the pairs used here has one morphological analyser, or is one pair
// host: a pipeline count for either runner.
std::size_t Pipelines(pid_t service) {
    std::size_t count = 0;
    for (const auto& [pid, name] : ChildrenOf(service)) {
        const std::string commandLine = ReadProcFile("/proc/" + std::to_string(pid) + "/cmdline");
        count += commandLine.find(".automorf.bin") != std::string::npos ||
                         commandLine.find("tervane-pair-host") != std::string::npos
                     ? 1
                     : 0;
    }
    return count;
}

// The pool is the same for both runners; the pair check's own hosts would blur the counts.
std::vector<std::string> Service(std::vector<std::string> flags) {
    flags.insert(flags.begin(), {TERVANE_SERVICE_BINARY, "--check-pairs", "off"});
    return flags;
}

void ExpectFrenchToSpanish(unsigned short port) {
    const Reply reply = PostTranslate(port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.body, "\"El gato es negro.\"");
}

} // namespace

TEST(ServicePipelines, AnUnusedPipelineEndsAndComesBackOnTheNextRequest) {
    RunningServer server = StartListening(Service({"--idle-timeout", "1"}));
    ChildProcess& log = *server.process;
    ExpectFrenchToSpanish(server.port);
    EXPECT_EQ(Pipelines(log.Pid()), 1u);
    EXPECT_NE(log.WaitForLine("pipeline fr-es ended: unused for 1 s", 0), "") << log.Output();
    EXPECT_TRUE(Eventually([&] { return ChildrenOf(log.Pid()).empty(); }));
    EXPECT_EQ(ZombieChildrenOf(log.Pid()), 0u);

    ExpectFrenchToSpanish(server.port);
    EXPECT_EQ(log.WaitForLines("pipeline fr-es started", 2, 0).size(), 2u) << log.Output();
}

TEST(ServicePipelines, ThreePairsInTurnShareABoundOfTwoPipelines) {
    RunningServer server = StartListening(Service({"--max-pipelines", "2"}));
    const pid_t service = server.process->Pid();
    std::atomic<bool> done = false;
    std::atomic<std::size_t> most = 0;
    std::thread counter([&] {
        while (!done) {
            most = std::max<std::size_t>(most, Pipelines(service));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    struct Turn {
        const char* text;
        const char* source;
        const char* target;
        const char* answer;
    };
    const Turn turns[] = {{"Le chat est noir.", "fr", "es", "\"El gato es negro.\""},
                          {"El gato es negro.", "es", "pt", "\"O gato é negro.\""},
                          {"El gato es negro.", "es", "it", "\"Il gatto è nero.\""}};
    for (int round = 0; round < 3; ++round) {
        for (const Turn& turn : turns) {
            const Reply reply = PostTranslate(server.port, turn.text, turn.source, turn.target);
            EXPECT_EQ(reply.status, 200) << reply.reason;
            EXPECT_EQ(reply.body, turn.answer);
            EXPECT_LE(Pipelines(service), 2u);
        }
    }
    done = true;
    counter.join();
    EXPECT_EQ(most, 2u);
    EXPECT_GE(server.process->WaitForLines("ended: least recently used", 7, 0).size(), 7u)
        << server.process->Output();
}

TEST(ServicePipelines, APipelineIsRecycledAfterNRequestsAndReapedWhenItDiesIdle) {
    RunningServer server =
        StartListening(Service({"--recycle-after", "3", "--pipes-per-pair", "1"}));
    ChildProcess& log = *server.process;
    for (int i = 0; i < 3; ++i)
        ExpectFrenchToSpanish(server.port);
    EXPECT_NE(log.WaitForLine("pipeline fr-es ended: recycled after 3 requests", 0), "")
        << log.Output();
    EXPECT_TRUE(ChildrenOf(log.Pid()).empty()); // ended before the third answer went out
    ExpectFrenchToSpanish(server.port);
    EXPECT_EQ(Pipelines(log.Pid()), 1u);

    // A pipeline's process (a stage, or the pair host) killed while no request is in it: the
    // whole pipeline is ended and reaped without waiting for the pair's next request.
    pid_t victim = -1;
    for (const auto& [pid, name] : ChildrenOf(log.Pid())) {
        if (name == "apertium-transf" || name.starts_with("tervane-pair"))
            victim = pid;
    }
    ASSERT_NE(victim, -1);
    ASSERT_EQ(::kill(victim, SIGKILL), 0);
    EXPECT_NE(log.WaitForLine("pipeline fr-es ended: a process exited while idle", 0), "")
        << log.Output();
    EXPECT_TRUE(Eventually(
        [&] { return ChildrenOf(log.Pid()).empty() && ZombieChildrenOf(log.Pid()) == 0; }));
    ExpectFrenchToSpanish(server.port);
}

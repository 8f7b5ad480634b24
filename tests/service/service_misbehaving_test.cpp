// The real service against clients that stop reading and remote engines that hang, trickle or
// flood (the LibreTranslate fake misbehaving on request): each costs only its own requests,
// every remote wait ends at the request's deadline, and offline work goes on meanwhile.
// The bounds below are liveness checks, many times what a working service needs.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace tervane::testing;
using namespace std::chrono_literals;

namespace {

// The LibreTranslate fake, misbehaving as a text asks ("[hang]", "[trickle]", "[flood]").
struct FakeRemote {
    explicit FakeRemote(bool hangLanguages = false)
        : server(StartListening(
              {FAKE_LIBRETRANSLATE_BINARY, "--hang-languages", hangLanguages ? "1" : "0"})) {}
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(server.port); }
    RunningServer server;
};

// The service with the fake as its remote engine, behind Apertium when offline is true.
RunningServer StartWithRemote(const FakeRemote& remote, bool offline,
                              std::vector<std::string> flags) {
    std::vector<std::string> command = {"--engine",
                                        offline ? "apertium,libretranslate" : "libretranslate",
                                        "--libretranslate-url", remote.Url()};
    command.insert(command.end(), flags.begin(), flags.end());
    return StartListening(ServiceCommand(command));
}

// Starts a request on a thread of its own.
std::future<Reply> Ask(unsigned short port, const std::string& text, const std::string& source,
                       const std::string& target) {
    return std::async(std::launch::async,
                      [=] { return PostTranslate(port, text, source, target); });
}

// The answer, or status 0 when none came within bound.
Reply Within(std::future<Reply>& reply, std::chrono::seconds bound) {
    return reply.wait_for(bound) == std::future_status::ready ? reply.get() : Reply{};
}

// Natively, the service is the process the test started (under Wine, a loader is).
bool Native() {
    return std::getenv("TERVANE_SERVICE_COMMAND") == nullptr;
}

std::size_t OpenFiles(pid_t pid) {
    std::error_code error;
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", error);
    return error ? 0 : static_cast<std::size_t>(std::distance(fds, {}));
}

std::size_t PeakResidentKiB(pid_t pid) {
    const std::string status = ReadProcFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("VmHWM:");
    return at == std::string::npos ? 0 : std::stoul(status.substr(at + 6));
}

} // namespace

TEST(MisbehavingRemote, ATricklingOrFloodingAnswerEndsAtTheDeadlineOrTheSizeBound) {
    FakeRemote remote;
    RunningServer service = StartWithRemote(remote, false, {"--timeout", "2"});

    // A byte a second would take about 30 s; the request has 2.
    auto trickled = Ask(service.port, "Le chat [trickle]", "fr", "es");
    const Reply slow = Within(trickled, 15s);
    EXPECT_EQ(slow.status, 504) << slow.reason;

    // 64 MiB of translation for a short text: refused, not held in memory.
    auto flooded = Ask(service.port, "Le chat [flood]", "fr", "es");
    const Reply flood = Within(flooded, 30s);
    EXPECT_EQ(flood.status, 502) << flood.reason;
    EXPECT_NE(flood.reason.find("--max-remote-body"), std::string::npos) << flood.reason;
    if (Native()) {
        EXPECT_LT(PeakResidentKiB(service.process->Pid()), 64u * 1024) << "peak resident KiB";
    }

    const Reply fine = PostTranslate(service.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(fine.status, 200) << fine.reason;
}

TEST(MisbehavingRemote, AHungLanguageListCostsEachRequestItsOwnDeadlineAndHealthNothing) {
    FakeRemote remote(true);
    RunningServer service = StartWithRemote(remote, false, {"--timeout", "2"});

    // One fetch at a time, the others waiting on it: each ends at its own deadline, not one
    // after another behind the fetches of the others.
    std::vector<std::future<Reply>> asked;
    for (int i = 0; i < 4; ++i)
        asked.push_back(Ask(service.port, "Le chat.", "fr", "es"));
    for (auto& reply : asked) {
        const Reply answer = Within(reply, 8s);
        EXPECT_TRUE(answer.status == 504 || answer.status == 502)
            << answer.status << " " << answer.reason;
    }
    // /health reports the last known state at once.
    auto health = std::async(std::launch::async, [&] { return GetPath(service.port, "/health"); });
    ASSERT_EQ(health.wait_for(3s), std::future_status::ready);
    EXPECT_EQ(health.get().status, 503);
}

TEST(RemoteAndOffline, AHungRemoteEngineHoldsNoneOfTheOfflineTurns) {
    FakeRemote remote;
    RunningServer service =
        StartWithRemote(remote, true, {"--timeout", "4", "--max-active", "2", "--max-remote", "2"});
    ASSERT_EQ(PostTranslate(service.port, "Le chat est noir.", "fr", "es").status, 200);
    ASSERT_EQ(PostTranslate(service.port, "Der Hund ist schwarz.", "de", "en").status, 200);

    std::vector<std::future<Reply>> hung;
    for (int i = 0; i < 10; ++i)
        hung.push_back(Ask(service.port, "Der Hund [hang]", "de", "en"));
    int offline = 0;
    const auto until = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < until)
        offline += PostTranslate(service.port, "Le chat est noir.", "fr", "es").status == 200;
    EXPECT_GE(offline, 10);
    for (auto& reply : hung) {
        const Reply answer = Within(reply, 15s);
        EXPECT_TRUE(answer.status == 504 || answer.status == 503) << answer.status;
    }
}

// As many clients as the connection cap allows (8 here, to keep the test light), each with
// 600 pipelined /languages sent and none read: their answers (9 MB each) fill every buffer on
// the way.
TEST(MisbehavingClients, ThoseThatNeverReadLockNobodyOut) {
    RunningServer service = StartListening(ServiceCommand({"--max-connections", "8"}));
    const pid_t pid = service.process->Pid();
    const std::size_t files = OpenFiles(pid);
    std::string pipelined;
    for (int i = 0; i < 600; ++i)
        pipelined += "GET /languages HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html\r\n\r\n";
    std::vector<std::unique_ptr<RawConnection>> stuck;
    for (int i = 0; i < 8; ++i) {
        stuck.push_back(std::make_unique<RawConnection>(service.port));
        ASSERT_TRUE(stuck.back()->Connected());
        stuck.back()->Send(pipelined);
    }
    // A newcomer is let in (a connection stuck writing makes room) and answered.
    bool answered = false;
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (!answered && std::chrono::steady_clock::now() < until)
        answered = GetPath(service.port, "/health").status == 200;
    EXPECT_TRUE(answered);
    // The stuck ones are ended, not kept: the service closes them though none was read.
    if (Native()) {
        const auto closing = std::chrono::steady_clock::now() + 60s;
        while (OpenFiles(pid) > files + 2 && std::chrono::steady_clock::now() < closing)
            std::this_thread::sleep_for(100ms);
        EXPECT_LE(OpenFiles(pid), files + 2);
    }
}

TEST(RemoteAndOffline, NoncharactersPassThroughAndNoPipelineRestarts) {
    RunningServer service =
        StartListening(ServiceCommand({"--pipes-per-pair", "1", "--check-pairs", "off"}));
    ChildProcess& process = *service.process;
    ASSERT_EQ(PostTranslate(service.port, "Le chat est noir.", "fr", "es").status, 200);
    const auto before = ChildrenOf(process.Pid());
    const std::size_t mark = process.OutputSize();
    for (const std::string text : {"Le chat\xEF\xBF\xBF est noir.", "\xEF\xBF\xBE\xEF\xBF\xBF",
                                   "Le \xF4\x8F\xBF\xBF chat \xEF\xB7\x90."}) {
        const Reply reply = PostTranslate(service.port, text, "fr", "es");
        EXPECT_EQ(reply.status, 200) << reply.reason;
        for (const std::string nonchar : {"\xEF\xBF\xBF", "\xEF\xBF\xBE", "\xF4\x8F\xBF\xBF"}) {
            if (text.find(nonchar) != std::string::npos) {
                EXPECT_NE(reply.body.find(nonchar), std::string::npos) << reply.body;
            }
        }
    }
    EXPECT_EQ(PostTranslate(service.port, "Le chat est noir.", "fr", "es").body,
              "\"El gato es negro.\"");
    EXPECT_EQ(ChildrenOf(process.Pid()), before);
    EXPECT_EQ(process.Output().find("ended", mark), std::string::npos) << process.Output();
}

// A request admitted as its deadline passes proves nothing against the pipeline it would
// use: it gets its 504 and the pipeline lives on.
TEST(RemoteAndOffline, ALateTurnRestartsNoHealthyPipeline) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("tervane-late-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "fra-deu.mode") << "sleep 600\n"; // never answers
    std::ofstream(dir / "fra-nld.mode") << "cat | cat\n"; // answers at once
    {
        RunningServer service = StartListening(ServiceCommand(
            {"--apertium-runner", "processes", "--modes-dir", dir.string(), "--max-active", "1",
             "--timeout", "1", "--pipes-per-pair", "1", "--max-body", "16777216"}));
        ASSERT_EQ(PostTranslate(service.port, "un", "fr", "nl").status, 200);
        std::vector<pid_t> healthy;
        for (const auto& [pid, name] : ChildrenOf(service.process->Pid()))
            healthy.push_back(name == "cat" ? pid : 0);
        // The waiter's turn comes when the holder's time-out passes, a moment before its
        // own: too little time for even cat to pass on a large text.
        const std::string large(4 * 1024 * 1024, 'x');
        for (int trial = 0; trial < 4; ++trial) {
            auto holder = Ask(service.port, "deux", "fr", "de");
            std::this_thread::sleep_for(std::chrono::milliseconds(10 + 10 * trial));
            auto waiter = Ask(service.port, large, "fr", "nl");
            EXPECT_EQ(Within(holder, 10s).status, 504);
            const Reply late = Within(waiter, 10s);
            EXPECT_TRUE(late.status == 200 || late.status == 504)
                << late.status << " " << late.reason;
        }
        EXPECT_EQ(PostTranslate(service.port, "quatre", "fr", "nl").body, "\"quatre\"");
        std::vector<pid_t> after;
        for (const auto& [pid, name] : ChildrenOf(service.process->Pid()))
            after.push_back(name == "cat" ? pid : 0);
        std::erase(healthy, 0);
        std::erase(after, 0);
        EXPECT_EQ(after, healthy);
        EXPECT_EQ(service.process->Output().find("fra-nld ended"), std::string::npos)
            << service.process->Output();
    }
    std::filesystem::remove_all(dir);
}

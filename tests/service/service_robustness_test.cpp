// The real service under bad input, broken and stuck pipelines, overload, and a listen
// address that is not loopback. It must answer each with a clear status and keep serving.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace tervane::testing;
namespace fs = std::filesystem;

namespace {

// A modes directory of made-up pairs whose pipelines misbehave on purpose.
class BrokenModes {
  public:
    BrokenModes()
        : dir_(fs::temp_directory_path() / ("tervane-modes-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        Write("fra-deu", "sleep 600"); // never reads, never answers
        Write("fra-ita", "false");     // exits at once
        Write("fra-nld", "cat | cat"); // answers with its input: a working pipeline
    }
    ~BrokenModes() { fs::remove_all(dir_); }
    std::string Path() const { return dir_.string(); }

  private:
    void Write(const std::string& name, const std::string& pipeline) {
        std::ofstream(dir_ / (name + ".mode")) << pipeline << "\n";
    }
    fs::path dir_;
};

std::string FormBody(const std::string& text) {
    return "text=" + text + "&source=fr&target=es&format=text&v=1";
}

} // namespace

TEST(ServiceRobustness, AnswersEveryBadInputClearlyAndKeepsServing) {
    RunningServer server = StartListening(ServiceCommand({"--max-body", "4096"}));
    struct Case {
        std::string name;
        std::string body;
        int status;
        std::string reasonStart;
    };
    std::string manyFields = FormBody("a");
    for (int i = 0; i < 3000; ++i)
        manyFields += "&f" + std::to_string(i) + "=x";
    const std::vector<Case> cases = {
        {"invalid UTF-8", FormBody("%C3%28"), 400, "Text is not valid UTF-8"},
        {"NUL byte", FormBody("a%00b"), 400, "Text contains a NUL byte"},
        {"escape cut short", FormBody("abc%E"), 400, "Malformed form"},
        {"escape at the very end", "source=fr&target=es&format=text&v=1&text=%", 400,
         "Malformed form"},
        {"empty text", FormBody(""), 400, "Nothing to translate"},
        {"missing field", "text=a&source=fr&target=es&v=1", 400, "Missing field 'format'"},
        {"repeated field", FormBody("a") + "&target=en", 400,
         "Field 'target' is given more than once"},
        {"unknown code", "text=a&source=xx&target=es&format=text&v=1", 400,
         "Unknown language code 'xx'"},
        {"upper-case code", "text=a&source=FR&target=es&format=text&v=1", 400,
         "Unknown language code"},
        {"thousands of fields", manyFields.substr(0, 4000), 400, "Malformed form: more than"},
        {"over the body limit", FormBody(std::string(5000, 'a')), 413, "Request body too large"},
        {"1 MB body", FormBody(std::string(1 << 20, 'a')), 413, "Request body too large"},
    };
    for (const Case& c : cases) {
        const Reply reply = PostForm(server.port, c.body);
        EXPECT_EQ(reply.status, c.status) << c.name << ": " << reply.reason;
        EXPECT_EQ(reply.reason.rfind(c.reasonStart, 0), 0u) << c.name << ": " << reply.reason;
        EXPECT_EQ(reply.body, reply.reason + "\n") << c.name;
    }
    // (A JSON body is LibreTranslate's face: service_libretranslate_face_test.cpp.)
    EXPECT_EQ(PostForm(server.port, "{}", "text/plain").status, 415);
    EXPECT_EQ(GetPath(server.port, "/translate").status, 405);
    EXPECT_EQ(GetPath(server.port, "/nowhere").status, 404);

    // Each request has its log line, also those refused before the form was read.
    ChildProcess& process = *server.process;
    EXPECT_EQ(process.WaitForLines("refused status=413 Request body too large", 2, 0).size(), 2u)
        << process.Output();
    EXPECT_NE(process.WaitForLine("GET /nowhere ", 0).find(" status=404 "), std::string::npos)
        << process.Output();
    EXPECT_EQ(process.WaitForLines(" status=400 ", 10, 0).size(), 10u) << process.Output();
    // A refusal's line says why, as the client was told.
    EXPECT_NE(process.WaitForLine(" status=400 ", 0).find("ms: "), std::string::npos)
        << process.Output();
    EXPECT_NE(process.WaitForLine("ms: Unknown language code 'xx'", 0), "") << process.Output();

    const Reply after = PostTranslate(server.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(after.status, 200) << after.reason;
    EXPECT_EQ(after.body, "\"El gato es negro.\"");
}

TEST(ServiceRobustness, AKilledPipelineProcessIsReplacedBeforeTheNextRequest) {
    RunningServer server = StartListening(
        {TERVANE_SERVICE_BINARY, "--apertium-runner", "processes", "--pipes-per-pair", "1"});
    ASSERT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "es").status, 200);
    const auto before = ChildrenOf(server.process->Pid());
    ASSERT_GE(before.size(), 5u); // the fr-es pipeline: analyser, tagger, transfer, generator...
    pid_t victim = -1;
    for (const auto& [pid, name] : before) {
        if (name == "apertium-transf" || name == "apertium-transfer")
            victim = pid;
    }
    ASSERT_NE(victim, -1);
    ASSERT_EQ(::kill(victim, SIGKILL), 0);

    const Reply second = PostTranslate(server.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(second.status, 200) << second.reason;
    EXPECT_EQ(second.body, "\"El gato es negro.\"");
    // The whole old chain is gone, a fresh one serves, and no process was left behind.
    const auto after = ChildrenOf(server.process->Pid());
    EXPECT_EQ(after.size(), before.size());
    for (const auto& [pid, name] : after) {
        for (const auto& [oldPid, oldName] : before)
            EXPECT_NE(pid, oldPid) << name;
    }
}

TEST(ServiceRobustness, StuckAndCrashingPipelinesGiveErrorsNotHangs) {
    BrokenModes modes;
    RunningServer server =
        StartListening({TERVANE_SERVICE_BINARY, "--apertium-runner", "processes", "--modes-dir",
                        modes.Path(), "--timeout", "1", "--pipes-per-pair", "1"});

    const Reply stuck = PostTranslate(server.port, "Le chat.", "fr", "de");
    EXPECT_EQ(stuck.status, 504);
    EXPECT_NE(stuck.reason.find("fra-deu did not answer in time"), std::string::npos)
        << stuck.reason;
    // One time-out does not condemn the pipeline (its answer may still come): the next
    // request waits on the same one, stuck again, and no second one is started.
    const Reply again = PostTranslate(server.port, "Le chat.", "fr", "de");
    EXPECT_EQ(again.status, 504);
    std::size_t sleepers = 0;
    for (const auto& [pid, name] : ChildrenOf(server.process->Pid()))
        sleepers += name == "sleep";
    EXPECT_LE(sleepers, 1u);

    const Reply crashed = PostTranslate(server.port, "Le chat.", "fr", "it");
    EXPECT_EQ(crashed.status, 502);
    EXPECT_NE(crashed.reason.find("fra-ita"), std::string::npos) << crashed.reason;

    // A pipeline of plain cat (no -z needed) passes the text through the stream format.
    const Reply echoed = PostTranslate(server.port, "Un \"deux\" [trois]\n\nquatre", "fr", "nl");
    EXPECT_EQ(echoed.status, 200) << echoed.reason;
    EXPECT_EQ(echoed.body, "\"Un \\\"deux\\\" [trois]\\r\\n \\r\\nquatre\"");
}

TEST(ServiceRobustness, TurnsAwayRequestsBeyondTheQueueWith503) {
    BrokenModes modes;
    RunningServer server =
        StartListening({TERVANE_SERVICE_BINARY, "--apertium-runner", "processes", "--modes-dir",
                        modes.Path(), "--timeout", "3", "--max-active", "1", "--max-queue", "0"});
    // One request holds the only slot (its pipeline never answers) until its time-out.
    auto holder = std::async(std::launch::async,
                             [&] { return PostTranslate(server.port, "Le chat.", "fr", "de"); });
    bool sawBusy = false;
    while (holder.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        const Reply reply = PostTranslate(server.port, "Le chat.", "fr", "nl");
        if (reply.status == 503) {
            sawBusy = true;
            EXPECT_NE(reply.reason.find("Service busy"), std::string::npos) << reply.reason;
            break;
        }
    }
    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(holder.get().status, 504);
    EXPECT_EQ(PostTranslate(server.port, "Le chat.", "fr", "nl").status, 200);
}

TEST(ServiceRobustness, RefusesANonLoopbackAddressUnlessAllowedAndPrintsHelp) {
    // Refused before anything is bound: a port taken on loopback would make a bind fail
    // with another message and exit code.
    const RunningServer taken = StartListening({FAKE_LIBRETRANSLATE_BINARY});
    ChildProcess open(ServiceCommand({"--listen", "0.0.0.0:" + std::to_string(taken.port)}));
    EXPECT_EQ(open.WaitExit(std::chrono::seconds(30)), 2);
    // The exit does not mean the reader thread has taken in all of the output yet.
    EXPECT_NE(open.WaitForLine("--allow-remote", 0), "") << open.Output();

    ChildProcess help(ServiceCommand({"--help"}));
    EXPECT_EQ(help.WaitExit(std::chrono::seconds(30)), 0);
    EXPECT_NE(help.WaitForLine("--pipes-per-pair", 0), "") << help.Output();

    ChildProcess bad(ServiceCommand({"--engine", "nonesuch"}));
    EXPECT_EQ(bad.WaitExit(std::chrono::seconds(30)), 2);
}

// The default port lies in the range the system gives outgoing connections, so one of them
// (or a closed one in TIME_WAIT) may hold it when the service starts: the service waits for
// it to come free. A listener there is reported at once.
TEST(ServiceStart, WaitsForAPortAConnectionHoldsButNotForOneAListenerHas) {
    const RunningServer peer = StartListening({FAKE_LIBRETRANSLATE_BINARY});
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); // not the service's
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // The system's pick of a port, as for any client, but one a bind can take: a port picked
    // at connect may be one an earlier connection's TIME_WAIT (another test's) also holds, for
    // up to a minute after this connection has gone.
    ASSERT_EQ(::bind(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    address.sin_port = htons(peer.port);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(client, reinterpret_cast<sockaddr*>(&address), &length);
    const unsigned short held = ntohs(address.sin_port);
    const std::string listen = "127.0.0.1:" + std::to_string(held);

    ChildProcess service(ServiceCommand({"--listen", listen}));
    EXPECT_NE(service.WaitForLine("a connection holds the port", 0), "") << service.Output();
    const linger reset{1, 0}; // closed with a reset, which leaves no TIME_WAIT behind
    ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(client);
    // Its output, not connections, tells when it listens: a connection to a port nothing
    // listens on may be given that very port and connect to itself.
    EXPECT_NE(service.WaitForLine("listening on " + listen, 0, std::chrono::seconds(30)), "")
        << service.Output();
    EXPECT_TRUE(WaitForOk(held, "/health", std::chrono::seconds(5))) << service.Output();

    ChildProcess second(ServiceCommand({"--listen", listen}));
    EXPECT_EQ(second.WaitExit(std::chrono::seconds(30)), 1);
    EXPECT_NE(second.WaitForLine("cannot listen on " + listen, 0), "") << second.Output();
    EXPECT_EQ(second.Output().find("holds the port"), std::string::npos) << second.Output();
}

TEST(ServiceStart, RefusesAModesDirectoryWithoutPairsAndSaysItsVersion) {
    ChildProcess missing({TERVANE_SERVICE_BINARY, "--listen", "127.0.0.1:0", "--modes-dir",
                          "/nonexistent-tervane-modes"});
    EXPECT_EQ(missing.WaitExit(std::chrono::seconds(30)), 2);
    EXPECT_NE(missing.WaitForLine("does not exist", 0), "") << missing.Output();
    BrokenModes modes;
    fs::remove_all(modes.Path()); // the folder stays
    fs::create_directories(modes.Path());
    ChildProcess empty(
        {TERVANE_SERVICE_BINARY, "--listen", "127.0.0.1:0", "--modes-dir", modes.Path()});
    EXPECT_EQ(empty.WaitExit(std::chrono::seconds(30)), 2);
    EXPECT_NE(empty.WaitForLine("holds no usable Apertium mode", 0), "") << empty.Output();

    ChildProcess version({TERVANE_SERVICE_BINARY, "--version"});
    EXPECT_EQ(version.WaitExit(std::chrono::seconds(30)), 0);
    EXPECT_NE(version.WaitForLine("tervane-service ", 0), "") << version.Output();
    ChildProcess extra({TERVANE_SERVICE_BINARY, "extra"});
    EXPECT_EQ(extra.WaitExit(std::chrono::seconds(30)), 2);
    EXPECT_NE(extra.WaitForLine("unknown option 'extra'", 0), "") << extra.Output();
}

// As a daemon: SIGHUP reopens the log file (moved away by logrotate), it does not end the
// service; the file's lines begin with the local time.
TEST(ServiceStart, ReopensItsLogFileOnSighup) {
    const fs::path dir = fs::temp_directory_path() / ("tervane-hup-" + std::to_string(::getpid()));
    const fs::path log = dir / "service.log";
    const unsigned short port = FreeLoopbackPort();
    ChildProcess service({TERVANE_SERVICE_BINARY, "--listen", "127.0.0.1:" + std::to_string(port),
                          "--log-file", log.string()});
    ASSERT_TRUE(WaitForOk(port, "/health", std::chrono::seconds(30)));
    fs::rename(log, dir / "service.log.1");
    ASSERT_EQ(::kill(service.Pid(), SIGHUP), 0);
    ASSERT_TRUE(WaitForOk(port, "/health", std::chrono::seconds(30)));
    std::string reopened;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (reopened.find("log reopened") == std::string::npos &&
           std::chrono::steady_clock::now() < until) {
        std::ifstream in(log);
        reopened.assign(std::istreambuf_iterator<char>(in), {});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(reopened.find("tervane-service: log reopened on SIGHUP"), std::string::npos)
        << reopened;
    EXPECT_EQ(reopened.rfind("20", 0), 0u) << reopened; // a time stamp first
    fs::remove_all(dir);
}

// What only the Windows build of the service does, run under Wine: it refuses the Apertium
// engine at start, writes its log to the file it is given, ends when `--stop` asks, and
// reaches https:// servers through WinHTTP, checking their certificates.
// TERVANE_SERVICE_COMMAND starts it (tests/wine/with-windows-service.sh).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace tervane::testing;
namespace fs = std::filesystem;

namespace {

constexpr auto kExit = std::chrono::seconds(60); // Wine starts slowly on a loaded machine

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int RunStop(unsigned short port) {
    ChildProcess stop(ServiceCommand({"--stop", "--listen", "127.0.0.1:" + std::to_string(port)}));
    return stop.WaitExit(kExit);
}

} // namespace

TEST(WindowsService, RefusesTheApertiumEngineAtStart) {
    ChildProcess apertium(ServiceCommand({"--engine", "apertium"}));
    EXPECT_EQ(apertium.WaitExit(kExit), 2);
    EXPECT_NE(apertium.WaitForLine("the apertium engine is not available on Windows; use "
                                   "--engine libretranslate or --engine apy",
                                   0),
              "")
        << apertium.Output();
}

TEST(WindowsService, LogsToItsFileAndEndsWhenAskedToStop) {
    const fs::path dir =
        fs::temp_directory_path() / ("tervane-winlog-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path log = dir / "service.log";
    const unsigned short port = FreeLoopbackPort();
    EXPECT_EQ(RunStop(port), 1); // none running yet

    ChildProcess service(ServiceCommand(
        {"--listen", "127.0.0.1:" + std::to_string(port), "--log-file", "Z:" + log.string()}));
    ASSERT_TRUE(WaitForOk(port, "/health", kExit)) << service.Output();
    const Reply reply = PostTranslate(port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(reply.status, 200) << reply.reason;
    EXPECT_EQ(reply.body, "\"El gato es negro.\"");

    EXPECT_EQ(RunStop(port), 0);
    EXPECT_EQ(service.WaitExit(kExit), 0);
    const std::string text = ReadFile(log);
    for (const char* line : {"tervane-service: listening on 127.0.0.1:", "POST /translate fr->es ",
                             "tervane-service: stopping on stop request"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(RunStop(port), 1);
    fs::remove_all(dir);
}

// The apy engine asking APy servers over https: tests/wine/with-trusted-tls.sh runs two on
// loopback (TERVANE_TLS_PORTS), "good" with a certificate from a throwaway CA it puts among
// the trusted roots of this test's own Wine prefix, "bad" with one from a CA nobody trusts.
TEST(WindowsServiceOverTls, TranslatesThroughATrustedApyServerAndRefusesAnUntrustedOne) {
    const char* ports = std::getenv("TERVANE_TLS_PORTS");
    ASSERT_NE(ports, nullptr) << "run through tests/wine/with-trusted-tls.sh";
    unsigned short good = 0, bad = 0;
    std::istringstream(ports) >> good >> bad;
    const auto apy = [](unsigned short port) {
        return ServiceCommand(
            {"--engine", "apy", "--apy-url", "https://127.0.0.1:" + std::to_string(port)});
    };

    RunningServer trusted = StartListening(apy(good));
    Reply reply = PostTranslate(trusted.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(reply.status, 200) << reply.reason << trusted.process->Output();
    EXPECT_EQ(reply.body, "\"El gato es negro.\"");

    RunningServer untrusted = StartListening(apy(bad));
    reply = PostTranslate(untrusted.port, "Le chat est noir.", "fr", "es");
    EXPECT_EQ(reply.status, 502);
    EXPECT_NE(reply.reason.find("certificate is not trusted (GET https://127.0.0.1:" +
                                std::to_string(bad) + "/listPairs)"),
              std::string::npos)
        << reply.reason;
    EXPECT_EQ(GetPath(untrusted.port, "/health").status, 503);
}

// What only the Windows build of the service does, run under Wine: it refuses the Apertium
// engine at start, writes its log to the file it is given, and ends when `--stop` asks.
// TERVANE_SERVICE_COMMAND starts it (tests/wine/with-windows-service.sh).
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

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

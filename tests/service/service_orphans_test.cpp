// No pair host or stage process outlives the service, nor the pipeline the service ended
// for hanging: a made-up pair whose last stage is a program that sleeps and never answers.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace tervane::testing;
namespace fs = std::filesystem;

namespace {

// How long the service may take to end its processes: a bound for a broken service, far
// beyond what a working one needs.
constexpr auto kBound = std::chrono::seconds(10);

// Processes (any owner) whose command line is exactly words.
std::size_t CountProcesses(const std::vector<std::string>& words) {
    std::string wanted;
    for (const std::string& word : words)
        wanted += word + '\0';
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos &&
            ReadProcFile(entry.path().string() + "/cmdline") == wanted)
            ++count;
    }
    return count;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace

TEST(ServiceProcesses, NoHostOrStageOutlivesTheServiceOrItsHungPipeline) {
    const fs::path modes =
        fs::temp_directory_path() / ("tervane-orphans-" + std::to_string(::getpid()));
    fs::create_directories(modes);
    // A number of this test's own, so that its sleeping stage is told from any other.
    const std::string seconds = std::to_string(4000 + ::getpid() % 1000);
    std::ofstream(modes / "fra-deu.mode") << "cat | sleep " << seconds << "\n";
    const std::vector<std::string> stage = {"sleep", seconds};
    const std::vector<std::string> host = {TERVANE_PAIR_HOST_BINARY,
                                           (modes / "fra-deu.mode").string()};
    RunningServer service = StartListening(
        ServiceCommand({"--modes-dir", modes.string(), "--check-pairs", "off", "--timeout", "1"}));

    // The service ends the hung pipeline itself: its stage goes with its host.
    std::size_t mark = service.process->OutputSize();
    EXPECT_EQ(PostTranslate(service.port, "Le chat.", "fr", "de").status, 504);
    EXPECT_TRUE(WaitUntil([&] { return CountProcesses(stage) == 1; }, kBound));
    EXPECT_NE(service.process->WaitForLine("pipeline fra-deu ended: no answer", mark), "")
        << service.process->Output().substr(mark);
    EXPECT_TRUE(WaitUntil([&] { return CountProcesses(stage) == 0; }, kBound));
    EXPECT_EQ(CountProcesses(host), 0u);

    // The service stopped while a pipeline hangs: nothing of it is left.
    mark = service.process->OutputSize();
    EXPECT_EQ(PostTranslate(service.port, "Le chien.", "fr", "de").status, 504);
    EXPECT_TRUE(WaitUntil([&] { return CountProcesses(stage) == 1; }, kBound));
    ASSERT_EQ(::kill(service.process->Pid(), SIGTERM), 0);
    EXPECT_EQ(service.process->WaitExit(kBound), 0) << service.process->Output();
    EXPECT_TRUE(
        WaitUntil([&] { return CountProcesses(stage) + CountProcesses(host) == 0; }, kBound));
    fs::remove_all(modes);
}

// The service's log file: its folder made, appended to, and at its size limit begun anew
// with one older file kept.
#include "service/platform/LogFile.h"
#include "service/platform/LogQueue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace tervane::service;
namespace fs = std::filesystem;

namespace {

// A line of 40 bytes that begins with its letter.
std::string Line(char letter) {
    return std::string(1, letter) + ": " + std::string(36, '.') + "\n";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(LogFile, MakesItsFolderAppendsAndKeepsOneOlderFileAtTheLimit) {
    const fs::path dir =
        fs::temp_directory_path() / ("tervane-logfile-" + std::to_string(::getpid()));
    const fs::path path = dir / "Tervane" / "service.log";
    const std::atomic<bool> stopping{false};
    {
        fs::create_directories(dir); // the folder may exist in part
        std::ofstream(dir / "earlier", std::ios::binary);
        Result<LogOutput> first = LogFileOutput(path, 100);
        ASSERT_TRUE(first.Ok()) << first.Failure().reason;
        ASSERT_TRUE(first.Value().write(Line('a'), stopping));
    }
    Result<LogOutput> log = LogFileOutput(path, 100); // a restart appends
    ASSERT_TRUE(log.Ok());
    EXPECT_EQ(log.Value().name, "the log file");
    ASSERT_TRUE(log.Value().write(Line('b'), stopping));
    EXPECT_EQ(ReadFile(path).size(), 80u);
    ASSERT_TRUE(log.Value().write(Line('c'), stopping));
    EXPECT_EQ(ReadFile(path), Line('c'));
    EXPECT_EQ(ReadFile(path.string() + ".1").substr(0, 2), "a:");
    for (const std::string& line : {Line('d'), Line('e')})
        ASSERT_TRUE(log.Value().write(line, stopping));
    EXPECT_EQ(ReadFile(path).substr(0, 2), "e:");
    EXPECT_EQ(ReadFile(path.string() + ".1").substr(0, 2), "c:");
    EXPECT_FALSE(fs::exists(path.string() + ".2"));

    EXPECT_FALSE(LogFileOutput(dir / "earlier" / "x.log").Ok()); // a file where a folder must be
    fs::remove_all(dir);
}

// Through the log's queue: each line of a file begins with the local time, and a reopen (as
// on SIGHUP after logrotate moved the file away) begins the file again at its path.
TEST(LogFile, StampsItsLinesAndIsOpenedAgainWhereItWasMoved) {
    const fs::path dir =
        fs::temp_directory_path() / ("tervane-logstamp-" + std::to_string(::getpid()));
    const fs::path path = dir / "service.log";
    {
        Result<LogOutput> output = LogFileOutput(path);
        ASSERT_TRUE(output.Ok());
        EXPECT_TRUE(output.Value().stamped);
        LogQueue log(std::move(output).Value(), "tervane-service");
        log.Post("before");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ReadFile(path).empty() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        fs::rename(path, dir / "service.log.moved");
        log.Reopen();
        log.Post("after");
        log.Stop(std::chrono::seconds(5));
    }
    const std::regex stamped(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d tervane-service: )");
    const std::string moved = ReadFile(dir / "service.log.moved");
    const std::string fresh = ReadFile(path);
    EXPECT_TRUE(std::regex_search(moved, stamped)) << moved;
    EXPECT_NE(moved.find("tervane-service: before\n"), std::string::npos) << moved;
    EXPECT_TRUE(std::regex_search(fresh, stamped)) << fresh;
    EXPECT_NE(fresh.find("tervane-service: after\n"), std::string::npos) << fresh;
    EXPECT_EQ(fresh.find("before"), std::string::npos) << fresh;
    fs::remove_all(dir);
}

// The service's log file: its folder made, appended to, and at its size limit begun anew
// with one older file kept.
#include "service/platform/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
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

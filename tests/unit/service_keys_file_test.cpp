// The --api-keys file as the service reads it: only a regular file of bounded size, read
// again whenever its content changes (even when its size and times are kept), the last
// good keys kept through a mistake, a byte-order mark not part of the first key.
#include "service/http/ApiKeys.h"
#include "service/platform/RegularFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace tervane::service;

namespace {

struct KeysFolder : ::testing::Test {
    void SetUp() override {
        char pattern[] = "/tmp/tervane-keys-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        file = folder / "keys";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void Write(const std::string& text) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    }
    // Writes in place and puts the modification time back, as cp -p and rsync -t do.
    void RewriteKeepingTime(const std::string& text) {
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        Write(text);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    }

    std::filesystem::path folder;
    std::filesystem::path file;
    std::vector<std::string> logged;
    ApiKeys::Log log = [this](const std::string& line) { logged.push_back(line); };
};

} // namespace

TEST_F(KeysFolder, ReadsOnlyRegularFilesOfBoundedSize) {
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    const struct {
        std::filesystem::path path;
        int status;
    } refused[] = {
        {folder / "fifo", 415}, {"/dev/zero", 415}, {folder, 415}, {folder / "missing", 404}};
    for (const auto& row : refused) {
        const Result<std::string> read = ReadRegularFile(row.path, 1024);
        ASSERT_FALSE(read.Ok()) << row.path;
        EXPECT_EQ(read.Failure().status, row.status) << read.Failure().reason;
        ApiKeys keys(row.path, row.path.string(), log);
        EXPECT_FALSE(keys.Load().Ok()) << row.path; // a start refuses it
    }
    Write(std::string(kApiKeysFileLimit + 1, 'k'));
    ApiKeys large(file, "keys", log);
    EXPECT_EQ(ReadRegularFile(file, kApiKeysFileLimit).Failure().status, 413);
    EXPECT_FALSE(large.Load().Ok());
}

TEST_F(KeysFolder, SeesEveryChangeAndKeepsTheLastGoodKeysThroughAMistake) {
    Write("\xEF\xBB\xBFkey-one\nkey-two\n");
    ApiKeys keys(file, "keys", log);
    ASSERT_TRUE(keys.Load().Ok());
    EXPECT_TRUE(keys.Accepts("key-one")); // the mark is no part of it
    EXPECT_EQ(logged.back(), "api keys: 2 read from keys");

    RewriteKeepingTime("\xEF\xBB\xBFkey-one\nkey-new\n"); // same size, same time
    keys.Refresh();
    EXPECT_FALSE(keys.Accepts("key-two"));
    EXPECT_TRUE(keys.Accepts("key-new"));

    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); // never blocks the reader
    keys.Refresh();
    keys.Refresh();
    EXPECT_TRUE(keys.Accepts("key-new"));
    EXPECT_EQ(logged.back(), "api keys: " + file.string() +
                                 " is not a regular file; the 2 keys read before stay valid");
    EXPECT_EQ(logged.size(), 3u); // said once

    std::filesystem::remove(file);
    keys.Refresh(); // withdrawn by deleting: nobody's key is valid
    EXPECT_FALSE(keys.Accepts("key-new"));
    Write("key-back\n");
    keys.Refresh();
    EXPECT_TRUE(keys.Accepts("key-back"));
}

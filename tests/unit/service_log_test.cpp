// The service's log over a pipe nobody reads: posting never blocks, what cannot wait is
// dropped and counted, and the stop does not hang on the blocked output.
#include "service/platform/LogOutput_posix.h"
#include "service/platform/LogQueue.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace tervane::service;

TEST(LogQueue, DropsAndCountsWhatABlockedOutputCannotTakeAndStillStops) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    {
        LogQueue log(DescriptorOutput(fds[1]), "test", 16);
        const std::string line(200, 'x'); // 2,000 of them are six times what the pipe holds
        for (int i = 0; i < 2000; ++i)
            log.Post(line);
        log.CountBusy();
        // Read it all: the writer resumes and says how many lines it had to drop.
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        std::string output;
        char chunk[65536];
        for (int idle = 0; output.find("log lines dropped") == std::string::npos && idle < 3000;) {
            const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
            if (n > 0) {
                output.append(chunk, static_cast<std::size_t>(n));
            } else {
                ++idle;
                ::usleep(1000);
            }
        }
        EXPECT_NE(output.find("test: "), std::string::npos);
        EXPECT_NE(output.find(" log lines dropped: standard error was not taking them"),
                  std::string::npos);
        // Block the output again, then stop: Stop() gives up on it rather than wait for ever.
        for (int i = 0; i < 2000; ++i)
            log.Post(line);
        log.Stop(std::chrono::milliseconds(200));
    }
    ::close(fds[0]);
    ::close(fds[1]);
}

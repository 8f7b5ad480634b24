#include "service/platform/LogOutput_posix.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace tervane::service {
namespace {

bool WriteAll(int fd, std::string_view text, const std::atomic<bool>& stopping) {
    while (!text.empty()) {
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0) {
            if (stopping)
                return false;
            continue;
        }
        if (pfd.revents & (POLLERR | POLLNVAL))
            return false;
        const ssize_t written =
            ::write(fd, text.data(), std::min<std::size_t>(text.size(), PIPE_BUF));
        if (written < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

LogOutput DescriptorOutput(int fd, std::string name) {
    LogOutput output;
    output.name = std::move(name);
    output.write = [fd](std::string_view text, const std::atomic<bool>& stopping) {
        return WriteAll(fd, text, stopping);
    };
    return output;
}

// Someone reading a terminal gets the time of each line; the journal (JOURNAL_STREAM set)
// and scripts reading a pipe get the lines as they were, stamped or not by their reader.
LogOutput StandardErrorOutput() {
    LogOutput output = DescriptorOutput(STDERR_FILENO);
    output.stamped = ::isatty(STDERR_FILENO) == 1 && std::getenv("JOURNAL_STREAM") == nullptr;
    return output;
}

std::filesystem::path DefaultLogFile() {
    return {};
}

std::filesystem::path PathFromUtf8(const std::string& text) {
    return text;
}

} // namespace tervane::service

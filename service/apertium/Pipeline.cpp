#include "service/apertium/Pipeline.h"

#include "service/apertium/ProcessGroups.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tervane::service {
namespace {

// The tools read and write UTF-8 whatever the service's own locale is.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0)
            env.emplace_back(*entry);
    }
    env.emplace_back("LC_ALL=C.UTF-8");
    return env;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

} // namespace

Result<std::unique_ptr<Pipeline>> Pipeline::Start(const std::vector<Command>& commands,
                                                  bool ownGroup) {
    std::unique_ptr<Pipeline> pipeline(new Pipeline());
    std::string error;
    const std::vector<std::string> environment = ChildEnvironment();

    // Our pipe ends are close-on-exec so no child holds another's pipe open.
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    int inputFd = -1;
    for (std::size_t i = 0; i < commands.size() && error.empty(); ++i) {
        int in[2] = {-1, -1};
        if (i == 0) {
            if (::pipe2(in, O_CLOEXEC) != 0) {
                error = std::string("pipe: ") + std::strerror(errno);
                break;
            }
            pipeline->toFirst_ = in[1];
            inputFd = in[0];
        }
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            error = std::string("pipe: ") + std::strerror(errno);
            ::close(inputFd);
            break;
        }
        Grouping grouping;
        if (ownGroup) {
            grouping.kind = pipeline->group_ == 0 ? Grouping::Kind::NewGroup : Grouping::Kind::Join;
            grouping.group = pipeline->group_;
        }
        const Result<pid_t> started =
            StartProcess(commands[i], inputFd, out[1], devNull, grouping, environment);
        ::close(inputFd);
        ::close(out[1]);
        inputFd = out[0];
        if (!started.Ok()) {
            error = started.Failure().reason;
            break;
        }
        pipeline->pids_.push_back(started.Value());
        if (ownGroup && pipeline->group_ == 0) {
            pipeline->group_ = started.Value();
            RememberGroup(pipeline->group_);
        }
    }
    if (devNull >= 0)
        ::close(devNull);
    if (commands.empty())
        error = "empty pipeline";
    if (!error.empty()) {
        if (inputFd >= 0)
            ::close(inputFd);
        return Error{502, error}; // the processes started so far are ended with the pipeline
    }
    pipeline->fromLast_ = inputFd;
    ::fcntl(pipeline->toFirst_, F_SETFL, ::fcntl(pipeline->toFirst_, F_GETFL) | O_NONBLOCK);
    ::fcntl(pipeline->fromLast_, F_SETFL, ::fcntl(pipeline->fromLast_, F_GETFL) | O_NONBLOCK);
    return pipeline;
}

Pipeline::~Pipeline() {
    Stop();
}

void Pipeline::Stop() {
    if (toFirst_ >= 0)
        ::close(toFirst_);
    if (fromLast_ >= 0)
        ::close(fromLast_);
    toFirst_ = fromLast_ = -1;
    // The whole group: a pair host's stage processes go with it. The group is still ours to
    // signal: its first process is not reaped before this.
    if (group_ != 0) {
        ::kill(-group_, SIGKILL);
        ForgetGroup(group_);
        group_ = 0;
    }
    for (const pid_t pid : pids_)
        ::kill(pid, SIGKILL);
    for (const pid_t pid : pids_) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pids_.clear();
}

bool Pipeline::Alive() {
    if (pids_.empty() || toFirst_ < 0)
        return false;
    for (const pid_t pid : pids_) {
        // Looked at without reaping it (WNOWAIT): the number, and its group, stay ours until
        // Stop() has signalled them.
        siginfo_t info{};
        const int looked =
            ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (looked != 0 || info.si_pid != 0) {
            // Exited, or not ours any more: the chain is broken.
            Stop();
            return false;
        }
    }
    return true;
}

bool Pipeline::Troubled() {
    if (fromLast_ < 0)
        return true;
    if (unfinished_)
        return CatchUp(std::chrono::steady_clock::now()) == Step::Broke;
    pollfd fd{fromLast_, POLLIN, 0};
    int ready = 0;
    while ((ready = ::poll(&fd, 1, 0)) < 0 && errno == EINTR) {
    }
    return ready != 0;
}

Pipeline::Step Pipeline::CatchUp(std::chrono::steady_clock::time_point deadline) {
    const Step step = Pump(*unfinished_, std::min(deadline, owedUntil_));
    if (step == Step::Late && std::chrono::steady_clock::now() < owedUntil_)
        return step; // slow, still within its grace
    unfinished_.reset();
    if (step == Step::Answered && !Stopped())
        return step; // the late answer came and was dropped
    Stop();
    return Step::Broke;
}

Pipeline::Step Pipeline::Pump(Exchanging& work, std::chrono::steady_clock::time_point deadline) {
    char chunk[16 * 1024];
    while (true) {
        pollfd fds[2] = {{fromLast_, POLLIN, 0},
                         {work.written < work.pending.size() ? toFirst_ : -1, POLLOUT, 0}};
        const int ready = ::poll(fds, 2, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return Step::Late;
        if (fds[1].revents & (POLLERR | POLLHUP))
            return Step::Broke;
        if (fds[1].revents & POLLOUT) {
            const ssize_t n = ::write(toFirst_, work.pending.data() + work.written,
                                      work.pending.size() - work.written);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return Step::Broke;
            if (n > 0)
                work.written += static_cast<std::size_t>(n);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::read(fromLast_, chunk, sizeof chunk);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (n <= 0)
                return Step::Broke;
            work.output.append(chunk, static_cast<std::size_t>(n));
            const std::size_t nul = work.output.find('\0');
            if (nul != std::string::npos) {
                // Bytes after the NUL mean the stream lost step with our requests: start afresh.
                const bool extra =
                    nul + 1 != work.output.size() || work.written != work.pending.size();
                work.output.resize(nul);
                if (extra)
                    Stop();
                const std::string& end = work.sentinel;
                if (work.output.size() < end.size() ||
                    work.output.compare(work.output.size() - end.size(), end.size(), end) != 0) {
                    return Step::Broke;
                }
                work.output.resize(work.output.size() - end.size());
                return Step::Answered;
            }
            if (work.output.size() > work.maxOutput)
                return Step::TooMuch;
        }
    }
}

Result<std::string> Pipeline::Exchange(const std::string& input,
                                       std::chrono::steady_clock::time_point deadline,
                                       std::size_t maxOutput) {
    const auto broke = [this] {
        Stop();
        return Error{503, "stopped while translating; its pipeline was restarted"};
    };
    const Error late{504, "did not answer in time"};
    if (!Alive())
        return broke();
    if (unfinished_) {
        const Step step = CatchUp(deadline);
        if (step == Step::Late)
            return late; // still within its grace: slow, not stopped
        if (step != Step::Answered)
            return Error{503, "stopped answering; its pipeline was restarted"};
    }
    if (RemainingMs(deadline) == 0)
        return late; // no time left to ask: nothing sent, nothing to blame
    // A superblank that every tool passes through in order: an answer that does not end in
    // it was not made from this request (a broken chain flushes NULs as it dies).
    Exchanging work;
    work.sentinel = "[tervane" + std::to_string(++sequence_) + "]";
    work.pending = input + work.sentinel;
    work.pending += '\0';
    work.maxOutput = maxOutput;
    switch (Pump(work, deadline)) {
    case Step::Answered:
        return std::move(work.output);
    case Step::Late:
        // The answer may still come: the next use takes it in, the reaper waits for it
        // kLateAnswerGrace before it counts the pipeline as stopped.
        unfinished_ = std::move(work);
        owedUntil_ = std::chrono::steady_clock::now() + kLateAnswerGrace;
        return late;
    case Step::Broke:
        return broke();
    case Step::TooMuch:
        break;
    }
    Stop();
    return Error{502, "produced too much output"};
}

} // namespace tervane::service

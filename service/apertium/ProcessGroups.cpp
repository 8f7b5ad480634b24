#include "service/apertium/ProcessGroups.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tervane::service {
namespace {

// The program's path as execvp would find it, looked up before the fork (the child may only
// make async-signal-safe calls).
std::string FindProgram(const std::string& name, const std::vector<std::string>& environment) {
    if (name.find('/') != std::string::npos)
        return name;
    std::string path = "/usr/local/bin:/usr/bin:/bin";
    for (const std::string& entry : environment) {
        if (entry.rfind("PATH=", 0) == 0)
            path = entry.substr(5);
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = end == start ? "." : path.substr(start, end - start);
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

// Runs jobs on one thread that never ends, so that a started process's parent-death signal
// comes only when the service (or host) itself dies.
class Starter {
  public:
    static Starter& Get() {
        static Starter* starter = new Starter(); // never destroyed: its thread runs to the end
        return *starter;
    }

    Result<pid_t> Run(std::function<Result<pid_t>()> job) {
        std::packaged_task<Result<pid_t>()> task(std::move(job));
        std::future<Result<pid_t>> result = task.get_future();
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(task));
        }
        wake_.notify_one();
        return result.get();
    }

  private:
    Starter() {
        std::thread([this] {
            for (;;) {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !jobs_.empty(); });
                auto job = std::move(jobs_.front());
                jobs_.pop_front();
                lock.unlock();
                job();
            }
        }).detach();
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<Result<pid_t>()>> jobs_;
};

Result<pid_t> Fork(const Command& command, int in, int out, int err, Grouping grouping,
                   const std::vector<std::string>& environment, int niceness) {
    const std::string program = FindProgram(command.front(), environment);
    if (program.empty())
        return Error{502, "cannot start " + command.front() + ": " + std::strerror(ENOENT)};
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    int failed[2]; // the child's exec error, if any; closed by a successful exec
    if (::pipe2(failed, O_CLOEXEC) != 0)
        return Error{502, std::string("pipe: ") + std::strerror(errno)};
    const pid_t parent = ::getpid();
    const pid_t group = grouping.kind == Grouping::Kind::Join ? grouping.group : 0;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (grouping.kind != Grouping::Kind::Inherit)
            ::setpgid(0, group);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setpriority(PRIO_PROCESS, 0, niceness);
        if (::getppid() != parent) // the starter died before the signal was asked for
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        if (err >= 0)
            ::dup2(err, 2);
        // Default handling back (the service ignores SIGPIPE) and an empty mask.
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
            ::sigaction(signal, &defaults, nullptr);
        sigset_t empty;
        sigemptyset(&empty);
        ::sigprocmask(SIG_SETMASK, &empty, nullptr);
        ::execve(program.c_str(), argv.data(), envp.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t told = ::write(failed[1], &error, sizeof error);
        ::_exit(127);
    }
    const int forkError = errno;
    ::close(failed[1]);
    if (pid < 0) {
        ::close(failed[0]);
        return Error{502, "cannot start " + command.front() + ": " + std::strerror(forkError)};
    }
    // Both sides set the group, so that it is there whichever runs first.
    if (grouping.kind != Grouping::Kind::Inherit)
        ::setpgid(pid, group == 0 ? pid : group);
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(failed[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(failed[0]);
    if (got == sizeof error) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return Error{502, "cannot start " + command.front() + ": " + std::strerror(error)};
    }
    return pid;
}

std::mutex groupsMutex;
std::atomic<bool> endingAll = false;
std::set<pid_t>& Groups() {
    static std::set<pid_t>* groups = new std::set<pid_t>();
    return *groups;
}

} // namespace

Result<pid_t> StartProcess(const Command& command, int in, int out, int err, Grouping grouping,
                           const std::vector<std::string>& environment) {
    if (command.empty())
        return Error{502, "empty command"};
    // The process runs at the niceness of the thread that asks for it (the pair check's hosts
    // yield to requests'), not at the Starter thread's.
    const int niceness = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    return Starter::Get().Run(
        [&] { return Fork(command, in, out, err, grouping, environment, niceness); });
}

void RememberGroup(pid_t group) {
    std::lock_guard lock(groupsMutex);
    Groups().insert(group);
}

void ForgetGroup(pid_t group) {
    std::lock_guard lock(groupsMutex);
    Groups().erase(group);
}

bool EndingAllGroups() {
    return endingAll;
}

void EndAllGroups(std::chrono::milliseconds grace) {
    endingAll = true;
    std::set<pid_t> groups;
    {
        std::lock_guard lock(groupsMutex);
        groups = Groups();
    }
    for (const pid_t group : groups)
        ::kill(-group, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + grace;
    for (;;) {
        // A group is done with when none of our own children in it (the pipeline's
        // processes, a pair host) is left: they are reaped here. A host's stages are the
        // host's children, which another reaps, so their zombies are not waited for.
        std::erase_if(groups, [](pid_t group) {
            pid_t reaped = 0;
            while ((reaped = ::waitpid(-group, nullptr, WNOHANG)) > 0) {
            }
            return reaped < 0 && errno == ECHILD;
        });
        if (groups.empty() || std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // What ignored SIGTERM goes now, the stages of ended hosts among them.
    std::lock_guard lock(groupsMutex);
    for (const pid_t group : Groups())
        ::kill(-group, SIGKILL);
}

} // namespace tervane::service

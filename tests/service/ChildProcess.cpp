#include "ChildProcess.h"

#include "ServiceClient.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tervane::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, OutputMode output) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int rc = ::posix_spawnp(&pid_, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + argv[0]);
    }
    outFd_ = out[0];
    if (output == OutputMode::Read)
        StartReading();
}

void ChildProcess::StartReading() {
    if (reader_.joinable())
        return;
    reader_ = std::thread([this] {
        char chunk[4096];
        ssize_t n;
        while ((n = ::read(outFd_, chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR)) {
            if (n <= 0)
                continue;
            std::lock_guard lock(mutex_);
            output_.append(chunk, static_cast<std::size_t>(n));
            grew_.notify_all();
        }
    });
}

ChildProcess::~ChildProcess() {
    Stop();
}

void ChildProcess::Stop() {
    if (pid_ > 0 && !exited_) {
        ::kill(-pid_, SIGTERM);
        if (WaitExit(std::chrono::seconds(5)) < 0 && !exited_) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            exited_ = true;
        }
    }
    // Whatever the leader left in its group (pipelines, workers) goes too.
    if (pid_ > 0)
        ::kill(-pid_, SIGKILL);
    if (reader_.joinable())
        reader_.join();
    if (outFd_ >= 0)
        ::close(outFd_);
    outFd_ = -1;
}

std::string ChildProcess::Output() {
    std::lock_guard lock(mutex_);
    return output_;
}

std::string ChildProcess::WaitForOutput(const std::string& text,
                                        std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::size_t at = std::string::npos;
    grew_.wait_for(lock, timeout, [&] { return (at = output_.find(text)) != std::string::npos; });
    return at == std::string::npos ? std::string() : output_.substr(at);
}

std::size_t ChildProcess::OutputSize() {
    std::lock_guard lock(mutex_);
    return output_.size();
}

std::vector<std::string> ChildProcess::WaitForLines(const std::string& text, std::size_t count,
                                                    std::size_t from,
                                                    std::chrono::milliseconds timeout) {
    std::vector<std::string> lines;
    const auto collect = [&] {
        lines.clear();
        std::size_t start = std::min(from, output_.size());
        if (start > 0 && output_[start - 1] != '\n') {
            const std::size_t end = output_.find('\n', start);
            start = end == std::string::npos ? output_.size() : end + 1;
        }
        for (std::size_t end; (end = output_.find('\n', start)) != std::string::npos;
             start = end + 1) {
            const std::string_view line(output_.data() + start, end - start);
            if (line.find(text) != std::string_view::npos)
                lines.emplace_back(line);
        }
        return lines.size() >= count;
    };
    std::unique_lock lock(mutex_);
    grew_.wait_for(lock, timeout, collect);
    return lines;
}

std::string ChildProcess::WaitForLine(const std::string& text, std::size_t from,
                                      std::chrono::milliseconds timeout) {
    std::vector<std::string> lines = WaitForLines(text, 1, from, timeout);
    return lines.empty() ? std::string() : std::move(lines.front());
}

int ChildProcess::WaitExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exited_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exited_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode_;
}

unsigned short FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string ReadProcFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return got < 0 ? std::string() : text;
}

namespace {

// Direct children of a process, living or zombies.
std::vector<std::pair<pid_t, std::string>> ChildrenInState(pid_t parent, bool zombies) {
    std::vector<std::pair<pid_t, std::string>> children;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    while (dirent* entry = ::readdir(proc.get())) {
        const std::string name = entry->d_name;
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string stat = ReadProcFile("/proc/" + name + "/stat");
        const std::string line = stat.substr(0, stat.find('\n'));
        // pid (comm) state ppid ...: comm may hold spaces, so read from the last ')'.
        const std::size_t open = line.find('(');
        const std::size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) != 2)
            continue;
        if (ppid == parent && (state == 'Z') == zombies) {
            children.emplace_back(std::stoi(name), line.substr(open + 1, close - open - 1));
        }
    }
    return children;
}

} // namespace

std::vector<std::pair<pid_t, std::string>> ChildrenOf(pid_t parent) {
    return ChildrenInState(parent, false);
}

std::size_t ZombieChildrenOf(pid_t parent) {
    return ChildrenInState(parent, true).size();
}

std::vector<std::string> ServiceCommand(const std::vector<std::string>& flags) {
    std::vector<std::string> command;
    const char* words = std::getenv("TERVANE_SERVICE_COMMAND");
    std::istringstream split(words ? words : "");
    for (std::string word; split >> word;)
        command.push_back(word);
    if (command.empty())
        command.push_back(TERVANE_SERVICE_BINARY);
    command.insert(command.end(), flags.begin(), flags.end());
    return command;
}

std::unique_ptr<ChildProcess> StartApertiumApy(unsigned short port, const std::string& root) {
    auto apy = std::make_unique<ChildProcess>(
        std::vector<std::string>{"apertium-apy", "-p", std::to_string(port), "-l",
                                 "/usr/share/apertium-apy/langNames.db", root});
    if (!WaitForOk(port, "/listPairs", std::chrono::seconds(60)))
        throw std::runtime_error("apertium-apy did not answer /listPairs: " + apy->Output());
    return apy;
}

std::string ApyRootWithWordModes() {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("tervane-apy-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "modes");
    for (const auto& mode : fs::directory_iterator("/usr/share/apertium/modes")) {
        if (mode.path().extension() == ".mode")
            fs::create_symlink(mode.path(), root / "modes" / mode.path().filename());
    }
    for (const auto& [mode, apyName] : {std::pair{"fr-es", "fra-spa"}, {"spa-eng", "spa-eng"}}) {
        std::ifstream in(std::string("/usr/share/apertium/modes/") + mode + ".mode");
        const std::string pipeline((std::istreambuf_iterator<char>(in)), {});
        const std::size_t tagger = pipeline.find(" | ", pipeline.find("apertium-tagger"));
        std::ofstream(root / "modes" / (std::string(mode) + "-morph.mode"))
            << pipeline.substr(0, pipeline.find(" | ")) << "\n";
        std::ofstream(root / "modes" / (std::string(mode) + "-tagger.mode"))
            << pipeline.substr(0, tagger) << "\n";
        const std::size_t bilingual = pipeline.find('\'', pipeline.find("lt-proc -b")) + 1;
        fs::create_symlink(pipeline.substr(bilingual, pipeline.find('\'', bilingual) - bilingual),
                           root / (std::string(apyName) + ".autobil.bin"));
    }
    return root.string();
}

RunningServer StartListening(std::vector<std::string> argv, const std::string& host) {
    argv.push_back("--listen");
    argv.push_back(host + ":0");
    RunningServer server;
    server.process = std::make_unique<ChildProcess>(argv);
    const std::string listening = "listening on " + host + ":";
    const std::string from = server.process->WaitForOutput(listening, std::chrono::seconds(30));
    if (from.empty()) {
        throw std::runtime_error("no 'listening on' from " + argv[0] + ": " +
                                 server.process->Output());
    }
    server.port = static_cast<unsigned short>(std::stoi(from.substr(listening.size())));
    return server;
}

} // namespace tervane::testing

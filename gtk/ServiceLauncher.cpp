#include "gtk/ServiceLauncher.h"

#include "net/HttpClient.h"
#include "net/HttpUrl.h"
#include "net/HttplibTransport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tervane {

namespace {

constexpr auto kStartWait = std::chrono::seconds(15);
constexpr auto kStopWait = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr guint kAnswerPollMs = 200;
// A restart waits 0.5 s, then twice as long after each end within a minute of its start.
constexpr guint kFirstRestartMs = 500;
constexpr guint kLongestRestartMs = 30000;
constexpr gint64 kQuickEndUs = G_GINT64_CONSTANT(60) * G_USEC_PER_SEC;
constexpr int kMaxQuickEnds = 5;

// How a process ended, in words.
std::string EndText(int status) {
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status)) + ", " +
               strsignal(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

bool IsExecutable(const std::filesystem::path& path) {
    return access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

} // namespace

std::string FindServiceBinary() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const auto& candidate :
             {self.parent_path() / "tervane-service",
              self.parent_path().parent_path() / "service" / "tervane-service"})
            if (IsExecutable(candidate))
                return candidate.string();
    }
    if (const char* path = std::getenv("PATH")) {
        std::string_view rest(path);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::filesystem::path candidate =
                std::filesystem::path(std::string(rest.substr(0, colon))) / "tervane-service";
            if (IsExecutable(candidate))
                return candidate.string();
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    return {};
}

ServiceLauncher::~ServiceLauncher() {
    Stop();
}

bool ServiceLauncher::Answers() const {
    HttpClient http(std::make_unique<HttplibTransport>(HttpTimeouts{1000, 1000, 1000, 2000}));
    try {
        http.Get(ResolveHttpUrl(address_, "/health"));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void ServiceLauncher::Spawn() {
    const HttpUrl url = ParseHttpUrl(address_);
    const std::string listen = url.host + ":" + std::to_string(url.port);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("Cannot start the translation service: " +
                                 std::string(std::strerror(errno)));
    if (child == 0) {
        // The service ends with the program, also when the program is killed.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        execl(binary_.c_str(), binary_.c_str(), "--listen", listen.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    child_ = child;
    answering_ = false;
    startedAt_ = g_get_monotonic_time();
}

void ServiceLauncher::EnsureRunning() {
    if (Answers())
        return;
    binary_ = FindServiceBinary();
    if (binary_.empty())
        throw std::runtime_error("The translation service tervane-service was not found");
    Spawn();
    // The first start is waited for here, before the main loop runs: the window opens with a
    // service that answers.
    const auto deadline = std::chrono::steady_clock::now() + kStartWait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Answers()) {
            answering_ = true;
            watch_ = g_child_watch_add(child_, &ServiceLauncher::OnChildEnded, this);
            return;
        }
        int status = 0;
        if (waitpid(child_, &status, WNOHANG) == child_) {
            child_ = 0;
            throw std::runtime_error("The translation service " + binary_ +
                                     " ended at its start (" + EndText(status) + ")");
        }
        std::this_thread::sleep_for(kPoll);
    }
    Stop();
    throw std::runtime_error("The translation service did not answer at " + address_);
}

// Reaped as soon as it ends (no zombie), then started again after a wait that doubles with
// each end that came soon after its start; after too many of those it is left ended.
void ServiceLauncher::OnChildEnded(GPid pid, gint status, gpointer self) {
    auto* launcher = static_cast<ServiceLauncher*>(self);
    g_spawn_close_pid(pid);
    launcher->watch_ = 0;
    launcher->child_ = 0;
    launcher->answering_ = false;
    launcher->lastEnd_ = EndText(status);
    const bool quick = g_get_monotonic_time() - launcher->startedAt_ < kQuickEndUs;
    launcher->quickEnds_ = quick ? launcher->quickEnds_ + 1 : 1;
    if (launcher->quickEnds_ > kMaxQuickEnds)
        return;
    const guint wait = std::min(kFirstRestartMs << (launcher->quickEnds_ - 1), kLongestRestartMs);
    launcher->restartTimer_ = g_timeout_add(wait, &ServiceLauncher::OnRestart, self);
}

gboolean ServiceLauncher::OnRestart(gpointer self) {
    auto* launcher = static_cast<ServiceLauncher*>(self);
    launcher->restartTimer_ = 0;
    try {
        launcher->Spawn();
    } catch (const std::exception& error) {
        launcher->lastEnd_ = error.what();
        launcher->quickEnds_ = kMaxQuickEnds + 1;
        return G_SOURCE_REMOVE;
    }
    launcher->watch_ = g_child_watch_add(launcher->child_, &ServiceLauncher::OnChildEnded, self);
    launcher->answerTimer_ = g_timeout_add(kAnswerPollMs, &ServiceLauncher::OnCheckAnswer, self);
    return G_SOURCE_REMOVE;
}

gboolean ServiceLauncher::OnCheckAnswer(gpointer self) {
    auto* launcher = static_cast<ServiceLauncher*>(self);
    if (launcher->child_ == 0 || launcher->Answers()) {
        launcher->answering_ = launcher->child_ != 0;
        launcher->answerTimer_ = 0;
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

std::string ServiceLauncher::Account() const {
    if (!Started() || lastEnd_.empty() || answering_)
        return {};
    const std::string ended = "Tervane's translation service ended (" + lastEnd_ + ").";
    if (quickEnds_ > kMaxQuickEnds)
        return ended + "\r\n\r\nIt ended again each time soon after it started, so Tervane "
                       "no longer starts it. Choose Exit and start Tervane again; if it keeps "
                       "ending, start tervane-service in a terminal to read why.";
    return ended + "\r\n\r\nTervane is starting it again: try again in a few seconds.";
}

void ServiceLauncher::Stop() {
    for (guint* source : {&restartTimer_, &answerTimer_, &watch_})
        if (*source) {
            g_source_remove(*source);
            *source = 0;
        }
    if (child_ <= 0)
        return;
    kill(child_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopWait;
    while (waitpid(child_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kPoll);
    }
    child_ = 0;
}

} // namespace tervane

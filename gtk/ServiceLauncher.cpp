#include "gtk/ServiceLauncher.h"

#include "net/HttpUrl.h"

#include <httplib.h>

#include <csignal>
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
    const HttpUrl url = ParseHttpUrl(address_);
    httplib::Client client(url.host, url.port);
    client.set_connection_timeout(1, 0);
    client.set_read_timeout(2, 0);
    const auto response = client.Get("/health");
    return response && response->status == 200;
}

void ServiceLauncher::EnsureRunning() {
    if (Answers())
        return;
    const std::string binary = FindServiceBinary();
    if (binary.empty())
        throw std::runtime_error("The translation service tervane-service was not found");
    const HttpUrl url = ParseHttpUrl(address_);
    const std::string listen = url.host + ":" + std::to_string(url.port);

    const pid_t parent = getpid();
    child_ = fork();
    if (child_ < 0)
        throw std::runtime_error("Cannot start the translation service");
    if (child_ == 0) {
        // The service ends with the program, also when the program is killed.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        execl(binary.c_str(), binary.c_str(), "--listen", listen.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartWait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Answers())
            return;
        int status = 0;
        if (waitpid(child_, &status, WNOHANG) == child_) {
            child_ = -1;
            throw std::runtime_error("The translation service " + binary +
                                     " ended at its start (exit status " +
                                     std::to_string(WEXITSTATUS(status)) + ")");
        }
        std::this_thread::sleep_for(kPoll);
    }
    Stop();
    throw std::runtime_error("The translation service did not answer at " + address_);
}

void ServiceLauncher::Stop() {
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
    child_ = -1;
}

} // namespace tervane

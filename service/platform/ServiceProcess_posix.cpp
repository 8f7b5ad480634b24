#include "service/platform/ServiceProcess.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace tervane::service {
namespace {

// SIGUSR1 only ends the wait when the waiter is destroyed; SIGHUP, as daemons take it,
// reopens the log file.
sigset_t WaitedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    sigaddset(&signals, SIGHUP);
    return signals;
}

} // namespace

void PrepareProcess() {
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t signals = WaitedSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

struct StopWaiter::State {
    std::thread thread;
};

StopWaiter::StopWaiter(unsigned short, std::function<void(const std::string&)> onStop,
                       std::function<void()> onReopen)
    : state_(std::make_unique<State>()) {
    state_->thread = std::thread([onStop = std::move(onStop), onReopen = std::move(onReopen)] {
        const sigset_t signals = WaitedSignals();
        int signal = 0;
        while (sigwait(&signals, &signal) == 0 && signal == SIGHUP) {
            if (onReopen)
                onReopen();
        }
        if (signal != SIGUSR1)
            onStop("signal " + std::to_string(signal));
    });
}

StopWaiter::~StopWaiter() {
    pthread_kill(state_->thread.native_handle(), SIGUSR1);
    state_->thread.join();
}

StopOutcome RequestStop(unsigned short, std::chrono::milliseconds) {
    return StopOutcome::Unsupported;
}

} // namespace tervane::service

#include "service/platform/ServiceProcess.h"

#include "base/WideText_win.h"

#include <windows.h>
#include <shellapi.h>

#include <thread>

namespace tervane::service {
namespace {

// One per port in the user's session: the installer stops the service it started.
std::wstring StopEventName(unsigned short port) {
    return L"Local\\TervaneServiceStop-" + std::to_wstring(port);
}

} // namespace

void PrepareProcess() {}

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

struct StopWaiter::State {
    HANDLE stop = nullptr; // named, set by --stop
    HANDLE quit = nullptr; // ours, set by the destructor
    std::thread thread;
};

StopWaiter::StopWaiter(unsigned short port, std::function<void(const std::string&)> onStop,
                       std::function<void()>)
    : state_(std::make_unique<State>()) {
    state_->stop = CreateEventW(nullptr, TRUE, FALSE, StopEventName(port).c_str());
    state_->quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!state_->stop || !state_->quit)
        return; // without the event the service still serves; --stop then finds none
    state_->thread = std::thread([state = state_.get(), onStop = std::move(onStop)] {
        const HANDLE events[] = {state->stop, state->quit};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0)
            onStop("stop request");
    });
}

// The named event stays open until the process ends and Windows closes it: --stop takes
// its disappearance for the end of the service, and the uninstaller then deletes the exe.
StopWaiter::~StopWaiter() {
    if (state_->thread.joinable()) {
        SetEvent(state_->quit);
        state_->thread.join();
    }
    if (state_->quit)
        CloseHandle(state_->quit);
}

// The event lives as long as a service holds it: once it can no longer be opened, the
// service has ended.
StopOutcome RequestStop(unsigned short port, std::chrono::milliseconds wait) {
    const std::wstring name = StopEventName(port);
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (!event)
        return StopOutcome::NoneRunning;
    SetEvent(event);
    CloseHandle(event);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        Sleep(50);
        event = OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
        if (!event)
            return StopOutcome::Stopped;
        CloseHandle(event);
    }
    return StopOutcome::StillRunning;
}

} // namespace tervane::service

#include "notify/SimpleTimer_win.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace tervane {

namespace {

constexpr wchar_t kTimerClass[] = L"TervaneSimpleTimer";

std::unique_ptr<SimpleTimerHandler> sharedHandler;

} // namespace

SimpleTimer::SimpleTimer(unsigned interval, std::function<void()> onTimer)
    : interval_(interval), onTimer_(std::move(onTimer)) {
    SimpleTimerHandler::Join(*this);
}

SimpleTimer::~SimpleTimer() {
    Halt();
    SimpleTimerHandler::Leave(*this);
}

bool SimpleTimer::Start() {
    enabled_ = true;
    if (interval_ == 0) {
        Halt();
        enabled_ = false;
        return false;
    }
    // SetTimer with an identifier already running replaces it: the restart.
    if (!SetTimer(SimpleTimerHandler::Window(), Identifier(), interval_, nullptr)) {
        Halt();
        enabled_ = false;
        return false;
    }
    if (!running_)
        SimpleTimerHandler::CountRunning(true);
    running_ = true;
    return true;
}

void SimpleTimer::Stop() {
    Halt();
    enabled_ = false;
}

void SimpleTimer::Halt() {
    if (!running_)
        return;
    KillTimer(SimpleTimerHandler::Window(), Identifier());
    running_ = false;
    SimpleTimerHandler::CountRunning(false);
}

void SimpleTimer::SetInterval(unsigned interval) {
    interval_ = interval;
    if (!enabled_)
        return;
    if (interval == 0)
        Halt();
    else
        Start();
}

void SimpleTimer::SetEnabled(bool enabled) {
    if (enabled)
        Start();
    else
        Stop();
}

void SimpleTimer::SetOnTimer(std::function<void()> onTimer) {
    onTimer_ = std::move(onTimer);
    if (!onTimer_)
        Stop();
}

void SimpleTimer::Tick() {
    if (autoDisable)
        Stop();
    // A copy: the handler may change the event or end the timer.
    if (const std::function<void()> handler = onTimer_)
        handler();
}

HWND SimpleTimerHandler::Window() {
    return sharedHandler ? sharedHandler->hwnd_ : nullptr;
}

std::size_t SimpleTimerHandler::UserCount() {
    return sharedHandler ? sharedHandler->timers_.size() : 0;
}

std::size_t SimpleTimerHandler::RunningCount() {
    return sharedHandler ? sharedHandler->running_ : 0;
}

HWND SimpleTimerHandler::Join(SimpleTimer& timer) {
    if (!sharedHandler) {
        auto handler = std::make_unique<SimpleTimerHandler>();
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterClassOnce(instance, {kTimerClass});
        // Timer messages reach message-only windows; this one is never shown.
        if (!CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             handler.get()))
            throw std::runtime_error("Cannot create the timer window");
        sharedHandler = std::move(handler);
    }
    sharedHandler->timers_.push_back(&timer);
    return sharedHandler->hwnd_;
}

void SimpleTimerHandler::Leave(SimpleTimer& timer) {
    if (!sharedHandler)
        return;
    auto& timers = sharedHandler->timers_;
    timers.erase(std::remove(timers.begin(), timers.end(), &timer), timers.end());
    if (!timers.empty())
        return;
    // Released first, so that a tick being handled right now finds no handler behind it.
    const std::unique_ptr<SimpleTimerHandler> last = std::move(sharedHandler);
    if (last->hwnd_)
        DestroyWindow(last->hwnd_);
}

void SimpleTimerHandler::CountRunning(bool started) {
    if (!sharedHandler)
        return;
    if (started)
        ++sharedHandler->running_;
    else if (sharedHandler->running_ > 0)
        --sharedHandler->running_;
}

LRESULT SimpleTimerHandler::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_TIMER)
        return DefWindowProcW(hwnd_, msg, wp, lp);
    // Only timers still alive tick: a message already queued for an ended one is dropped.
    const auto found = std::find_if(timers_.begin(), timers_.end(),
                                    [wp](const SimpleTimer* t) { return t->Identifier() == wp; });
    if (found != timers_.end())
        (*found)->Tick();
    return 0;
}

} // namespace tervane

#pragma once
// Window-message timers: each SimpleTimer ticks on the thread that made it, through one
// hidden window shared by all timers of the process.
#include "base/BaseWindow_win.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace tervane {

class SimpleTimer {
  public:
    static constexpr unsigned kDefaultInterval = 1000;

    explicit SimpleTimer(unsigned interval = kDefaultInterval, std::function<void()> onTimer = {});
    ~SimpleTimer();
    SimpleTimer(const SimpleTimer&) = delete;
    SimpleTimer& operator=(const SimpleTimer&) = delete;

    // Starts the timer, or restarts a running one; false (and stopped) when the interval is 0.
    bool Start();
    void Stop();
    // A running timer goes on with the new interval; at 0 it stops but stays enabled, and
    // a later nonzero interval starts it again.
    void SetInterval(unsigned interval);
    unsigned Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // Whether the system timer runs now.
    bool Running() const { return running_; }
    // Clearing the tick event stops a running timer.
    void SetOnTimer(std::function<void()> onTimer);

    // When on, the timer stops itself at its first tick.
    bool autoDisable = false;

  private:
    friend class SimpleTimerHandler;
    UINT_PTR Identifier() const { return reinterpret_cast<UINT_PTR>(this); }
    void Halt();
    void Tick();

    unsigned interval_;
    bool enabled_ = false;
    bool running_ = false;
    std::function<void()> onTimer_;
};

// The hidden window all timers tick through: made with the first timer, destroyed with the
// last. It also counts the timers running now.
class SimpleTimerHandler : public BaseWindow<SimpleTimerHandler> {
  public:
    // The shared window, or nullptr when no timer exists.
    static HWND Window();
    static std::size_t UserCount();
    static std::size_t RunningCount();

  private:
    friend class SimpleTimer;
    friend class BaseWindow<SimpleTimerHandler>;
    static HWND Join(SimpleTimer& timer);
    static void Leave(SimpleTimer& timer);
    static void CountRunning(bool started);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    std::vector<SimpleTimer*> timers_;
    std::size_t running_ = 0;
};

} // namespace tervane

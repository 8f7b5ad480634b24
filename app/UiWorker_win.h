#pragma once
// Work the UI thread must not wait for (the service's translation, its language listing)
// runs on a thread of its own; what it gives back runs on the UI thread, when the window
// handles the message the thread posts (kWorkDoneMessage), inside the window's error guard.
#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace tervane {

class UiWorker {
  public:
    // What runs on the UI thread once the work has ended.
    using Finish = std::function<void()>;

    UiWorker() = default;
    // Stop().
    ~UiWorker();
    UiWorker(const UiWorker&) = delete;
    UiWorker& operator=(const UiWorker&) = delete;

    // The window that is told when work has ended; set before the first Run.
    void SetWindow(HWND window) { window_ = window; }
    // Runs `work` on a new thread and returns. The Finish it returns runs later on the UI
    // thread; an exception it throws is thrown there instead.
    void Run(std::function<Finish()> work);
    // The window's handler of kWorkDoneMessage: joins one ended thread and runs its finish
    // (which may throw, for the window's error report).
    void OnWorkDone();
    // Waits for every running thread and drops the finishes not run yet (the window goes):
    // no thread is left behind. Work still running ends at its own time-outs.
    void Stop();

  private:
    struct Ended {
        unsigned job;
        Finish finish;
    };

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::map<unsigned, std::thread> threads_;
    std::deque<Ended> ended_;
    unsigned jobs_ = 0;
};

} // namespace tervane

#include "app/UiWorker_win.h"

#include "app/ControlIds.h"

#include <exception>

namespace tervane {

UiWorker::~UiWorker() {
    Stop();
}

void UiWorker::Run(std::function<Finish()> work) {
    // Held while the thread starts, so that its end finds it listed.
    const std::lock_guard lock(mutex_);
    const unsigned job = ++jobs_;
    threads_.emplace(job, std::thread([this, job, work = std::move(work)] {
                         Finish finish;
                         try {
                             finish = work();
                         } catch (...) {
                             finish = [error = std::current_exception()] {
                                 std::rethrow_exception(error);
                             };
                         }
                         {
                             const std::lock_guard ended(mutex_);
                             ended_.push_back({job, std::move(finish)});
                         }
                         PostMessageW(window_, kWorkDoneMessage, 0, 0);
                     }));
}

// One finish per message: one that throws leaves the others to their own messages.
void UiWorker::OnWorkDone() {
    Finish finish;
    {
        const std::lock_guard lock(mutex_);
        if (ended_.empty())
            return;
        Ended ended = std::move(ended_.front());
        ended_.pop_front();
        const auto thread = threads_.find(ended.job);
        if (thread != threads_.end()) {
            thread->second.join(); // it has posted its message: it is ending
            threads_.erase(thread);
        }
        finish = std::move(ended.finish);
    }
    if (finish)
        finish();
}

void UiWorker::Stop() {
    std::map<unsigned, std::thread> running;
    {
        const std::lock_guard lock(mutex_);
        running.swap(threads_);
    }
    for (auto& [job, thread] : running)
        thread.join();
    const std::lock_guard lock(mutex_);
    ended_.clear();
}

} // namespace tervane

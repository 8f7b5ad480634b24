// The service's log, off the request path: a line is put in a bounded queue and written to
// its output (standard error or a log file, LogOutput.h) by a thread of its own, so a slow or
// blocked output (a pipe nobody reads) never holds up a request, nor the shutdown. When the queue
// is full, lines are dropped and counted; the count is written when writing resumes. Refusals of an
// overloaded service are only counted, and written as one summary line a second.
#pragma once

#include "service/platform/LogOutput.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

namespace tervane::service {

class LogQueue {
  public:
    // Writes "<prefix>: <line>\n" to output, after the local time when it is stamped; at
    // most capacity lines wait.
    LogQueue(LogOutput output, std::string prefix, std::size_t capacity = 4096);
    // Stop(), with a short grace.
    ~LogQueue();
    LogQueue(const LogQueue&) = delete;
    LogQueue& operator=(const LogQueue&) = delete;

    // Never blocks on the output.
    void Post(std::string line);
    // The output's file is opened anew before the next lines (SIGHUP); nothing for a stream.
    void Reopen();
    // A request refused because the service is busy (503).
    void CountBusy();
    // A connection closed to make room for another (idle or slow at the connection cap).
    void CountClosedForRoom();

    // Writes what it can of the queue within grace and stops the writer. A writer still
    // blocked on its output after that is left behind: it ends with the process.
    void Stop(std::chrono::milliseconds grace);

  private:
    struct State;
    static void Write(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    std::thread writer_;
};

} // namespace tervane::service

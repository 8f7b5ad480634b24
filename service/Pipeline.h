// One warm Apertium pipeline: its processes started from argument vectors (no shell),
// joined by pipes, in null-flush mode. A request is one write of text and NUL and one read
// up to the NUL that comes back.
#pragma once

#include "service/ApertiumMode.h"
#include "service/Result.h"

#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tervane::service {

class Pipeline {
  public:
    // Starts every command; a failure (502) says which one could not start.
    static Result<std::unique_ptr<Pipeline>> Start(const std::vector<Command>& commands);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // False once any process has exited or the stream lost step; such a pipeline is replaced.
    bool Alive();

    // Sends input (an Apertium stream without NUL) and reads the answer up to its NUL,
    // checking that the answer belongs to this request; reading and writing are interleaved
    // so that a large text cannot deadlock on full pipe buffers. A failure stops the
    // pipeline, and its reason reads after the pair's name: 504 when the deadline passed,
    // 502 when the answer grew beyond maxOutput, 503 when the pipeline broke (a fresh one
    // may do).
    Result<std::string> Exchange(const std::string& input,
                                 std::chrono::steady_clock::time_point deadline,
                                 std::size_t maxOutput);

  private:
    Pipeline() = default;
    void Stop();

    std::vector<pid_t> pids_;
    int toFirst_ = -1;           // our end of the first process's standard input
    int fromLast_ = -1;          // our end of the last process's standard output
    unsigned long sequence_ = 0; // numbers each request's end-of-answer sentinel
};

} // namespace tervane::service

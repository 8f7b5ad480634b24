// One warm Apertium pipeline: its processes started from argument vectors (no shell),
// joined by pipes, in null-flush mode. A request is one write of text and NUL and one read
// up to the NUL that comes back.
#pragma once

#include "service/apertium/ApertiumMode.h"
#include "service/core/Result.h"

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

    // True once stopped by a failed request (a failed exchange ends the pipeline).
    bool Stopped() const { return toFirst_ < 0; }

    // True when the pipeline has output or has hung up while no request is in it: a process
    // died, or the stream lost step. Only for a pipeline that is not in use.
    bool Troubled() const;

    // The end the answers come from, for watching an idle pipeline (see Troubled).
    int OutputFd() const { return fromLast_; }

    // Requests sent so far.
    unsigned long Exchanges() const { return sequence_; }

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

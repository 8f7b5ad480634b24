// One warm Apertium pipeline: its processes started from argument vectors (no shell),
// joined by pipes, in null-flush mode. A request is one write of text and NUL and one read
// up to the NUL that comes back.
#pragma once

#include "service/apertium/ApertiumMode.h"
#include "service/core/Result.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tervane::service {

class Pipeline {
  public:
    // Starts every command; a failure (502) says which one could not start. ownGroup: the
    // processes are a process group of their own, ended whole (a pair host's stage
    // processes with it); otherwise they stay in the caller's group (the host's stages).
    static Result<std::unique_ptr<Pipeline>> Start(const std::vector<Command>& commands,
                                                   bool ownGroup = true);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // False once any process has exited or the stream lost step; such a pipeline is replaced.
    bool Alive();

    // True once stopped by a failed request (a failed exchange ends the pipeline).
    bool Stopped() const { return toFirst_ < 0; }

    // True when the pipeline has hung up or speaks while no request is in it (a process
    // died, or the stream lost step), or when the answer of a request that timed out has not
    // come within kLateAnswerGrace. Only for a pipeline that is not in use: the late answer
    // of a timed-out request is taken in and dropped here.
    bool Troubled();

    // A request timed out and its answer is still to come: the pipeline is slow, not
    // stopped; its next use first takes that answer in.
    bool Owes() const { return unfinished_.has_value(); }
    std::chrono::steady_clock::time_point OwedUntil() const { return owedUntil_; }

    // The end the answers come from, for watching an idle pipeline (see Troubled).
    int OutputFd() const { return fromLast_; }
    const std::vector<pid_t>& Processes() const { return pids_; }

    // Requests sent so far.
    unsigned long Exchanges() const { return sequence_; }

    // Sends input (an Apertium stream without NUL) and reads the answer up to its NUL,
    // checking that the answer belongs to this request; reading and writing are interleaved
    // so that a large text cannot deadlock on full pipe buffers. Its reason reads after the
    // pair's name: 504 when the deadline passed (the pipeline is kept: a request admitted
    // with little time left proves nothing against it), 502 when the answer grew beyond
    // maxOutput, 503 when the pipeline broke or stopped answering (a fresh one may do); the
    // last two stop the pipeline.
    Result<std::string> Exchange(const std::string& input,
                                 std::chrono::steady_clock::time_point deadline,
                                 std::size_t maxOutput);

    // How long after a request's time-out its answer may still come before the pipeline
    // counts as stopped and is restarted.
    static constexpr std::chrono::seconds kLateAnswerGrace{10};

  private:
    // One request on its way through: what is left to write and what has come back.
    struct Exchanging {
        std::string pending;
        std::size_t written = 0;
        std::string output;
        std::string sentinel;
        std::size_t maxOutput = 0;
    };
    enum class Step { Answered, Late, Broke, TooMuch };

    Pipeline() = default;
    void Stop();
    // Writes and reads for work until its answer is in, or the deadline passes (Late).
    Step Pump(Exchanging& work, std::chrono::steady_clock::time_point deadline);
    // Takes in the answer a timed-out request still owes, by the deadline at most.
    Step CatchUp(std::chrono::steady_clock::time_point deadline);

    std::vector<pid_t> pids_;
    pid_t group_ = 0;                      // the process group the pipeline leads, or 0
    int toFirst_ = -1;                     // our end of the first process's standard input
    int fromLast_ = -1;                    // our end of the last process's standard output
    unsigned long sequence_ = 0;           // numbers each request's end-of-answer sentinel
    std::optional<Exchanging> unfinished_; // of a request that timed out
    std::chrono::steady_clock::time_point owedUntil_;
};

} // namespace tervane::service

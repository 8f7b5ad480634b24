// One warm Apertium pipeline: its processes started from argument vectors (no shell),
// joined by pipes, in null-flush mode. A request is one write of text and NUL and one read
// up to the NUL that comes back.
#pragma once

#include "service/ApertiumMode.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tervane::service {

class Pipeline {
public:
  enum class Status { Ok, Timeout, Crashed, TooLarge };

  // Starts every command; on failure the pipeline is not alive() and error() says why.
  explicit Pipeline(const std::vector<Command> &commands);
  ~Pipeline();
  Pipeline(const Pipeline &) = delete;
  Pipeline &operator=(const Pipeline &) = delete;

  // False once any process has exited or the stream lost step; such a pipeline is replaced.
  bool alive();
  const std::string &error() const { return error_; }

  // Sends input (an Apertium stream without NUL) and reads the answer up to its NUL,
  // checking that the answer belongs to this request. Reading and
  // writing are interleaved so that a large text cannot deadlock on full pipe buffers.
  // Anything but Ok leaves the pipeline stopped.
  Status exchange(const std::string &input, std::string &output,
                  std::chrono::steady_clock::time_point deadline, std::size_t maxOutput);

  const std::vector<pid_t> &pids() const { return pids_; }

private:
  void stop();

  std::vector<pid_t> pids_;
  int toFirst_ = -1;   // our end of the first process's standard input
  int fromLast_ = -1;  // our end of the last process's standard output
  std::string error_;
  unsigned long sequence_ = 0; // numbers each request's end-of-answer sentinel
};

} // namespace tervane::service

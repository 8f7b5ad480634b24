// What the service's process needs from its system: its command line, and the ways it is
// asked to stop: SIGINT and SIGTERM on Linux (ServiceProcess_posix.cpp), a named event on
// Windows, which `tervane-service --stop` sets (ServiceProcess_win.cpp).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tervane::service {

// Call first, before any thread starts. On Linux: the stop signals are blocked in every
// thread (one thread waits for them), and writes to a peer that went away fail with EPIPE
// instead of ending the process.
void PrepareProcess();

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Waits, on a thread of its own, for the service listening on port to be asked to stop,
// and then calls onStop once with what asked. Destroying it ends the wait. On Linux SIGHUP
// calls onReopen instead (the log file moved away), and the wait goes on.
class StopWaiter {
  public:
    StopWaiter(unsigned short port, std::function<void(const std::string& what)> onStop,
               std::function<void()> onReopen = {});
    ~StopWaiter();
    StopWaiter(const StopWaiter&) = delete;
    StopWaiter& operator=(const StopWaiter&) = delete;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

enum class StopOutcome {
    Stopped,      // a running service was asked to stop, and ended
    NoneRunning,  // no service listens on that port
    StillRunning, // asked, but it had not ended within the time given
    Unsupported,  // this system stops the service by a signal instead
};

// tervane-service --stop: asks the service on port to stop and waits for it to end.
StopOutcome RequestStop(unsigned short port, std::chrono::milliseconds wait);

} // namespace tervane::service

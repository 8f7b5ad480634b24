#pragma once
// The local translation service for the program's run: when nothing answers at the
// service's address at start, the program starts `tervane-service` itself on that address
// and ends it when the program ends. A service that was already running is left alone.
#include <string>
#include <sys/types.h>

namespace tervane {

class ServiceLauncher {
  public:
    // `address` is the service's translate address ("http://127.0.0.1:58470/translate").
    explicit ServiceLauncher(std::string address) : address_(std::move(address)) {}
    ~ServiceLauncher();
    ServiceLauncher(const ServiceLauncher&) = delete;
    ServiceLauncher& operator=(const ServiceLauncher&) = delete;

    // Starts the service unless one answers, and waits until it answers (at most a few
    // seconds). Throws when no service binary is found or the one started does not answer.
    void EnsureRunning();
    // Whether this program started the service (and so ends it).
    bool Started() const { return child_ > 0; }

  private:
    bool Answers() const;
    void Stop();

    std::string address_;
    pid_t child_ = -1;
};

// The `tervane-service` binary: beside this program, in the build tree's service/ folder
// beside its gtk/ folder, or on the PATH; empty when there is none.
std::string FindServiceBinary();

} // namespace tervane

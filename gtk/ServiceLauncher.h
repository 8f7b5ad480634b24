#pragma once
// The local translation service for the program's run: when nothing answers at the
// service's address at start, the program starts `tervane-service` itself on that address,
// supervises it (an ended service is reaped and started again, waiting longer after each
// quick end) and ends it when the program ends. A service that was already running is left
// alone.
#include <glib.h>

#include <string>

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
    bool Started() const { return binary_.size() > 0; }
    // When the service this program started has ended and is not answering yet: what
    // happened and what to do, for the error a translation shows; empty otherwise.
    std::string Account() const;

  private:
    bool Answers() const;
    void Spawn();
    void Stop();
    static void OnChildEnded(GPid pid, gint status, gpointer self);
    static gboolean OnRestart(gpointer self);
    static gboolean OnCheckAnswer(gpointer self);

    std::string address_;
    std::string binary_;
    GPid child_ = 0;
    guint watch_ = 0;
    guint restartTimer_ = 0;
    guint answerTimer_ = 0;
    bool answering_ = false;
    std::string lastEnd_; // how the service last ended ("killed by signal 9")
    int quickEnds_ = 0;   // ends in a row, each soon after its start
    gint64 startedAt_ = 0;
};

// The `tervane-service` binary: beside this program, in the build tree's service/ folder
// beside its gtk/ folder, or on the PATH; empty when there is none.
std::string FindServiceBinary();

} // namespace tervane

// A process started by a test, in its own process group, its standard error collected.
// The destructor ends the whole group (the service's pipelines, APy's workers) even when
// the test failed half-way.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace tervane::testing {

class ChildProcess {
  public:
    // How long to wait for output that should come: a bound for a broken process, not a
    // measure; a working one is far quicker even on a loaded machine.
    static constexpr std::chrono::milliseconds kOutputWait = std::chrono::seconds(30);

    // Unread: the output pipe is there but nobody reads it (as a service's standard error
    // may be) until StartReading().
    enum class OutputMode { Read, Unread };
    explicit ChildProcess(const std::vector<std::string>& argv,
                          OutputMode output = OutputMode::Read);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // Begins collecting the output of a process started with OutputMode::Unread.
    void StartReading();
    // Standard error and standard output so far.
    std::string Output();
    // Waits until the output holds text; returns the output from there, or "" on time-out.
    std::string WaitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    // How much output there is so far: a mark to take before a request, for waitForLines.
    std::size_t OutputSize();
    // Waits until the output after a mark holds at least `count` whole lines (ended by a
    // newline) that contain text; returns all such lines without their newlines, fewer than
    // `count` when the time ran out. A line the mark cuts belongs to earlier output: skipped.
    //
    // Use it, not Output(), for a line the process writes about a request: the output reaches
    // this process through a pipe read on another thread, so a line the service wrote before
    // it answered can still be missing from Output() when the answer is already here (the more
    // so on a busy machine), and a line can arrive in pieces.
    std::vector<std::string> WaitForLines(const std::string& text, std::size_t count,
                                          std::size_t from,
                                          std::chrono::milliseconds timeout = kOutputWait);
    // The first such line, or "" on time-out.
    std::string WaitForLine(const std::string& text, std::size_t from,
                            std::chrono::milliseconds timeout = kOutputWait);
    // Waits for the process to exit; its exit code, or -1 when it did not exit in time.
    int WaitExit(std::chrono::milliseconds timeout);

  private:
    void Stop();

    pid_t pid_ = -1;
    int outFd_ = -1;
    bool exited_ = false;
    int exitCode_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable grew_;
    std::string output_;
};

// A port that was free a moment ago, for servers that cannot pick their own.
unsigned short FreeLoopbackPort();

// A file under /proc, empty when the process is gone. Read with read(2): a process that
// exits while its file is read makes the read fail with ESRCH, which std::ifstream turns
// into an exception.
std::string ReadProcFile(const std::string& path);

// Direct children of a process (pid, command name), read from /proc.
std::vector<std::pair<pid_t, std::string>> ChildrenOf(pid_t parent);

// Direct children that have exited and were not reaped (zombies).
std::size_t ZombieChildrenOf(pid_t parent);

// The command line that starts the service under test with flags added: the native build's
// TERVANE_SERVICE_BINARY, or TERVANE_SERVICE_COMMAND when it is set (its words split at
// spaces), such as "wine tervane-service.exe --log-file - --engine libretranslate
// --libretranslate-url URL" for the Windows build. A flag given again later wins.
std::vector<std::string> ServiceCommand(const std::vector<std::string>& flags);

// Debian's apertium-apy on a loopback port over the modes found under root (the installed
// ones by default), once it answers /listPairs; throws with its output when it does not
// within a minute.
std::unique_ptr<ChildProcess>
StartApertiumApy(unsigned short port, const std::string& root = "/usr/share/apertium/modes");

// A started tervane-service (or anything printing "listening on HOST:PORT") and its port.
// A root for StartApertiumApy in the temporary folder: the installed modes, and for fr-es and
// spa-eng the analyser and tagger modes and bilingual dictionary where APy looks for them (a
// pair built from source has them; Debian's packages install only the translation modes),
// so that APy answers /perWord for them. The caller removes it.
std::string ApyRootWithWordModes();

struct RunningServer {
    std::unique_ptr<ChildProcess> process;
    unsigned short port = 0;
};

// Starts a binary with --listen HOST:0 added, and waits for its port.
RunningServer StartListening(std::vector<std::string> argv, const std::string& host = "127.0.0.1");

} // namespace tervane::testing
